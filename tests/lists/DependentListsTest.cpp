#include "data/cDataBase.h"
#include "lists/cLocations.h"
#include "lists/cStorageLocations.h"
#include "lists/cSubjects.h"
#include "support/Assertions.h"
#include "support/CatalogueTestCase.h"
#include "ListTestSupport.h"

#include <QTest>

#include <array>
#include <optional>

namespace {

// What tells the three dependent lists apart in these tests, with names from the sample catalogue.
struct Dependent
{
    QString table;
    QString nameField;
    QString idField;
    QString parentTable;
    QString parentNameField;
    QString parentIdField;
    QString parent;      // a parent with several children
    QString otherParent; // and another one
    QString found;       // a child of parent and its 1-based place in the whole list
    int foundPosition;
    QString middle; // a new child of parent, the row after it and that row's place once it is deleted
    QString afterMiddle;
    int afterMiddlePosition;
    QString last; // a new child of parent sorting last, the row before it and that row's place
    QString beforeLast;
    int beforeLastPosition;
    QString used;         // a child of parent that photos use
    QString freeRows;     // leaves every row of the list unused
    QString deleteSource; // the source Delete gives its failures; empty: the engine's own
    QString classSource;  // the source of failures of saving
    bool raisesRecordNumber;
    bool parentIdIsSixteenBit;
};

const std::vector<Dependent>& dependents()
{
    // clang-format off
    static const std::vector<Dependent> lists{
        {"Subjects", "Subject", "SubjectID", "Categories", "Category", "CategoryID",
         "Nature", "Animals", "Lighthouses", 8, "Lagoons", "Lakes", 7, "Woodlands", "Weddings", 12,
         "Sunsets", "DELETE FROM PhotosSubjects", "Subjects", "Class Subjects", true, true},
        {"Locations", "Location", "LocationID", "States", "State", "StateID",
         "Maine", "California", "Portland", 6, "Camden", "Duluth", 3, "York", "San Francisco", 7,
         "Pemaquid Point", "UPDATE Photos SET LocationID = NULL", "", "Class Locations", false, false},
        {"StorageLocations", "StorageLocation", "StorageLocationID", "StorageDevices", "StorageDevice", "StorageDeviceID",
         "Negative Box", "Album", "Box B", 4, "Box C", "Disc 2004-1", 5, "Zip Disk 1", "Disc 2004-1", 5,
         "Box A", "UPDATE Photos SET StorageLocationID = NULL", "Storage Locations", "Class StorageLocations", true,
         false},
    };
    // clang-format on
    return lists;
}

// The members whose names differ between the three lists.
// clang-format off
QString& nameOf(cSubjects& list) { return list.Subject().Subject; }
QString& nameOf(cLocations& list) { return list.Location().Location; }
QString& nameOf(cStorageLocations& list) { return list.StorageLocation().StorageLocation; }
QString& idOf(cSubjects& list) { return list.Subject().SubjectID; }
QString& idOf(cLocations& list) { return list.Location().LocationID; }
QString& idOf(cStorageLocations& list) { return list.StorageLocation().StorageLocationID; }
QString& parentIdOf(cSubjects& list) { return list.Subject().CategoryID; }
QString& parentIdOf(cLocations& list) { return list.Location().StateID; }
QString& parentIdOf(cStorageLocations& list) { return list.StorageLocation().StorageDeviceID; }
bool findByNames(cSubjects& list, const QString& parent, const QString& name) { return list.FindFirstSubject(parent, name); }
bool findByNames(cLocations& list, const QString& parent, const QString& name) { return list.FindFirstLocation(parent, name); }
bool findByNames(cStorageLocations& list, const QString& parent, const QString& name) { return list.FindFirstStorageLocation(parent, name); }
// clang-format on

template <typename Body> void withList(int which, Body&& body)
{
    withListNumber<cSubjects, cLocations, cStorageLocations>(which, body);
}

} // namespace

