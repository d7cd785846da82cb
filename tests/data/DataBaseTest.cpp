#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>
#include <unistd.h>

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
        QTest::newRow("text file") << "text";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("database without the catalogue's tables") << "bare";
        QTest::newRow("catalogue with another password") << "rekeyed";
        QTest::newRow("folder") << "folder";
    }
    void aFileThatIsNoCatalogueCannotBeOpened()
    {
        QFETCH(QString, kind);
        const QString path = m_folder->filePath(QStringLiteral("Other.mdb"));
        if (kind == u"text") {
            writeFile(path, "These are my holiday notes, not a catalogue.\n");
        } else if (kind == u"empty") {
            writeFile(path, "");
        } else if (kind == u"bare") {
            auto bare = Database::CreateDatabase(path, cDataBase::ConnectString());
            bare->Execute(QStringLiteral("CREATE TABLE Notes (Note TEXT)"));
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
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        const Failure failure = openFailure(path);
        QCOMPARE(failure.Number(), long(ErrorNumber::CannotOpenFile));
        QCOMPARE(failure.Source(), QStringLiteral("Database Class::Open"));
        QVERIFY(failure.Description().startsWith(QStringLiteral(" Error Opening the database.  ")));
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

    void anUnreadableFileCannotBeOpened()
    {
        if (geteuid() == 0)
            QSKIP("the superuser reads every file");
        QFile::setPermissions(m_folder->cataloguePath(), QFileDevice::Permissions());
        QCOMPARE(openFailure(m_folder->cataloguePath()).Number(), long(ErrorNumber::CannotOpenFile));
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

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    std::unique_ptr<TestProgramFolder> m_folder;
};

int runDataBaseTest(int argc, char* argv[])
{
    DataBaseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DataBaseTest.moc"
