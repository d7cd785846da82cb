#include "data/FolderImport.h"

#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/CatalogueTestCase.h"
#include "support/FileFaults.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString subjectId(const QString& name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT SubjectID FROM Subjects WHERE Subject = ?"), {name})
        ->Value(QStringLiteral("SubjectID"))
        .toString();
}

QString locationId(const QString& name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT LocationID FROM Locations WHERE Location = ?"), {name})
        ->Value(QStringLiteral("LocationID"))
        .toString();
}

QString storageLocationId(const QString& name)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT StorageLocationID FROM StorageLocations WHERE StorageLocation = ?"),
                       {name})
        ->Value(QStringLiteral("StorageLocationID"))
        .toString();
}

// Every stored field of a photo but its number and file, each with its stored type, so that two
// photos compare equal only when they are stored alike.
QString storedShared(int photoId)
{
    return gDB->DB()
        .OpenRecordset(QStringLiteral("SELECT quote(Caption) || ' ' || quote(LocationID) || ' ' || "
                                      "quote(StorageLocationID) || ' ' || quote(DateTaken) || ' ' || "
                                      "quote(PrintLabel) || ' ' || quote(NumberofLabels) || ' ' || quote(Comments) "
                                      "AS Stored FROM Photos WHERE PhotoID = ?"),
                       {photoId})
        ->Value(QStringLiteral("Stored"))
        .toString();
}

QStringList fileNamesFrom(int firstId, int lastId)
{
    QStringList names;
    auto rows = gDB->DB().OpenRecordset(
        QStringLiteral("SELECT FileName FROM Photos WHERE PhotoID BETWEEN ? AND ? ORDER BY PhotoID"),
        {firstId, lastId});
    for (; !rows->Eof(); rows->MoveNext())
        names << rows->Value(QStringLiteral("FileName")).toString();
    return names;
}

// Makes files with these names in the folder, each holding its own name.
QStringList makeFiles(const QString& folder, const QStringList& names)
{
    QStringList paths;
    for (const QString& name : names) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot make a test file");
        file.write(name.toUtf8());
        paths << file.fileName();
    }
    return paths;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The names in a folder, hidden ones included, sorted.
QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The rows the table had when the engine's statistics were last taken; -1 when it has none.
qint64 rowsWhenAnalysed(const QString& table)
{
    if (gDB->DB().OpenRecordset(QStringLiteral("SELECT name FROM sqlite_master WHERE name = 'sqlite_stat1'"))->Eof())
        return -1;
    const auto rows = gDB->DB().OpenRecordset(QStringLiteral("SELECT stat FROM sqlite_stat1 WHERE tbl = ?"), {table});
    return rows->Eof() ? -1 : rows->Value(QStringLiteral("stat")).toString().section(u' ', 0, 0).toLongLong();
}

int photoCount()
{
    return countRows(QStringLiteral("SELECT * FROM Photos"));
}

int linkCount()
{
    return countRows(QStringLiteral("SELECT * FROM PhotosSubjects"));
}

} // namespace