// Subjects, locations and storage locations: found and deleted by their parent's name and their own,
// looked up by id.
class DependentListsTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void init()
    {
        openFreshCatalogue();
        m_events.clear();
    }

    void findsAndDeletesTakeTheParentsNameAndTheirOwnAsTheyStand_data() { addLists(); }
    void findsAndDeletesTakeTheParentsNameAndTheirOwnAsTheyStand()
    {
        QFETCH(int, list);
        const Dependent& info = dependents()[list];
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            QVERIFY(findByNames(rows, info.parent.toUpper(), info.found.toLower()));
            QCOMPARE(nameOf(rows), info.found);
            QCOMPARE(idOf(rows), idOfChild(info, info.found));
            QCOMPARE(parentIdOf(rows), idOfParent(info, info.parent));
            QCOMPARE(m_events, recordNumber(info, info.foundPosition));

            // The same name under another parent is not there; the row stays.
            m_events.clear();
            QVERIFY(!findByNames(rows, info.otherParent, info.found));
            QVERIFY(m_events.isEmpty());
            QCOMPARE(nameOf(rows), info.found);

            QVERIFY_FAILURE(findByNames(rows, QStringLiteral("Atlantis"), info.found), ErrorNumber::TypeMismatch);
        });

        // Names with quotes and backslashes are found and deleted as they stand.
        const QString parent = QStringLiteral(R"(Dad's "Best" \ Things)");
        const QString child = QStringLiteral(R"(O'Hara's "Den" \ 2)");
        db().Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(info.parentTable, info.parentNameField),
                     {parent});
        addChild(info, parent, child);
        withList(list, [&](auto& rows) {
            QVERIFY(findByNames(rows, parent, child));
            QCOMPARE(nameOf(rows), child);
            rows.GoFirst();
            rows.Delete(parent, child);
        });
        QCOMPARE(idOfChild(info, child), QString());
    }

    void deleteTakesOnlyTheNamedChildOfTheNamedParentAndRefusesOneInUse_data() { addLists(); }
    void deleteTakesOnlyTheNamedChildOfTheNamedParentAndRefusesOneInUse()
    {
        QFETCH(int, list);
        const Dependent& info = dependents()[list];
        const int sampleRows = rowCount(info);
        addChild(info, info.parent, info.middle);
        addChild(info, info.parent, info.last);
        withList(list, [&](auto& rows) {
            // A row still in use, or a parent that is no name of a parent, is refused.
            auto failure = failureOf([&] { rows.Delete(info.parent, info.used); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), ErrorNumber::RowStillReferenced);
            QCOMPARE(failure->Source(), info.deleteSource);
            failure = failureOf([&] { rows.Delete(QStringLiteral("Atlantis"), info.used); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), ErrorNumber::TypeMismatch);
            QCOMPARE(failure->Source(), info.deleteSource);
            QVERIFY(!idOfChild(info, info.used).isEmpty());

            recordEvents(rows, m_events);
            rows.GoFirst();
            m_events.clear();
            rows.Delete(info.otherParent, info.middle);
            rows.Delete(info.parent, QStringLiteral("Atlantis"));
            QCOMPARE(rowCount(info), sampleRows + 2);
            QVERIFY(m_events.isEmpty());

            rows.Delete(info.parent, info.middle.toUpper());
            QCOMPARE(idOfChild(info, info.middle), QString());
            QCOMPARE(nameOf(rows), info.afterMiddle);
            QCOMPARE(m_events, recordNumber(info, info.afterMiddlePosition));

            m_events.clear();
            rows.Delete(info.parent, info.last);
            QCOMPARE(idOfChild(info, info.last), QString());
            QCOMPARE(nameOf(rows), info.beforeLast);
            QCOMPARE(m_events, recordNumber(info, info.beforeLastPosition));
        });
        QCOMPARE(rowCount(info), sampleRows);
        QVERIFY(m_folder->messages().shown().empty());
    }

    void deletingTheTablesLastRowEndsQuietly_data() { addLists(); }
    void deletingTheTablesLastRowEndsQuietly()
    {
        QFETCH(int, list);
        const Dependent& info = dependents()[list];
        db().Execute(info.freeRows);
        db().Execute(QStringLiteral("DELETE FROM %1 WHERE %2 <> ?").arg(info.table, info.nameField), {info.found});
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            rows.GoFirst();
            m_events.clear();
            QVERIFY(!failureOf([&] { rows.Delete(info.parent, info.found); }));
            QCOMPARE(rowCount(info), 0);
            QVERIFY(m_events.isEmpty());
            QVERIFY_FAILURE(rows.GoFirst(), ErrorNumber::NoCurrentRecord);
        });
        QVERIFY(m_folder->messages().shown().empty());
    }

    void onlySubjectsRefuseParentIdsAboveSixteenBits_data() { addLists(); }
    void onlySubjectsRefuseParentIdsAboveSixteenBits()
    {
        QFETCH(int, list);
        const Dependent& info = dependents()[list];
        db().Execute(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (40000, 'Archive')")
                         .arg(info.parentTable, info.parentIdField, info.parentNameField));
        addChild(info, QStringLiteral("Archive"), QStringLiteral("Old Prints"));
        withList(list, [&](auto& rows) {
            const auto found = failureOf([&] { QVERIFY(findByNames(rows, "Archive", "Old Prints")); });
            const auto deleted = failureOf([&] { rows.Delete("Archive", "Old Prints"); });
            if (info.parentIdIsSixteenBit) {
                QVERIFY(found && deleted);
                QCOMPARE(found->Number(), ErrorNumber::Overflow);
                QCOMPARE(deleted->Number(), ErrorNumber::Overflow);
                QCOMPARE(deleted->Source(), info.deleteSource);
            } else {
                QVERIFY(!found && !deleted);
            }
        });
        QCOMPARE(idOfChild(info, QStringLiteral("Old Prints")).isEmpty(), !info.parentIdIsSixteenBit);
    }

    void savingAnAddedChildLeavesItsIdEmpty_data() { addLists(); }
    void savingAnAddedChildLeavesItsIdEmpty()
    {
        QFETCH(int, list);
        const Dependent& info = dependents()[list];
        const QString parentId = idOfParent(info, info.parent);
        withList(list, [&](auto& rows) {
            rows.GoFirst();
            rows.Add();
            parentIdOf(rows) = parentId;
            nameOf(rows) = info.middle;
            rows.setIsDirty(true);
            rows.Save();
            QVERIFY(!rows.IsDirty());
            QCOMPARE(idOf(rows), QString());
            QCOMPARE(parentIdOf(rows), parentId);

            rows.Add();
            parentIdOf(rows) = parentId;
            nameOf(rows) = info.used.toLower();
            rows.setIsDirty(true);
            const auto failure = failureOf([&] { rows.Save(); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), ErrorNumber::DuplicateValue);
            QCOMPARE(failure->Source(), info.classSource);
            QVERIFY(rows.IsDirty());
        });
        auto saved = db().OpenRecordset(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(info.parentIdField, info.table, info.nameField),
            {info.middle});
        QCOMPARE(saved->RecordCount(), 1);
        QCOMPARE(saved->Value(info.parentIdField).toString(), parentId);
    }

    void lookupsByIdGiveTheNamesOrEmptyText()
    {
        const Dependent& subjects = dependents()[0];
        const Dependent& locations = dependents()[1];
        const Dependent& storage = dependents()[2];
        cSubjects subjectList;
        QCOMPARE(subjectList.GetSubject(idOfChild(subjects, QStringLiteral("Birds"))), QStringLiteral("Birds"));
        QCOMPARE(subjectList.GetSubject(QStringLiteral("987654")), QStringLiteral("False"));

        cLocations locationList;
        const std::int32_t portland = idOfChild(locations, QStringLiteral("Portland")).toInt();
        QCOMPARE(locationList.GetState(portland), QStringLiteral("Maine"));
        QCOMPARE(locationList.GetLocation(portland), QStringLiteral("Portland"));
        // -1 stands for a photo without a location.
        QCOMPARE(locationList.GetState(-1), QString());
        QCOMPARE(locationList.GetLocation(-1), QString());

        cStorageLocations storageList;
        const std::int32_t boxA = idOfChild(storage, QStringLiteral("Box A")).toInt();
        QCOMPARE(storageList.GetStorageDevice(boxA), QStringLiteral("Negative Box"));
        QCOMPARE(storageList.GetStorageLocation(boxA), QStringLiteral("Box A"));
        QCOMPARE(storageList.GetStorageDevice(-1), QString());
        QCOMPARE(storageList.GetStorageLocation(-1), QString());

        QVERIFY(m_folder->messages().shown().empty());
    }

    void subjectIdLookupMakesTheSubjectCurrent()
    {
        cSubjects list;
        recordEvents(list, m_events);
        list.GoLast();
        m_events.clear();
        QVERIFY(!list.GetSubjectID(QStringLiteral("Volcanoes")));
        QVERIFY(m_events.isEmpty());
        QCOMPARE(list.Subject().Subject, QStringLiteral("Weddings"));

        QVERIFY(list.GetSubjectID(QStringLiteral("MOUNTAINS")));
        QCOMPARE(list.Subject().Subject, QStringLiteral("Mountains"));
        QCOMPARE(list.Subject().SubjectID, idOfChild(dependents()[0], QStringLiteral("Mountains")));
        QCOMPARE(m_events, QStringList{QStringLiteral("RecordNumber 9")});
        list.GoNext();
        QCOMPARE(list.Subject().Subject, QStringLiteral("Road Trips"));
    }

    void storageLocationFindNextLooksAfterTheCurrentRow()
    {
        cStorageLocations list;
        recordEvents(list, m_events);
        list.GoFirst();
        m_events.clear();
        QVERIFY(list.FindStorageLocation(QStringLiteral("StorageLocation"), QStringLiteral("box b")));
        QCOMPARE(list.StorageLocation().StorageLocation, QStringLiteral("Box B"));
        QCOMPARE(m_events, QStringList{QStringLiteral("RecordNumber 4")});
        QVERIFY(!list.FindStorageLocation(QStringLiteral("StorageLocation"), QStringLiteral("Album 1 - Coast")));
        QCOMPARE(list.StorageLocation().StorageLocation, QStringLiteral("Box B"));
        list.GoNext();
        QCOMPARE(list.StorageLocation().StorageLocation, QStringLiteral("Disc 2004-1"));
    }

