#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class Database;

// What every photo of one folder import shares; only the number and the file differ.
struct ImportValues
{
    QString Caption;
    QVariant DateTaken;          // a QDate, or Null for none
    bool PictureDates = false;   // each photo takes the date its picture was taken, when the file tells it
    QString LocationCode;        // the place taken's code; empty for none
    QString StorageLocationCode; // the storage place's code; empty for none
    QString Comments;
    bool PrintLabel = true;
    QString NumberofLabels;          // as typed; empty stands for 0
    QStringList AddedSubjectIds;     // linked to every photo, in the order added
    QStringList RemovedSubjectNames; // unlinked from every photo after the links are made
};

// Where a long import or move stands. Called now and then with the work done so far out of the
// total; returning false asks for the work to stop and be undone. A move then import counts each
// file twice: once for its photo, once for its move.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// The outcome of an import or a move then import.
struct ImportResult
{
    qint64 Added = 0;       // photos the catalogue holds now that it did not before
    bool Cancelled = false; // stopped by the user: nothing was added and nothing moved
    qint64 Moved = 0;       // files moved (move then import only)
    // Move then import: the first file that could not be moved and why; its photo and those of the
    // files after it name the files where they still are, in the source folder. After a cancel: the
    // first file that could not be moved back, left in the destination folder.
    QString MoveFailedFile;
    QString MoveFailure;
};

// The full paths of the files lying directly in the folder (not in its subfolders), in the order
// the folder lists them. Raises a Failure whose description a user can act on when the folder is
// empty text, relative, missing, not a folder or cannot be read.
QStringList ListFolderFiles(const QString& folder);

// Checks an import of count files before anything is created: the label count is a whole number
// from 0 to 32767, and the numbers from the last photo's on do not pass the largest photo number.
// Raises a Failure with a clear description otherwise.
void CheckImport(qint64 count, const ImportValues& values);

// Why a file about to be imported is already in the catalogue.
enum class DuplicateReason {
    SameFile,   // a photo names this very path
    SamePicture // a catalogued file elsewhere has the same size and content
};

struct ImportDuplicate
{
    QString File;       // the file about to be imported
    qint64 PhotoID = 0; // the photo it matches, the lowest number when several do
    DuplicateReason Reason = DuplicateReason::SameFile;
};

// The outcome of a look for files already in the catalogue.
struct DuplicateCheck
{
    std::vector<ImportDuplicate> Duplicates; // in the order of the files given
    bool Cancelled = false;                  // stopped by the user before the look was done
};

// The files already in the catalogue: those whose full path a photo names, and those with the size
// and SHA-256 of a catalogued file that exists. Only files of a size that a file to import has are
// read; a kept hash counts only while its file keeps its size and time of change. Files that are
// gone or cannot be read, on either side, are no duplicates. The sizes, times and hashes learnt are
// kept in the catalogue in one unit of work, also after a cancel. The progress counts the work of
// reading the files; returning false stops the look. Raises when the catalogue cannot be read or
// written.
DuplicateCheck FindImportDuplicates(const QStringList& files, const ImportProgress& progress = {});

// Adds one photo per file in one transaction, numbered on from the highest photo number, with the
// file's path as its file name and the shared values and subjects, stored as the photo and link
// record sets store them; each file's size and time of change are kept for later duplicate checks.
// The engine's statistics are refreshed in the same unit of work when they are missing or the
// catalogue has grown by a quarter since they were taken. Any failure part-way
// undoes the whole import and is raised (3022 for a number in use); a cancel undoes it too.
// With PictureDates, a file whose EXIF data holds a valid date taken gives its photo that date
// instead of the shared one; the files are read in the same unit of work, under the same progress.
ImportResult ImportFiles(const QStringList& files, const ImportValues& values, const ImportProgress& progress = {});

// The destination path of each file: the destination folder, "/" and the file's name.
QStringList DestinationPaths(const QStringList& files, const QString& destination);

// The first of the paths at which a file already exists, or empty text when none does.
QString FirstExistingFile(const QStringList& paths);

// Moves exactly these files into the destination folder and imports them there: photos and moves
// as one piece of work. Never replaces a file at the destination. A move that fails stops the
// moving; the photos of the files not moved name them where they are, the rest stays added, and
// the result says which file failed and why. A cancel moves back what was moved and adds nothing.
// Raises, with nothing moved or added, when the destination is no folder or already holds one of
// the names, and when the photos cannot be stored (files already moved are moved back).
ImportResult MoveThenImportFiles(const QStringList& files, const QString& destination, const ImportValues& values,
                                 const ImportProgress& progress = {});

// Moves one file to a new full path and never replaces a file there: a rename that refuses to
// replace, or across file systems a copy flushed to disk, then the source removed. Raises a Failure
// with the reason when the file cannot be moved; the source is then left as it was.
void MoveFileNoReplace(const QString& source, const QString& destination);

// Takes the engine's statistics of the photos and their links after bulk work, inside the caller's
// unit of work, when they are missing or the photos have grown by a quarter since (never for a
// small catalogue), as a folder import does.
void RefreshImportStatistics(const Database& db);