// Importing a folder's files as new photos, and moving them before they are imported. The sample
// catalogue holds photos 1 to 7.
class FolderImportTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void aFolderBecomesNumberedPhotosStoredAsTheEditorStoresThem()
    {
        QTemporaryDir folder;
        QCOMPARE(ListFolderFiles(folder.path()), QStringList());
        QCOMPARE(ImportFiles({}, {}).Added, 0);
        QCOMPARE(photoCount(), 7);

        makeFiles(folder.path(), {QStringLiteral("one.jpg")});
        gDB->DB().Execute(QStringLiteral("DROP TABLE IF EXISTS sqlite_stat1"));
        QCOMPARE(ImportFiles(ListFolderFiles(folder.path()), {}).Added, 1);
        QCOMPARE(fileNamesFrom(8, 8), QStringList{folder.filePath(QStringLiteral("one.jpg"))});
        // A small catalogue is left without statistics.
        QCOMPARE(rowsWhenAnalysed(QStringLiteral("Photos")), -1);

        // Many files: more than one step of progress, in the folder's own order, a subfolder left out.
        QStringList names;
        for (int i = 0; i < 150; ++i)
            names << QStringLiteral("IMG_%1.jpg").arg((i * 37) % 150, 4, 10, QChar(u'0'));
        makeFiles(folder.path(), names);
        QDir(folder.path()).mkdir(QStringLiteral("sub"));
        makeFiles(folder.filePath(QStringLiteral("sub")), {QStringLiteral("inside.jpg")});
        const QStringList files = ListFolderFiles(folder.path());
        QStringList listed;
        for (QDirIterator it(folder.path(), QDir::Files); it.hasNext();)
            listed << it.next();
        QCOMPARE(files, listed);
        QCOMPARE(files.size(), 151);

        ImportValues values;
        values.Caption = QStringLiteral("Summer at the lake");
        values.DateTaken = QDate(2004, 7, 3);
        values.LocationCode = locationId(QStringLiteral("Duluth"));
        values.StorageLocationCode = storageLocationId(QStringLiteral("Box B"));
        values.Comments = QStringLiteral("Scanned in one go");
        values.PrintLabel = false;
        values.NumberofLabels = QStringLiteral("3");
        values.AddedSubjectIds = {subjectId(QStringLiteral("Dogs")), subjectId(QStringLiteral("Birds")),
                                  subjectId(QStringLiteral("Lakes"))};
        // A removed subject that was added ends unlinked; a name of no subject changes nothing.
        values.RemovedSubjectNames = {QStringLiteral("birds"), QStringLiteral("Zebras")};
        QList<std::pair<qint64, qint64>> reports;
        const ImportResult result = ImportFiles(files, values, [&reports](qint64 done, qint64 total) {
            reports.append({done, total});
            return true;
        });
        QCOMPARE(result.Added, 151);
        QVERIFY(!result.Cancelled);
        QCOMPARE(reports.last(), (std::pair<qint64, qint64>(151, 151)));
        QVERIFY(reports.size() >= 2 && reports.size() <= 10);
        QCOMPARE(fileNamesFrom(9, 159), files);
        QCOMPARE(photoCount(), 7 + 1 + 151);
        QCOMPARE(linkedSubjects(9), (QStringList{"Dogs", "Lakes"}));
        QCOMPARE(linkedSubjects(159), (QStringList{"Dogs", "Lakes"}));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID > 8")), 2 * 151);
        QCOMPARE(rowsWhenAnalysed(QStringLiteral("Photos")), -1);

        // The same values saved through the photo record set are stored exactly alike.
        cPhotos photos;
        photos.Add();
        cPhoto& photo = photos.Photo();
        photo.PhotoID = 5000;
        photo.Caption = values.Caption;
        photo.DateTaken = values.DateTaken;
        photo.LocationID = values.LocationCode.toInt();
        photo.StorageLocationID = values.StorageLocationCode.toInt();
        photo.Comments = values.Comments;
        photo.PrintLabel = 0;
        photo.NumberofLabels = 3;
        photos.setIsDirty(true);
        photos.Save();
        QCOMPARE(storedShared(100), storedShared(5000));
        QCOMPARE(storedShared(100), storedShared(9));

        // The same folder again, with nothing filled in: a second set of photos for the same files,
        // no date, no places, no labels, no subjects; a new photo of the editor stores the same.
        gDB->DB().Execute(QStringLiteral("DELETE FROM Photos WHERE PhotoID = 5000"));
        ImportValues empty;
        empty.PrintLabel = false;
        QCOMPARE(ImportFiles(files, empty).Added, 151);
        QCOMPARE(fileNamesFrom(160, 310), files);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID >= 160")), 0);
        photos.Add();
        photos.Photo().PhotoID = 5000;
        photos.Photo().NumberofLabels = 0;
        photos.setIsDirty(true);
        photos.Save();
        QCOMPARE(storedShared(160), storedShared(5000));
        QCOMPARE(storedShared(160), QStringLiteral("'' NULL NULL NULL 0 0 ''"));

        // More files than a 16-bit count holds are counted and numbered on.
        QStringList many;
        for (int i = 0; i < 40000; ++i)
            many << QStringLiteral("/photos/scan%1.tif").arg(i);
        QCOMPARE(ImportFiles(many, empty).Added, 40000);
        QCOMPARE(fileNamesFrom(45000, 45000), QStringList{"/photos/scan39999.tif"});
        // Statistics missing from a large table are taken; the link table is still small.
        QCOMPARE(rowsWhenAnalysed(QStringLiteral("Photos")), photoCount());
        QCOMPARE(rowsWhenAnalysed(QStringLiteral("PhotosSubjects")), -1);
        // A small import into a large catalogue leaves its statistics as they were.
        QCOMPARE(ImportFiles({QStringLiteral("/photos/one more.tif")}, empty).Added, 1);
        QCOMPARE(rowsWhenAnalysed(QStringLiteral("Photos")), photoCount() - 1);
    }

    void anImportThatFailsOrIsCancelledLeavesNothingBehind()
    {
        QTemporaryDir folder;
        QStringList names;
        for (int i = 0; i < 200; ++i)
            names << QStringLiteral("p%1.jpg").arg(i);
        const QStringList files = makeFiles(folder.path(), names);
        ImportValues values;
        values.AddedSubjectIds = {subjectId(QStringLiteral("Dogs")), subjectId(QStringLiteral("Birds"))};
        const int photosBefore = photoCount();
        const int linksBefore = linkCount();
        const auto nothingAdded = [&] {
            QCOMPARE(photoCount(), photosBefore);
            QCOMPARE(linkCount(), linksBefore);
        };

        // The fifth photo is refused, after four photos and their links were written.
        gDB->DB().Execute(
            QStringLiteral("CREATE TEMP TRIGGER refuseFifth BEFORE INSERT ON Photos WHEN NEW.PhotoID = 12 "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(failureOf([&] { ImportFiles(files, values); }).has_value());
        nothingAdded();
        gDB->DB().Execute(QStringLiteral("DROP TRIGGER refuseFifth"));

        // A number taken by someone else part-way is reported as the number in use.
        gDB->DB().Execute(QStringLiteral("CREATE TEMP TRIGGER takeNext AFTER INSERT ON Photos WHEN NEW.PhotoID = 150 "
                                         "BEGIN INSERT INTO Photos (PhotoID) VALUES (151); END"));
        QVERIFY_FAILURE(ImportFiles(files, values), ErrorNumber::DuplicateValue);
        nothingAdded();
        gDB->DB().Execute(QStringLiteral("DROP TRIGGER takeNext"));

        // A value the catalogue refuses: a place that does not exist.
        values.LocationCode = QStringLiteral("9999");
        QVERIFY_FAILURE(ImportFiles(files, values), ErrorNumber::RelatedRowRequired);
        nothingAdded();
        values.LocationCode.clear();

        // Stopped by the user at the second report of progress.
        int reports = 0;
        const ImportResult cancelled = ImportFiles(files, values, [&reports](qint64, qint64) { return ++reports < 2; });
        QVERIFY(cancelled.Cancelled);
        QCOMPARE(cancelled.Added, 0);
        nothingAdded();

        // Afterwards the same import goes through whole.
        QCOMPARE(ImportFiles(files, values).Added, 200);
        QCOMPARE(photoCount(), photosBefore + 200);
        QCOMPARE(linkCount(), linksBefore + 400);
    }

    void badLabelCountsFoldersAndNumbersAreRefusedBeforeAnythingIsAdded()
    {
        ImportValues values;
        for (const char* count : {"", "0", "32767", " 12 "}) {
            values.NumberofLabels = QString::fromLatin1(count);
            CheckImport(10, values);
        }
        for (const char* count : {"1.5", "abc", "-1", "40000", "99999999999999999999"}) {
            values.NumberofLabels = QString::fromLatin1(count);
            const auto failure = failureOf([&] { CheckImport(10, values); });
            QVERIFY2(failure && failure->Description().contains(QStringLiteral("0 to 32767")), count);
            QVERIFY(failureOf([&] { ImportFiles({QStringLiteral("/a.jpg")}, values); }).has_value());
        }
        QCOMPARE(photoCount(), 7);

        // Numbers end at 2147483647: seven more fit after 2147483640, eight do not, nor a count
        // that a 32-bit sum would wrap.
        values.NumberofLabels.clear();
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PhotoID = 2147483640 WHERE PhotoID = 7"));
        CheckImport(7, values);
        const auto overflow = failureOf([&] { CheckImport(8, values); });
        QVERIFY(overflow && overflow->Description().contains(QStringLiteral("2147483647")));
        QVERIFY(failureOf([&] { CheckImport(qint64(1) << 32, values); }).has_value());
        QStringList eight;
        for (int i = 0; i < 8; ++i)
            eight << QStringLiteral("/photos/%1.jpg").arg(i);
        QVERIFY(failureOf([&] { ImportFiles(eight, values); }).has_value());
        QCOMPARE(photoCount(), 7);
        QCOMPARE(ImportFiles(eight.mid(1), values).Added, 7);
        QCOMPARE(fileNamesFrom(2147483647, 2147483647), QStringList{"/photos/7.jpg"});

        // Folders that cannot be listed, each with its own reason.
        QTemporaryDir parent;
        const QString file = makeFiles(parent.path(), {QStringLiteral("a.jpg")}).first();
        const auto described = [](const QString& folder) {
            const auto failure = failureOf([&] { ListFolderFiles(folder); });
            return failure ? failure->Description() : QString();
        };
        QVERIFY(!described(QString()).isEmpty());
        QVERIFY(described(QStringLiteral("photos/2004")).contains(QStringLiteral("full path")));
        QVERIFY(described(parent.filePath(QStringLiteral("gone"))).contains(QStringLiteral("does not exist")));
        QVERIFY(described(file).contains(QStringLiteral("not a folder")));

        // A folder that may be entered but not read, as an ordinary user sees it.
        QVERIFY(QFile::setPermissions(parent.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                         QFile::ExeGroup | QFile::ExeOther));
        const QString locked = parent.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(parent.path()).mkdir(locked));
        makeFiles(locked, {QStringLiteral("b.jpg")});
        QVERIFY(QFile::setPermissions(locked, QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        const int seen = asOrdinaryUser([&] {
            const auto failure = failureOf([&] { ListFolderFiles(locked); });
            return failure && failure->Description().contains(QStringLiteral("cannot be read")) ? 1 : 0;
        });
        QCOMPARE(seen, 1);

        // Links to files count as files; a link to nothing does not; the root folder gives one "/".
        QVERIFY(QFile::link(file, parent.filePath(QStringLiteral("linked.jpg"))));
        QVERIFY(QFile::link(parent.filePath(QStringLiteral("none")), parent.filePath(QStringLiteral("dangling.jpg"))));
        QStringList listed = ListFolderFiles(parent.path() + u'/');
        listed.sort();
        QCOMPARE(listed, (QStringList{parent.filePath(QStringLiteral("a.jpg")),
                                      parent.filePath(QStringLiteral("linked.jpg"))}));
        for (const QString& path : ListFolderFiles(QStringLiteral("/")))
            QVERIFY(path.startsWith(u'/') && path.at(1) != u'/' && path.lastIndexOf(u'/') == 0);
    }

    void moveThenImportMovesExactlyTheListedFilesOrLeavesThemWhereTheyAre()
    {
        QTemporaryDir source;
        QTemporaryDir destination;
        const QStringList names = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
        makeFiles(source.path(), names);
        QStringList files = ListFolderFiles(source.path());
        const QStringList targets = DestinationPaths(files, destination.path());
        QCOMPARE(targets.size(), 5);
        QCOMPARE(targets.first(), destination.path() + u'/' + files.first().section(u'/', -1));
        ImportValues values;
        values.AddedSubjectIds = {subjectId(QStringLiteral("Dogs"))};

        // A name already at the destination: nothing is moved or added.
        makeFiles(destination.path(), {QStringLiteral("c.jpg")});
        QCOMPARE(FirstExistingFile(targets), destination.filePath(QStringLiteral("c.jpg")));
        QVERIFY(failureOf([&] { MoveThenImportFiles(files, destination.path(), values); }).has_value());
        QCOMPARE(namesIn(source.path()), names);
        QCOMPARE(namesIn(destination.path()), QStringList{"c.jpg"});
        QCOMPARE(photoCount(), 7);
        QFile::remove(destination.filePath(QStringLiteral("c.jpg")));
        QCOMPARE(FirstExistingFile(targets), QString());

        // Cancelled while moving: what was moved goes back and nothing is added.
        const ImportResult cancelled =
            MoveThenImportFiles(files, destination.path(), values, [](qint64 done, qint64) { return done < 7; });
        QVERIFY(cancelled.Cancelled);
        QCOMPARE(namesIn(source.path()), names);
        QCOMPARE(namesIn(destination.path()), QStringList());
        QCOMPARE(photoCount(), 7);

        // A file that turns up after the listing stays where it is; the listed ones move and their
        // photos name their new places.
        makeFiles(source.path(), {QStringLiteral("late.jpg")});
        const ImportResult moved = MoveThenImportFiles(files, destination.path(), values);
        QCOMPARE(moved.Added, 5);
        QCOMPARE(moved.Moved, 5);
        QVERIFY(moved.MoveFailedFile.isEmpty());
        QCOMPARE(namesIn(source.path()), QStringList{"late.jpg"});
        QCOMPARE(namesIn(destination.path()), names);
        QCOMPARE(fileNamesFrom(8, 12), targets);
        for (const QString& target : targets)
            QCOMPARE(contentOf(target), target.section(u'/', -1).toUtf8());
        QCOMPARE(linkedSubjects(12), QStringList{"Dogs"});
    }

    void aMoveThatFailsPartWayStopsAndEveryPhotoNamesWhereItsFileIs()
    {
        QTemporaryDir source;
        QTemporaryDir destination;
        makeFiles(source.path(), {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
        const QStringList files = ListFolderFiles(source.path());
        const QStringList targets = DestinationPaths(files, destination.path());

        // The third file's name is taken at the destination after the check, before its move.
        const ImportResult result = MoveThenImportFiles(files, destination.path(), {}, [&](qint64 done, qint64 total) {
            if (done == total / 2 + 2)
                makeFiles(destination.path(), {targets.at(2).section(u'/', -1)});
            return true;
        });
        QCOMPARE(result.Added, 5);
        QCOMPARE(result.Moved, 2);
        QCOMPARE(result.MoveFailedFile, files.at(2));
        QVERIFY(result.MoveFailure.contains(QString::fromLocal8Bit(strerror(EEXIST))));
        QCOMPARE(fileNamesFrom(8, 12),
                 (QStringList{targets.at(0), targets.at(1), files.at(2), files.at(3), files.at(4)}));
        for (int i = 0; i < 5; ++i)
            QVERIFY(QFile::exists(fileNamesFrom(8 + i, 8 + i).first()));
        // The file that was in the way is not replaced.
        QCOMPARE(contentOf(targets.at(2)), targets.at(2).section(u'/', -1).toUtf8());
        QCOMPARE(QFileInfo(targets.at(2)).size(), QFileInfo(files.at(2)).size());

        // A source gone after the listing: the move stops there, the same way.
        QFile::remove(targets.at(2));
        const QStringList rest = files.mid(2);
        QFile::remove(rest.at(1));
        const ImportResult second = MoveThenImportFiles(rest, destination.path(), {});
        QCOMPARE(second.Moved, 1);
        QCOMPARE(second.MoveFailedFile, rest.at(1));
        QCOMPARE(fileNamesFrom(13, 15), (QStringList{targets.at(2), rest.at(1), rest.at(2)}));

        // When the photos cannot be made to name where the files stayed, nothing is added and the
        // files already moved go back.
        const int photosBefore = photoCount();
        const QStringList last = makeFiles(source.path(), {"f.jpg", "g.jpg", "h.jpg"});
        QFile::remove(last.at(1));
        gDB->DB().Execute(QStringLiteral(
            "CREATE TEMP TRIGGER keepNames BEFORE UPDATE ON Photos BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        QVERIFY(failureOf([&] { MoveThenImportFiles(last, destination.path(), {}); }).has_value());
        QCOMPARE(photoCount(), photosBefore);
        QVERIFY(QFile::exists(last.at(0)));
        QVERIFY(!QFile::exists(destination.filePath(QStringLiteral("f.jpg"))));
    }

    void aMoveToAnotherFileSystemCopiesSafelyAndNeverReplaces()
    {
        // The build tree is on disk and /dev/shm is in memory: two file systems, when both exist.
        QTemporaryDir memory(QStringLiteral("/dev/shm/vellaro-import-XXXXXX"));
        QTemporaryDir disk(QCoreApplication::applicationDirPath() + QStringLiteral("/import-XXXXXX"));
        struct stat memoryInfo
        {
        };
        struct stat diskInfo
        {
        };
        if (!memory.isValid() || !disk.isValid() ||
            ::stat(QFile::encodeName(memory.path()).constData(), &memoryInfo) != 0 ||
            ::stat(QFile::encodeName(disk.path()).constData(), &diskInfo) != 0 || memoryInfo.st_dev == diskInfo.st_dev)
            QSKIP("needs /dev/shm and the build tree on two different file systems");

        const QString picture = makeFiles(memory.path(), {QStringLiteral("big.jpg")}).first();
        const QByteArray bytes = QByteArray(3 << 20, 'x') + "end";
        QVERIFY(writeFile(picture, bytes));
        QVERIFY(QFile::setPermissions(picture, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(picture).constData(), old, 0), 0);

        // A name already taken at the destination is never replaced, and no copy is left behind.
        const QString taken = makeFiles(disk.path(), {QStringLiteral("big.jpg")}).first();
        const auto refused = failureOf([&] { MoveFileNoReplace(picture, taken); });
        QVERIFY(refused && refused->Description().contains(QString::fromLocal8Bit(strerror(EEXIST))));
        QCOMPARE(contentOf(picture), bytes);
        QCOMPARE(contentOf(taken), QByteArray("big.jpg"));
        QCOMPARE(namesIn(disk.path()), QStringList{"big.jpg"});

        // Moved whole, with its mode and time, and gone from where it was.
        const QString target = disk.filePath(QStringLiteral("moved.jpg"));
        MoveFileNoReplace(picture, target);
        QVERIFY(!QFile::exists(picture));
        QCOMPARE(contentOf(target), bytes);
        struct stat moved
        {
        };
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &moved), 0);
        QCOMPARE(moved.st_mode & 07777, mode_t(0604));
        QCOMPARE(QFileInfo(target).lastModified().toSecsSinceEpoch(), 1000000000);
        QCOMPARE(namesIn(disk.path()), (QStringList{"big.jpg", "moved.jpg"}));

        // Move then import across the two, and back again by the same route.
        const QStringList files = makeFiles(memory.path(), {QStringLiteral("x.jpg"), QStringLiteral("y.jpg")});
        const ImportResult result = MoveThenImportFiles(files, disk.path(), {});
        QCOMPARE(result.Moved, 2);
        QCOMPARE(namesIn(memory.path()), QStringList());
        QCOMPARE(fileNamesFrom(8, 9), DestinationPaths(files, disk.path()));
    }
};

int runFolderImportTest(int argc, char* argv[])
{
    FolderImportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FolderImportTest.moc"