private:
    static void addLists()
    {
        QTest::addColumn<int>("list");
        for (int i = 0; i < int(dependents().size()); ++i)
            QTest::newRow(qPrintable(dependents()[size_t(i)].table)) << i;
    }

    static QStringList recordNumber(const Dependent& info, int position)
    {
        if (!info.raisesRecordNumber)
            return {};
        return {QStringLiteral("RecordNumber %1").arg(position)};
    }

    Database& db() { return gDB->DB(); }

    void addChild(const Dependent& info, const QString& parent, const QString& name)
    {
        db().Execute(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT %2, ? FROM %4 WHERE %5 = ?")
                         .arg(info.table, info.parentIdField, info.nameField, info.parentTable, info.parentNameField),
                     {name, parent});
    }

    int rowCount(const Dependent& info)
    {
        return int(db().OpenRecordset(QStringLiteral("SELECT * FROM ") + info.table)->RecordCount());
    }

    QString idOfChild(const Dependent& info, const QString& name)
    {
        return idByName(info.table, info.idField, info.nameField, name);
    }
    QString idOfParent(const Dependent& info, const QString& name)
    {
        return idByName(info.parentTable, info.parentIdField, info.parentNameField, name);
    }
    QString idByName(const QString& table, const QString& idField, const QString& nameField, const QString& name)
    {
        auto row = db().OpenRecordset(
            QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? COLLATE BINARY").arg(idField, table, nameField), {name});
        return row->Eof() ? QString() : row->Value(idField).toString();
    }

    QStringList m_events;
};

int runDependentListsTest(int argc, char* argv[])
{
    DependentListsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DependentListsTest.moc"
