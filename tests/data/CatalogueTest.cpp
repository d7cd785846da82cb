#include "data/Database.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/CatalogueTestCase.h"

#include <QFile>
#include <QTest>

#include <sqlite3.h>

namespace {

struct NameTable
{
    const char* table;
    const char* nameField;
    const char* parentField; // null for the three top-level lists
};

// clang-format off
const NameTable nameTables[] = {
    {"Categories", "Category", nullptr},     {"Subjects", "Subject", "CategoryID"},
    {"States", "State", nullptr},            {"Locations", "Location", "StateID"},
    {"StorageDevices", "StorageDevice", nullptr}, {"StorageLocations", "StorageLocation", "StorageDeviceID"},
};
// clang-format on

QString str(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

// The delivered catalogue and the rules its schema enforces.
class CatalogueTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void theDeliveredFileCannotBeReadWithoutThePassword()
    {
        QFile file(m_folder->cataloguePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(!content.startsWith("SQLite format 3"));
        QVERIFY(!content.contains("Pemaquid"));
        QVERIFY(!content.contains("CREATE TABLE"));

        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(m_folder->cataloguePath()).constData(), &raw, SQLITE_OPEN_READONLY,
                                 nullptr),
                 SQLITE_OK);
        QCOMPARE(sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr), SQLITE_NOTADB);
        sqlite3_close(raw);
    }

    void photoNumbersAreUnique()
    {
        QVERIFY_FAILURE(db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (1)")),
                        ErrorNumber::DuplicateValue);
        QVERIFY_FAILURE(db().Execute(QStringLiteral("UPDATE Photos SET PhotoID = 2 WHERE PhotoID = 1")),
                        ErrorNumber::DuplicateValue);
    }

    void namesAreUniqueWithoutRegardToCase_data()
    {
        QTest::addColumn<int>("table");
        for (int i = 0; i < int(std::size(nameTables)); ++i)
            QTest::newRow(nameTables[i].table) << i;
    }
    void namesAreUniqueWithoutRegardToCase()
    {
        QFETCH(int, table);
        const NameTable& names = nameTables[table];
        auto rs = db().OpenRecordset(TableQuery(str(names.table), str(names.nameField)), RecordsetType::Dynaset);
        const QString existing = rs->Value(str(names.nameField)).toString();
        const QVariant parent = names.parentField ? rs->Value(str(names.parentField)) : QVariant();
        rs->AddNew();
        rs->SetValue(str(names.nameField), existing.toUpper());
        if (names.parentField)
            rs->SetValue(str(names.parentField), parent);
        QVERIFY_FAILURE(rs->Update(), ErrorNumber::DuplicateValue);
        rs->SetValue(str(names.nameField), QString(existing + QStringLiteral(" (2)")));
        rs->Update();
    }

    void aParentWithChildrenIsNotDeleted_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("nameField");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("category with subjects") << "Categories" << "Category" << "Animals";
        QTest::newRow("state with locations") << "States" << "State" << "Maine";
        QTest::newRow("device with storage locations") << "StorageDevices" << "StorageDevice" << "Album";
        QTest::newRow("subject that photos use") << "Subjects" << "Subject" << "Lighthouses";
        QTest::newRow("location that photos use") << "Locations" << "Location" << "Portland";
        QTest::newRow("storage location that photos use") << "StorageLocations" << "StorageLocation" << "Box A";
        // clang-format on
    }
    void aParentWithChildrenIsNotDeleted()
    {
        QFETCH(QString, table);
        QFETCH(QString, nameField);
        QFETCH(QString, name);
        auto rs = db().OpenRecordset(TableQuery(table, nameField), RecordsetType::Dynaset);
        rs->FindFirst(Criteria::equal(nameField, name));
        QVERIFY(!rs->NoMatch());
        QVERIFY_FAILURE(rs->Delete(), ErrorNumber::RowStillReferenced);
        QCOMPARE(countRows(QString(u"SELECT * FROM " + table + u" WHERE " + nameField + u" = ?"), {name}), 1);
    }

    void unusedEntriesAreDeletedAndTheirNumbersNotReused()
    {
        db().Execute(QStringLiteral("INSERT INTO Categories (Category) VALUES ('Spare')"));
        auto rs = db().OpenRecordset(TableQuery(QStringLiteral("Categories"), QStringLiteral("Category")),
                                     RecordsetType::Dynaset);
        rs->FindFirst(Criteria::equal(QStringLiteral("Category"), QStringLiteral("spare")));
        const qlonglong spareId = rs->Value(QStringLiteral("CategoryID")).toLongLong();
        rs->Delete();
        rs->AddNew();
        rs->SetValue(QStringLiteral("Category"), QStringLiteral("Another"));
        rs->Update();
        rs->SetBookmark(rs->LastModified());
        QVERIFY(rs->Value(QStringLiteral("CategoryID")).toLongLong() > spareId);
    }

    void subjectLinksFollowTheirPhoto()
    {
        const int linksOfPhoto1 = countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1"));
        QVERIFY(linksOfPhoto1 > 0);
        auto photos =
            db().OpenRecordset(TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID")), RecordsetType::Dynaset);
        photos->Edit();
        photos->SetValue(QStringLiteral("PhotoID"), 1000);
        photos->Update();
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1")), 0);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1000")), linksOfPhoto1);

        photos->Delete();
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1000")), 0);
        // A new photo with the old number starts without subjects.
        db().Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (1000)"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1000")), 0);
        // A link to a photo or subject that does not exist is refused.
        QVERIFY_FAILURE(
            db().Execute(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (5555, 1)")),
            ErrorNumber::RelatedRowRequired);
    }

    void missingValuesAreStoredAsNull()
    {
        auto photos =
            db().OpenRecordset(TableQuery(QStringLiteral("photos"), QStringLiteral("photoid")), RecordsetType::Dynaset);
        photos->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 7));
        for (const char* field : {"LocationID", "StorageLocationId", "NumberofLabels"})
            QVERIFY2(photos->Value(str(field)).isNull(), field);
        photos->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 6));
        QVERIFY(photos->Value(QStringLiteral("DateTaken")).isNull());

        // Stored unchanged, they stay Null: nothing turns them into 0 or empty text.
        photos->Edit();
        photos->SetValue(QStringLiteral("Caption"), photos->Value(QStringLiteral("Caption")));
        photos->SetValue(QStringLiteral("DateTaken"), photos->Value(QStringLiteral("DateTaken")));
        photos->SetValue(QStringLiteral("FileName"), QVariant());
        photos->Update();
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 6 AND DateTaken IS NULL "
                                          "AND FileName IS NULL")),
                 1);

        db().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = NULL WHERE PhotoID = 6"));
        photos->Requery();
        photos->FindFirst(Criteria::numberEqual(QStringLiteral("PhotoID"), 6));
        QVERIFY(photos->Value(QStringLiteral("PrintLabel")).isNull());
    }

    void labelsKeepTheOrderInWhichTheyWereAdded()
    {
        auto labels = db().OpenRecordset(TableQuery(QStringLiteral("labels")), RecordsetType::Dynaset);
        for (const char* text : {"Zulu", " ", "alpha", "Mike"}) {
            labels->AddNew();
            labels->SetValue(QStringLiteral("Label"), str(text));
            labels->Update();
        }
        auto read = db().OpenRecordset(TableQuery(QStringLiteral("Labels")), RecordsetType::Dynaset);
        QStringList order;
        for (; !read->Eof(); read->MoveNext())
            order << read->Value(QStringLiteral("Label")).toString();
        QCOMPARE(order, (QStringList{"Zulu", " ", "alpha", "Mike"}));
    }

private:
    Database& db() { return gDB->DB(); }
};

int runCatalogueTest(int argc, char* argv[])
{
    CatalogueTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CatalogueTest.moc"
