#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/FileFaults.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>
#include <sys/stat.h>

// Opening the catalogue through the program's one connection, and every way that can fail.
class DataBaseTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_folder = std::make_unique<TestProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void theDeliveredCatalogueOpens()
    {
        cDataBase connection;
        QVERIFY_FAILURE(connection.DB(), ErrorNumber::ObjectNotSet);
        connection.setDBName(m_folder->cataloguePath());
        QCOMPARE(connection.DBName(), m_folder->cataloguePath());
        QVERIFY(connection.OpenDB());
        QCOMPARE(connection.DB().Name(), m_folder->cataloguePath());
        QVERIFY(connection.DB().OpenRecordset(QStringLiteral("SELECT * FROM Photos"))->RecordCount() >= 2);
    }

    void aMissingFileIsReportedAsNotFound()
    {
        const Failure failure = openFailure(m_folder->filePath(QStringLiteral("Missing.mdb")));
        QCOMPARE(failure.Number(), long(ErrorNumber::FileNotFound));
        QCOMPARE(failure.Source(), QStringLiteral("Database Class::Open"));
        QVERIFY(failure.Description().startsWith(QStringLiteral(" Error Opening the database.  ")));
        QVERIFY(failure.Description().contains(QStringLiteral("Missing.mdb")));
        // Opening never creates the file it looked for.
        QVERIFY(!QFile::exists(m_folder->filePath(QStringLiteral("Missing.mdb"))));
    }

    void aFileThatIsNoCatalogueCannotBeOpened_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        const QString damagedOrForeign = QStringLiteral("damaged, or it is not a Vellaro catalogue");
        QTest::newRow("text file") << "text" << damagedOrForeign;
        QTest::newRow("empty file") << "empty"
                                    << "not a Vellaro catalogue";
        QTest::newRow("database without the catalogue's tables") << "bare"
                                                                 << "not a Vellaro catalogue";
        QTest::newRow("database without encryption") << "plain"
                                                     << "without encryption";
        QTest::newRow("catalogue with another password") << "rekeyed" << damagedOrForeign;
        QTest::newRow("catalogue with a damaged first page") << "damaged" << damagedOrForeign;
        QTest::newRow("folder") << "folder"
                                << "not a file";
    }
    void aFileThatIsNoCatalogueCannotBeOpened()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QString path = m_folder->filePath(QStringLiteral("Other.mdb"));
        if (kind == u"text") {
            writeFile(path, "These are my holiday notes, not a catalogue.\n");
        } else if (kind == u"empty") {
            writeFile(path, "");
        } else if (kind == u"bare") {
            auto bare = Database::CreateDatabase(path, cDataBase::ConnectString());
            bare->Execute(QStringLiteral("CREATE TABLE Notes (Note TEXT)"));
        } else if (kind == u"plain") {
            sqlite3* raw = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &raw);
            QCOMPARE(sqlite3_exec(raw, "CREATE TABLE Photos (PhotoID INTEGER)", nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(raw);
        } else if (kind == u"rekeyed") {
            QVERIFY(QFile::copy(m_folder->cataloguePath(), path));
            sqlite3* raw = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &raw);
            const QByteArray password = cDataBase::ConnectString().mid(5).toUtf8();
            sqlite3_key(raw, password.constData(), int(password.size()));
            QCOMPARE(
                sqlite3_exec(raw, "PRAGMA cipher_page_size = 4096; PRAGMA rekey = 'other'", nullptr, nullptr, nullptr),
                SQLITE_OK);
            sqlite3_close(raw);
        } else if (kind == u"damaged") {
            QVERIFY(QFile::copy(m_folder->cataloguePath(), path));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            // The schema's page, past the salt that opens it.
            file.seek(1000);
            file.write(QByteArray(64, char(0xa5)));
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        const QByteArray before = fileBytes(path);
        const Failure failure = openFailure(path);
        QCOMPARE(failure.Number(), long(ErrorNumber::CannotOpenFile));
        QCOMPARE(failure.Source(), QStringLiteral("Database Class::Open"));
        QVERIFY(failure.Description().startsWith(QStringLiteral(" Error Opening the database.  ")));
        QVERIFY2(failure.Description().contains(reason), qPrintable(failure.Description()));
        QVERIFY(fileBytes(path) == before);
    }

    void aDamagedCatalogueIsReadAsFarAsItCanBeAndNeverWritten()
    {
        const QString path = m_folder->cataloguePath();
        growCatalogue(path, 3000);
        damagePages(path, 0.3, 0.7);
        const QByteArray damaged = fileBytes(path);

        // The schema and the first photos are whole: the catalogue opens and they can be read.
        m_folder->openCatalogue();
        Database& db = gDB->DB();
        auto first = db.OpenRecordset(
            TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID")).where(QStringLiteral("PhotoID < ?"), {10}),
            RecordsetType::Dynaset);
        QCOMPARE(first->RecordCount(), 7);

        {
            // A change made before the damage shows is undone with its unit, and writes nothing.
            Transaction work(db);
            db.Execute(QStringLiteral("UPDATE Photos SET Caption = ? WHERE PhotoID = 1"), {u"Before"_qs});
            const auto failure = failureOf([&] { db.OpenRecordset(QStringLiteral("SELECT * FROM Photos")); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), long(ErrorNumber::CatalogueDamaged));
            QVERIFY(failure->Description().contains(QStringLiteral("damaged")));
            QVERIFY(failure->Description().contains(QStringLiteral("backup")));
            QVERIFY_FAILURE(work.commit(), ErrorNumber::CatalogueDamaged);
        }

        // From then on nothing is written, however it is asked for.
        QVERIFY_FAILURE(db.Execute(QStringLiteral("UPDATE Photos SET Caption = ? WHERE PhotoID = 1"), {u"x"_qs}),
                        ErrorNumber::CatalogueDamaged);
        first->Edit();
        first->SetValue(QStringLiteral("Caption"), QStringLiteral("Changed"));
        QVERIFY_FAILURE(first->Update(), ErrorNumber::CatalogueDamaged);
        first->AddNew();
        first->SetValue(QStringLiteral("PhotoID"), 20);
        QVERIFY_FAILURE(first->Update(), ErrorNumber::CatalogueDamaged);
        QVERIFY_FAILURE(first->Delete(), ErrorNumber::CatalogueDamaged);
        QVERIFY_FAILURE(db.Execute(QStringLiteral("DELETE FROM Labels")), ErrorNumber::CatalogueDamaged);
        QCOMPARE(first->RecordCount(), 7);
        first->MoveFirst();
        QCOMPARE(first->Value(QStringLiteral("PhotoID")).toInt(), 1);

        gDB.reset();
        QVERIFY(fileBytes(path) == damaged);
    }

    void aCatalogueHeldByAnotherProgramCannotBeOpened()
    {
        sqlite3* other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(m_folder->cataloguePath()).constData(), &other), SQLITE_OK);
        const QByteArray password = cDataBase::ConnectString().mid(5).toUtf8();
        sqlite3_key(other, password.constData(), int(password.size()));
        QCOMPARE(sqlite3_exec(other,
                              "PRAGMA cipher_page_size = 4096; PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
                              "SELECT count(*) FROM Photos",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);

        const Failure failure = openFailure(m_folder->cataloguePath());
        QCOMPARE(failure.Number(), long(ErrorNumber::CannotOpenFile));
        QVERIFY(failure.Description().contains(QStringLiteral("another program")));

        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        cDataBase connection;
        connection.setDBName(m_folder->cataloguePath());
        QVERIFY(connection.OpenDB());
    }

    void aCatalogueThatCannotBeReadOrWrittenIsRefused_data()
    {
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::newRow("unreadable file") << 0000 << 0777;
        QTest::newRow("read-only file") << 0444 << 0777;
        QTest::newRow("read-only folder, where no journal can be made") << 0666 << 0555;
    }
    void aCatalogueThatCannotBeReadOrWrittenIsRefused()
    {
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        const QByteArray file = QFile::encodeName(m_folder->cataloguePath());
        const QByteArray folder = QFile::encodeName(m_folder->path());
        QCOMPARE(chmod(file.constData(), mode_t(fileMode)), 0);
        QCOMPARE(chmod(folder.constData(), mode_t(folderMode)), 0);
        const int refusal = asOrdinaryUser([&] { return int(openFailure(m_folder->cataloguePath()).Number() - 3000); });
        chmod(folder.constData(), 0700);
        chmod(file.constData(), 0600);
        QCOMPARE(refusal, int(ErrorNumber::CannotOpenFile - 3000));
    }

private:
    static Failure openFailure(const QString& path)
    {
        cDataBase connection;
        connection.setDBName(path);
        try {
            connection.OpenDB();
        } catch (const Failure& failure) {
            return failure;
        }
        return Failure(0, QStringLiteral("test"), QStringLiteral("the file was opened"));
    }

    std::unique_ptr<TestProgramFolder> m_folder;
};

int runDataBaseTest(int argc, char* argv[])
{
    DataBaseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DataBaseTest.moc"
