#include "data/CatalogueCopy.h"

#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/FileFaults.h"
#include "support/TestProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>

namespace {

// Every name in the folder, hidden ones included: what a copy left behind shows here.
QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

int photoCount(const QString& catalogue)
{
    auto database = Database::OpenDatabase(catalogue, false, true, cDataBase::ConnectString());
    return database->OpenRecordset(QStringLiteral("SELECT count(*) AS n FROM Photos"))
        ->Value(QStringLiteral("n"))
        .toInt();
}

} // namespace

// Copying the catalogue for a backup: an older backup is replaced only by a whole, checked copy.
class CatalogueCopyTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        // Over a megabyte, so the copy takes more than one read.
        growCatalogue(m_folder->cataloguePath(), 4000);
        m_target = std::make_unique<QTemporaryDir>();
        QVERIFY(m_target->isValid());
    }
    void cleanup()
    {
        m_target.reset();
        m_folder.reset();
    }

    void anOlderBackupIsReplacedOnlyByAWholeCopy()
    {
        const QString catalogue = m_folder->cataloguePath();
        const QString backup = m_target->filePath(QStringLiteral("Vellaro.mdb"));
        const QByteArray original = fileBytes(catalogue);
        QVERIFY(original.size() > (1 << 20));

        CopyCatalogue(catalogue, backup);
        QCOMPARE(fileBytes(backup), original);
        QCOMPARE(filesIn(m_target->path()), QStringList{"Vellaro.mdb"});
        QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther;
        QCOMPARE(QFile::permissions(backup) & others, QFile::Permissions());
        QCOMPARE(photoCount(backup), photoCount(catalogue));

        // The disk fills up halfway: the older backup stays, and nothing else is left behind.
        const QByteArray older("an older backup, kept whole");
        QVERIFY(writeFile(backup, older));
        {
            const FileSizeLimit full(rlim_t(original.size() / 2));
            QVERIFY_FAILURE(CopyCatalogue(catalogue, backup), ErrorNumber::DiskError);
        }
        QCOMPARE(fileBytes(backup), older);
        QCOMPARE(filesIn(m_target->path()), QStringList{"Vellaro.mdb"});

        // A catalogue that cannot be read, and a folder in the backup's place, change nothing.
        QVERIFY_FAILURE(CopyCatalogue(m_folder->filePath(QStringLiteral("gone.mdb")), backup), ErrorNumber::DiskError);
        QCOMPARE(fileBytes(backup), older);
        QVERIFY(QDir(m_target->path()).mkdir(QStringLiteral("Sub")));
        QVERIFY(QDir(m_target->path()).mkdir(QStringLiteral("Sub/Vellaro.mdb")));
        QVERIFY(writeFile(m_target->filePath(QStringLiteral("Sub/Vellaro.mdb/keep.txt")), "kept"));
        QVERIFY_FAILURE(CopyCatalogue(catalogue, m_target->filePath(QStringLiteral("Sub/Vellaro.mdb"))),
                        ErrorNumber::DiskError);
        QCOMPARE(filesIn(m_target->filePath(QStringLiteral("Sub"))), QStringList{"Vellaro.mdb"});
        QCOMPARE(fileBytes(m_target->filePath(QStringLiteral("Sub/Vellaro.mdb/keep.txt"))), QByteArray("kept"));
        // Never onto the catalogue itself, however it is reached.
        QVERIFY_FAILURE(CopyCatalogue(catalogue, m_folder->path() + QStringLiteral("/./Vellaro.mdb")),
                        ErrorNumber::DiskError);
        QCOMPARE(filesIn(m_folder->path()), (QStringList{"Geese.jpg", "Lighthouse.jpg", "Vellaro.mdb"}));

        // Then it goes through.
        CopyCatalogue(catalogue, backup);
        QCOMPARE(fileBytes(backup), original);
    }

    void copiesLeftByKilledBackupsAreRemovedByTheNextOne()
    {
        // One left by a backup killed part-way, one that another backup is writing now (it holds its
        // lock), and files of the user's that only look alike.
        const QStringList others{".Vellaro.mdb.abc-12", ".Vellaro.mdb.notes", "Vellaro.mdb.bak", "Vellaro.mdb.q1w2e3"};
        QVERIFY(writeFile(m_target->filePath(QStringLiteral(".Vellaro.mdb.a1B2c3")), "killed part-way"));
        QVERIFY(writeFile(m_target->filePath(QStringLiteral(".Vellaro.mdb.Zz9Yy8")), "being written"));
        for (const QString& name : others)
            QVERIFY(writeFile(m_target->filePath(name), "the user's"));
        QVERIFY(QDir(m_target->path()).mkdir(QStringLiteral(".Vellaro.mdb.dir123")));
        QFile busy(m_target->filePath(QStringLiteral(".Vellaro.mdb.Zz9Yy8")));
        QVERIFY(busy.open(QIODevice::ReadOnly));
        QCOMPARE(::flock(busy.handle(), LOCK_EX), 0);

        CopyCatalogue(m_folder->cataloguePath(), m_target->filePath(QStringLiteral("Vellaro.mdb")));
        QStringList expected = others + QStringList{".Vellaro.mdb.Zz9Yy8", ".Vellaro.mdb.dir123", "Vellaro.mdb"};
        expected.sort();
        QStringList left = filesIn(m_target->path());
        left.sort();
        QCOMPARE(left, expected);
        QCOMPARE(fileBytes(m_target->filePath(QStringLiteral("Vellaro.mdb"))), fileBytes(m_folder->cataloguePath()));
    }

    void aFolderTheUserMayNotWriteIsRefused()
    {
        // The superuser writes anywhere: the copy is tried as an ordinary user, on files that user may read.
        QVERIFY(QFile::setPermissions(m_target->path(), QFile::Permissions(0x7755)));
        const QString catalogue = m_target->filePath(QStringLiteral("Vellaro-source.mdb"));
        QVERIFY(QFile::copy(m_folder->cataloguePath(), catalogue));
        QVERIFY(QFile::setPermissions(catalogue, QFile::Permissions(0x6444)));
        const QString readOnly = m_target->filePath(QStringLiteral("ReadOnly"));
        QVERIFY(QDir(m_target->path()).mkdir(QStringLiteral("ReadOnly")));
        const QString backup = readOnly + QStringLiteral("/Vellaro.mdb");
        QVERIFY(writeFile(backup, "older"));
        QVERIFY(QFile::setPermissions(readOnly, QFile::Permissions(0x5555)));
        const int result = asOrdinaryUser([&] {
            try {
                CopyCatalogue(catalogue, backup);
                return 1;
            } catch (const Failure& failure) {
                return failure.Number() == ErrorNumber::DiskError ? 0 : 2;
            }
        });
        QVERIFY(QFile::setPermissions(readOnly, QFile::Permissions(0x7700)));
        QCOMPARE(result, 0);
        QCOMPARE(fileBytes(backup), QByteArray("older"));
        QCOMPARE(filesIn(readOnly), QStringList{"Vellaro.mdb"});
    }

    void theSameFolderIsSeenThroughEverySpelling()
    {
        const QString folder = m_folder->path();
        const QString link = m_target->filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(folder, link));
        QVERIFY(QDir(m_target->path()).mkdir(QStringLiteral("other")));
        const QStringList spellings{folder, folder + u'/',
                                    folder + QStringLiteral("/../") + QFileInfo(folder).fileName(), link, link + u'/'};
        for (const QString& spelling : spellings)
            QVERIFY2(SameFileOrFolder(spelling, folder), qPrintable(spelling));
        QVERIFY(!SameFileOrFolder(m_target->filePath(QStringLiteral("other")), folder));
        QVERIFY(
            !SameFileOrFolder(m_target->filePath(QStringLiteral("gone")), m_target->filePath(QStringLiteral("gone"))));
    }

private:
    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_target;
};

int runCatalogueCopyTest(int argc, char* argv[])
{
    CatalogueCopyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CatalogueCopyTest.moc"
