#include "data/cDataBase.h"
#include "lists/cCategories.h"
#include "lists/cStates.h"
#include "lists/cStorageDevices.h"
#include "support/Assertions.h"
#include "support/CatalogueTestCase.h"
#include "ListTestSupport.h"

#include <QTest>

#include <array>
#include <optional>

namespace {

// What tells the three top-level lists apart in these tests, with names from the sample catalogue.
struct TopLevel
{
    QString table;
    QString nameField;
    QString idField;
    QStringList sample; // the sample's names in name order
    QString freeRows;   // leaves every row of the list unused
    QString newFirst;   // names that sort before, between and after the sample's
    QString newMiddle;  // (after the first sample name)
    QString newLast;
    QString requirement;  // the refusal to delete the only row
    QString deleteSource; // failures of Delete
    QString classSource;  // failures of creating and saving
    bool raisesFound;
};

const std::vector<TopLevel>& topLevels()
{
    // clang-format off
    static const std::vector<TopLevel> lists{
        {"Categories", "Category", "CategoryID", {"Animals", "Family", "Nature", "Travel"},
         "DELETE FROM PhotosSubjects; DELETE FROM Subjects;", "Aircraft", "Bridges", "Woodwork",
         " requires at least one Category.", "Categories", "Class Categories", true},
        {"States", "State", "StateID", {"California", "Maine", "Minnesota"},
         "UPDATE Photos SET LocationID = NULL; DELETE FROM Locations;", "Alaska", "Florida", "Wyoming",
         " requires at least one State.", "States", "Class States", true},
        {"StorageDevices", "StorageDevice", "StorageDeviceID", {"Album", "CD-ROM", "Negative Box"},
         "UPDATE Photos SET StorageLocationID = NULL; DELETE FROM StorageLocations;", "Albert's Box", "Binder",
         "Shoebox", " requires at least one Storage Device.", "StorageDevices", "Class StorageDevices", false},
    };
    // clang-format on
    return lists;
}

// The members whose names differ between the three lists.
// clang-format off
QString& nameOf(cCategories& list) { return list.Category().Category; }
QString& nameOf(cStates& list) { return list.State().State; }
QString& nameOf(cStorageDevices& list) { return list.StorageDevice().StorageDevice; }
QString& idOf(cCategories& list) { return list.Category().CategoryID; }
QString& idOf(cStates& list) { return list.State().StateID; }
QString& idOf(cStorageDevices& list) { return list.StorageDevice().StorageDeviceID; }
bool findFirst(cCategories& list, const QString& field, const QString& value) { return list.FindFirstCategory(field, value); }
bool findFirst(cStates& list, const QString& field, const QString& value) { return list.FindFirstState(field, value); }
bool findFirst(cStorageDevices& list, const QString& field, const QString& value) { return list.FindFirstStorageDevice(field, value); }
bool findNext(cCategories& list, const QString& field, const QString& value) { return list.FindCategory(field, value); }
bool findNext(cStates& list, const QString& field, const QString& value) { return list.FindState(field, value); }
QString idOfName(cCategories& list, const QString& name) { return list.GetCategoryID(name); }
QString idOfName(cStates& list, const QString& name) { return list.GetStateID(name); }
QString idOfName(cStorageDevices& list, const QString& name) { return list.GetStorageDeviceID(name); }
// clang-format on

template <typename Body> void withList(int which, Body&& body)
{
    withListNumber<cCategories, cStates, cStorageDevices>(which, body);
}

// A name that sorts last and holds a double quote, an apostrophe and a backslash.
const QString zachsShots = QStringLiteral(R"(Zach's "Best" \ Shots)");

} // namespace

