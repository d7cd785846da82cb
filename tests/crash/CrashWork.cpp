#include "CrashWork.h"

#include "core/Failure.h"
#include "data/CatalogueCopy.h"
#include "data/Database.h"
#include "data/FolderImport.h"
#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "data/cPhotosSubjects.h"
#include "labels/cLabels.h"
#include "support/FileFaults.h"
#include "support/TestProgramFolder.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <stdexcept>

#include <unistd.h>

namespace CrashWork {

namespace {

// Photos in the backup's catalogue, so that its copy takes long enough to be killed in the middle.
constexpr int BackupPhotos = 20000;
// Labels already in the table before the labels are made: they must survive whatever happens.
constexpr int OlderLabels = 3;

void require(bool ok, const QString& what)
{
    if (!ok)
        throw std::runtime_error(what.toStdString());
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    require(QFile::copy(from, to), QStringLiteral("cannot copy %1 to %2").arg(from, to));
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString deliveredCatalogue()
{
    return QDir(TestProgramFolder::deliveredFolder()).filePath(QStringLiteral("Vellaro.mdb"));
}

std::unique_ptr<Database> openDirectly(const QString& path)
{
    return Database::OpenDatabase(path, false, false, cDataBase::ConnectString());
}

// 2,000 photos marked for five labels each and no other photo marked, with a few older labels.
void markPhotosForLabels(const QString& path)
{
    auto db = openDirectly(path);
    Transaction work(*db);
    db->Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 0"));
    constexpr int labelsEach = 5;
    for (int i = 0; i < MadeLabels / labelsEach; ++i)
        db->Execute(
            QStringLiteral("INSERT INTO Photos (PhotoID, Caption, PrintLabel, NumberofLabels) VALUES (?, ?, 1, ?)"),
            {1000 + i, QStringLiteral("Marked photo %1").arg(1000 + i), labelsEach});
    for (int i = 0; i < OlderLabels; ++i)
        db->Execute(QStringLiteral("INSERT INTO Labels (Label) VALUES (?)"), {QStringLiteral("Older label %1").arg(i)});
    work.commit();
}

void writeReady()
{
    // Unbuffered: the parent times the kill from the moment it reads this.
    static const char ready[] = "ready\n";
    ::write(STDOUT_FILENO, ready, sizeof ready - 1);
}

void writeDone()
{
    static const char done[] = "done\n";
    ::write(STDOUT_FILENO, done, sizeof done - 1);
}

void openCatalogue(const QString& folder)
{
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(cataloguePath(folder));
    gDB->OpenDB();
}

QString subjectId(const QString& name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT SubjectID FROM Subjects WHERE Subject = ?"), {name})
        ->Value(QStringLiteral("SubjectID"))
        .toString();
}

qint32 placeId(const char* table, const char* idField, const char* nameField, const QString& name)
{
    return gDB->DB()
        .OpenRecordset(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                .arg(QString::fromLatin1(idField), QString::fromLatin1(table), QString::fromLatin1(nameField)),
            {name})
        ->Value(QString::fromLatin1(idField))
        .toInt();
}

void importFiles(const QString& folder)
{
    openCatalogue(folder);
    const QStringList files = ListFolderFiles(importFilesPath(folder));
    ImportValues values;
    values.Caption = QStringLiteral("Imported in one piece");
    values.DateTaken = QDate(2026, 12, 7);
    values.Comments = QStringLiteral("From the crash suite's folder");
    values.NumberofLabels = QStringLiteral("1");
    values.AddedSubjectIds = {subjectId(QStringLiteral("Birds")), subjectId(QStringLiteral("Lakes"))};
    writeReady();
    ImportFiles(files, values);
    writeDone();
}

void makeLabels(const QString& folder)
{
    openCatalogue(folder);
    cLabels labels;
    writeReady();
    labels.MakeLabels(0);
    writeDone();
}

// The writes the photo editor's Save makes for a changed photo with subjects added and removed.
void savePhoto(const QString& folder)
{
    openCatalogue(folder);
    cPhotos photos;
    cPhotosSubjects links;
    photos.GoFirst();
    while (photos.Photo().PhotoID != SavedPhoto)
        photos.GoNext();
    QStringList added;
    for (const QString& name : SavedSubjectsAdded)
        added << subjectId(name);
    const qint32 location = placeId("Locations", "LocationID", "Location", QStringLiteral("Bar Harbor"));
    const qint32 storage =
        placeId("StorageLocations", "StorageLocationID", "StorageLocation", QStringLiteral("Disc 2004-1"));
    const QString photoId = QString::number(SavedPhoto);

    writeReady();
    {
        Transaction work(gDB->DB());
        photos.Edit();
        cPhoto& photo = photos.Photo();
        photo.Caption = QStringLiteral("Grandma's 80th birthday, the whole family");
        photo.FileName = QStringLiteral("/photos/family/grandma-80.jpg");
        photo.Comments = QStringLiteral("Renamed and re-filed");
        photo.LocationID = location;
        photo.StorageLocationID = storage;
        photo.DateTaken = QDate(2001, 6, 18);
        photo.NumberofLabels = 3;
        photo.PrintLabel = 1;
        photos.setIsDirty(true);
        photos.Save();
        for (const QString& id : added) {
            links.Add();
            links.PhotoSubject().PhotoID = photoId;
            links.PhotoSubject().SubjectID = id;
            links.setIsDirty(true);
            links.Save();
        }
        for (const QString& name : SavedSubjectsRemoved)
            links.Delete(photoId, name);
        work.commit();
    }
    writeDone();
}

void backUp(const QString& folder)
{
    writeReady();
    CopyCatalogue(cataloguePath(folder), QDir(backupFolderPath(folder)).filePath(QStringLiteral("Vellaro.mdb")));
    writeDone();
}

} // namespace

QString cataloguePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Vellaro.mdb"));
}

QString templatePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Template.mdb"));
}

