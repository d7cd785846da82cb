#pragma once

#include "data/FolderImport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <vector>

// Photos as comma-separated text (UTF-8, CRLF line ends, a header row naming the columns, fields
// quoted when they hold a comma, a quote or a line end, quotes doubled), one row per photo with its
// places and subjects by name, so that a person can read and edit it in any spreadsheet.

// The columns of an exported file, in their order.
QStringList CsvColumns();

// Writes every photo of the catalogue, in number order, into a new file at path (an existing file
// is replaced only once the whole new one is written). Returns the photos written. Raises a Failure
// whose description names the file when it cannot be written.
qint64 ExportCatalogueCsv(const QString& path);

// The same for the photos with these numbers, in the order given; numbers of no photo are left out.
qint64 ExportPhotosCsv(const QString& path, const QList<qint64>& numbers);

// The kinds of entry an import can add to the lists.
enum class CsvEntryKind { State, Location, StorageDevice, StorageLocation, Category, Subject };

// The name a user knows the kind by ("Storage Place").
QString CsvEntryKindName(CsvEntryKind kind);

// An entry a row refers to: one the catalogue holds (Id), one the import adds (NewIndex into the
// plan's NewEntries), or none.
struct CsvEntryRef
{
    qint64 Id = 0;
    int NewIndex = -1;
    bool isNone() const { return Id == 0 && NewIndex < 0; }
};

struct CsvNewEntry
{
    CsvEntryKind Kind;
    QString Name;
    CsvEntryRef Parent; // the state, storage device or category of a second-level entry
    QString ParentName; // that parent's name as the catalogue or the file spells it; empty at the top level
};

struct CsvRefusedRow
{
    qint64 Line;    // the line of the file the row begins on
    QString Number; // as the row gives it
    QString Reason;
};

// One photo as it will be stored.
struct CsvPhotoRow
{
    qint64 Line = 0;
    std::int32_t Number = 0;
    QString Caption;
    QVariant DateTaken; // a QDate, or Null
    CsvEntryRef Location;
    CsvEntryRef StorageLocation;
    std::vector<CsvEntryRef> Subjects; // linked in this order
    QString Comments;
    QString FileName;
    QVariant PrintLabel;     // true, false, or Null
    QVariant NumberofLabels; // a number, or Null
};

// What importing a file would do, worked out without writing anything: the photos it adds, the
// rows it refuses and why, and the list entries it creates (names already in the catalogue, or met
// earlier in the file, are matched without regard to case, as the lists' names are).
struct CsvImportPlan
{
    std::vector<CsvPhotoRow> Photos;
    std::vector<CsvRefusedRow> Refused;
    std::vector<CsvNewEntry> NewEntries;
};

// Reads the file and plans its import against the catalogue as it is now. Raises a Failure naming
// the file when it cannot be read, is not UTF-8 text, or its first row does not name known columns
// (Number among them).
CsvImportPlan PlanCsvImport(const QString& path);

// Stores the plan in one unit of work: its new entries, then its photos and their subject links,
// then the engine's statistics as a folder import refreshes them. A cancel through the progress
// undoes everything; so does any failure, which is raised (3022 when a number was taken meanwhile).
ImportResult ImportCsv(const CsvImportPlan& plan, const ImportProgress& progress = {});