// The categories, states and storage devices: moves, the rule that one row always remains, finds,
// lookups of ids by name, and saving.
class TopLevelListsTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void init()
    {
        openFreshCatalogue();
        m_events.clear();
    }

    void movesStopAtEitherEndAndReportThePosition_data() { addLists(); }
    void movesStopAtEitherEndAndReportThePosition()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        const QStringList& names = info.sample;
        const QString last = QString::number(names.size());
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            // Nothing is read before the first move.
            QVERIFY(nameOf(rows).isEmpty());
            QStringList seen;
            rows.GoFirst();
            seen << nameOf(rows);
            rows.GoPrevious();
            seen << nameOf(rows);
            rows.GoNext();
            seen << nameOf(rows);
            rows.GoLast();
            seen << nameOf(rows);
            rows.GoNext();
            seen << nameOf(rows);
            rows.GoPrevious();
            seen << nameOf(rows);
            QCOMPARE(seen,
                     (QStringList{names[0], names[0], names[1], names.last(), names.last(), names[names.size() - 2]}));
            const QString beforeLast = QString::number(names.size() - 1);
            QCOMPARE(m_events,
                     (QStringList{"RecordNumber 1", "RecordNumber 1", "RecordNumber 2", "RecordNumber " + last,
                                  "RecordNumber " + last, "RecordNumber " + beforeLast}));
        });
    }

    void theOnlyRemainingRowIsNeverDeleted_data() { addLists(); }
    void theOnlyRemainingRowIsNeverDeleted()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        db().ExecuteScript(info.freeRows);
        db().Execute(QStringLiteral("DELETE FROM %1 WHERE %2 NOT IN (?, ?)").arg(info.table, info.nameField),
                     {info.sample[1], info.sample[2]});
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            rows.GoFirst();
            // With two rows left, the first may still go.
            rows.Delete();
            QCOMPARE(nameOf(rows), info.sample[2]);
            QCOMPARE(m_events.last(), QStringLiteral("RecordNumber 1"));
            m_events.clear();

            rows.Delete();
            QCOMPARE(m_folder->messages().shown().size(), size_t(1));
            const auto& shown = m_folder->messages().shown().front();
            QCOMPARE(shown.text, QStringLiteral("Vellaro") + info.requirement +
                                     QStringLiteral("\rPlease add a new one before deleteing this one."));
            QCOMPARE(shown.title, QStringLiteral("Vellaro"));
            QCOMPARE(shown.buttons, MsgButtons::OK);
            QCOMPARE(shown.icon, MsgIcon::None);
            QVERIFY(m_events.isEmpty());
            QCOMPARE(rowCount(info), 1);
            QCOMPARE(nameOf(rows), info.sample[2]);
            // The row stays current: the next move finds it.
            rows.GoNext();
            QCOMPARE(nameOf(rows), info.sample[2]);
        });
    }

    void deletingMakesTheNeighbouringRowCurrentAndRefusesARowInUse_data() { addLists(); }
    void deletingMakesTheNeighbouringRowCurrentAndRefusesARowInUse()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        for (const QString& name : {info.newFirst, info.newLast})
            addRow(info, name);
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            rows.GoFirst();
            QCOMPARE(nameOf(rows), info.newFirst);
            m_events.clear();
            rows.Delete();
            QCOMPARE(nameOf(rows), info.sample.first());
            QCOMPARE(m_events, QStringList{QStringLiteral("RecordNumber 1")});

            // A row still in use is refused and stays current.
            const auto failure = failureOf([&] { rows.Delete(); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), ErrorNumber::RowStillReferenced);
            QCOMPARE(failure->Source(), info.deleteSource);
            QCOMPARE(nameOf(rows), info.sample[0]);
            rows.GoNext();
            QCOMPARE(nameOf(rows), info.sample[1]);

            rows.GoLast();
            QCOMPARE(nameOf(rows), info.newLast);
            m_events.clear();
            rows.Delete();
            QCOMPARE(nameOf(rows), info.sample.last());
            QCOMPARE(m_events, QStringList{QStringLiteral("RecordNumber %1").arg(info.sample.size())});
        });
        QCOMPARE(rowCount(info), int(info.sample.size()));
        QVERIFY(m_folder->messages().shown().empty());
    }

    void findsAndIdLookupsIgnoreCapitalsAndTakeNamesAsTheyAre_data() { addLists(); }
    void findsAndIdLookupsIgnoreCapitalsAndTakeNamesAsTheyAre()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        addRow(info, zachsShots);
        const QStringList found =
            info.raisesFound ? QStringList{"RecordNumber 2", "Found"} : QStringList{"RecordNumber 2"};
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            rows.GoLast();
            m_events.clear();
            QVERIFY(findFirst(rows, info.nameField.toLower(), info.sample[1].toUpper()));
            QCOMPARE(nameOf(rows), info.sample[1]);
            QCOMPARE(m_events, found);

            // A miss raises nothing and leaves the row where it was.
            m_events.clear();
            QVERIFY(!findFirst(rows, info.nameField, QStringLiteral("Atlantis")));
            QVERIFY(m_events.isEmpty());
            QCOMPARE(nameOf(rows), info.sample[1]);
            rows.GoNext();
            QCOMPARE(nameOf(rows), info.sample[2]);

            QVERIFY(findFirst(rows, info.nameField, zachsShots));
            QCOMPARE(nameOf(rows), zachsShots);
            QCOMPARE(idOf(rows), idInCatalogue(info, zachsShots));

            QVERIFY_FAILURE(findFirst(rows, QStringLiteral("Colour"), QStringLiteral("Red")),
                            ErrorNumber::UnknownCriteriaField);

            // Looking up an id by name makes the row current; an unknown name moves nothing.
            rows.GoLast();
            const QString lastName = nameOf(rows);
            m_events.clear();
            QCOMPARE(idOfName(rows, QStringLiteral("Atlantis")), QString());
            QVERIFY(m_events.isEmpty());
            QCOMPARE(nameOf(rows), lastName);
            rows.GoPrevious();
            QVERIFY(nameOf(rows) != lastName);

            m_events.clear();
            const QString id = idOfName(rows, info.sample[0].toUpper());
            QCOMPARE(id, idInCatalogue(info, info.sample[0]));
            QCOMPARE(idOf(rows), id);
            QCOMPARE(nameOf(rows), info.sample[0]);
            QCOMPARE(m_events,
                     (info.raisesFound ? QStringList{"RecordNumber 1", "Found"} : QStringList{"RecordNumber 1"}));

            QCOMPARE(idOfName(rows, zachsShots), idInCatalogue(info, zachsShots));
        });
    }

    void findNextLooksOnlyAfterTheCurrentRow()
    {
        // Only categories and states have this find; both raise Found.
        checkFindNext<cCategories>(topLevels()[0]);
        checkFindNext<cStates>(topLevels()[1]);
    }

    void saveWritesOnlyWhenDirtyAndReadsBackTheNewId_data() { addLists(); }
    void saveWritesOnlyWhenDirtyAndReadsBackTheNewId()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        withList(list, [&](auto& rows) {
            recordEvents(rows, m_events);
            rows.GoFirst();
            rows.Add();
            QVERIFY(nameOf(rows).isEmpty() && idOf(rows).isEmpty());
            nameOf(rows) = info.newMiddle;
            rows.Save(); // not dirty: nothing is written
            QCOMPARE(idInCatalogue(info, info.newMiddle), QString());
            rows.setIsDirty(true);
            m_events.clear();
            rows.Save();
            QVERIFY(!rows.IsDirty());
            const QString id = idInCatalogue(info, info.newMiddle);
            QVERIFY(!id.isEmpty());
            QCOMPARE(idOf(rows), id);
            // The new row is current, in its place in name order.
            QCOMPARE(m_events, QStringList{QStringLiteral("RecordNumber 2")});
            rows.GoPrevious();
            QCOMPARE(nameOf(rows), info.sample[0]);

            rows.GoNext();
            rows.Edit();
            nameOf(rows) = info.newLast;
            rows.Save();
            rows.GoFirst(); // abandons the change that was never marked dirty
            QCOMPARE(idInCatalogue(info, info.newLast), QString());
            rows.GoNext();
            rows.Edit();
            nameOf(rows) = info.newLast;
            rows.setIsDirty(true);
            rows.Save();
            QCOMPARE(idInCatalogue(info, info.newLast), id);
            QCOMPARE(idInCatalogue(info, info.newMiddle), QString());
        });
        QCOMPARE(rowCount(info), int(info.sample.size()) + 1);
    }

    void aNameAlreadyInUseIsNotSavedNorLeftPending_data() { addLists(); }
    void aNameAlreadyInUseIsNotSavedNorLeftPending()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        withList(list, [&](auto& rows) {
            rows.GoFirst();
            rows.Add();
            nameOf(rows) = info.sample[1].toUpper();
            rows.setIsDirty(true);
            const auto failure = failureOf([&] { rows.Save(); });
            QVERIFY(failure);
            QCOMPARE(failure->Number(), ErrorNumber::DuplicateValue);
            QCOMPARE(failure->Source(), info.classSource);
            QVERIFY(rows.IsDirty());
            QCOMPARE(rowCount(info), int(info.sample.size()));

            // The new row is still pending: a corrected name is saved.
            nameOf(rows) = info.newMiddle;
            rows.Save();
            QVERIFY(!rows.IsDirty());
            QCOMPARE(idOf(rows), idInCatalogue(info, info.newMiddle));

            // A failed save abandoned leaves nothing for a later save to store.
            rows.Add();
            nameOf(rows) = info.sample[0];
            rows.setIsDirty(true);
            QVERIFY(failureOf([&] { rows.Save(); }));
            rows.CancelUpdate();
            QVERIFY(!rows.IsDirty());
            rows.setIsDirty(true);
            const auto nothingPending = failureOf([&] { rows.Save(); });
            QVERIFY(nothingPending);
            QCOMPARE(nothingPending->Number(), ErrorNumber::UpdateWithoutAddOrEdit);
            rows.CancelUpdate();
        });
        QCOMPARE(rowCount(info), int(info.sample.size()) + 1);
    }

    void aListWhoseTableCannotBeOpenedNamesItsClass_data() { addLists(); }
    void aListWhoseTableCannotBeOpenedNamesItsClass()
    {
        QFETCH(int, list);
        const TopLevel& info = topLevels()[list];
        db().Execute(QStringLiteral("ALTER TABLE %1 RENAME TO Former%1").arg(info.table));
        const auto failure = failureOf([&] { withList(list, [](auto&) {}); });
        QVERIFY(failure);
        QCOMPARE(failure->Number(), -2147218992L);
        QCOMPARE(failure->Source(), info.classSource);
        QVERIFY(!failure->Description().isEmpty());
    }