QString importFilesPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Files"));
}

QString backupFolderPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Backups"));
}

QString olderBackupPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("Older.mdb"));
}

void prepare(const QString& work, const QString& folder)
{
    require(QDir().mkpath(folder), QStringLiteral("cannot make %1").arg(folder));
    copyFile(deliveredCatalogue(), templatePath(folder));
    if (work == Import) {
        require(QDir().mkpath(importFilesPath(folder)), QStringLiteral("cannot make the import's folder"));
        for (int i = 1; i <= ImportedFiles; ++i) {
            QFile file(QDir(importFilesPath(folder)).filePath(QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QChar(u'0'))));
            require(file.open(QIODevice::WriteOnly) && file.write("picture") == 7,
                    QStringLiteral("cannot write a file"));
        }
    } else if (work == Labels) {
        markPhotosForLabels(templatePath(folder));
    } else if (work == Backup) {
        // The older backup is the catalogue as delivered; the catalogue has grown since.
        require(QDir().mkpath(backupFolderPath(folder)), QStringLiteral("cannot make the backup's folder"));
        copyFile(deliveredCatalogue(), olderBackupPath(folder));
        growCatalogue(templatePath(folder), BackupPhotos);
    }
    resetCatalogue(folder);
}

void resetCatalogue(const QString& folder)
{
    const QString catalogue = cataloguePath(folder);
    QFile::remove(catalogue + QStringLiteral("-journal"));
    QFile::remove(catalogue + QStringLiteral("-wal"));
    QFile::remove(catalogue + QStringLiteral("-shm"));
    copyFile(templatePath(folder), catalogue);
}

int runChild(const QString& work, const QString& folder)
{
    try {
        if (work == Import)
            importFiles(folder);
        else if (work == Labels)
            makeLabels(folder);
        else if (work == Save)
            savePhoto(folder);
        else if (work == Backup)
            backUp(folder);
        else
            return 3;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(work), qPrintable(failure.Description()));
        return 2;
    }
    return 0;
}

} // namespace CrashWork