private:
    template <typename List> void checkFindNext(const TopLevel& info)
    {
        List rows;
        m_events.clear();
        recordEvents(rows, m_events);
        rows.GoLast();
        m_events.clear();
        QVERIFY(!findNext(rows, info.nameField, info.sample.first()));
        QCOMPARE(nameOf(rows), info.sample.last());
        QVERIFY(m_events.isEmpty());

        rows.GoFirst();
        m_events.clear();
        QVERIFY(findNext(rows, info.nameField, info.sample.last().toLower()));
        QCOMPARE(nameOf(rows), info.sample.last());
        QCOMPARE(m_events,
                 (QStringList{QStringLiteral("RecordNumber %1").arg(info.sample.size()), QStringLiteral("Found")}));
    }

    static void addLists()
    {
        QTest::addColumn<int>("list");
        for (int i = 0; i < int(topLevels().size()); ++i)
            QTest::newRow(qPrintable(topLevels()[size_t(i)].table)) << i;
    }

    Database& db() { return gDB->DB(); }

    void addRow(const TopLevel& info, const QString& name)
    {
        db().Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(info.table, info.nameField), {name});
    }

    int rowCount(const TopLevel& info)
    {
        return int(db().OpenRecordset(QStringLiteral("SELECT * FROM ") + info.table)->RecordCount());
    }

    // The id the catalogue holds for this exact name, or empty text.
    QString idInCatalogue(const TopLevel& info, const QString& name)
    {
        auto row = db().OpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? COLLATE BINARY")
                                          .arg(info.idField, info.table, info.nameField),
                                      {name});
        return row->Eof() ? QString() : row->Value(info.idField).toString();
    }

    QStringList m_events;
};

int runTopLevelListsTest(int argc, char* argv[])
{
    TopLevelListsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TopLevelListsTest.moc"
