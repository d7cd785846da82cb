#include "data/Database.h"
#include "data/cDataBase.h"
#include "lists/cCategories.h"
#include "lists/cLocations.h"
#include "lists/cStates.h"
#include "lists/cStorageDevices.h"
#include "lists/cStorageLocations.h"
#include "lists/cSubjects.h"
#include "support/Assertions.h"
#include "support/RecordingTargets.h"
#include "support/CatalogueTestCase.h"

#include <QTest>

#include <functional>
#include <optional>

namespace {

QString idOf(const QString& table, const QString& idField, const QString& nameField, const QString& name)
{
    auto row = gDB->DB().OpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(idField, table, nameField),
                                       {name});
    return row->Value(idField).toString();
}

QString categoryId(const QString& name)
{
    return idOf(QStringLiteral("Categories"), QStringLiteral("CategoryID"), QStringLiteral("Category"), name);
}
QString stateId(const QString& name)
{
    return idOf(QStringLiteral("States"), QStringLiteral("StateID"), QStringLiteral("State"), name);
}
QString deviceId(const QString& name)
{
    return idOf(QStringLiteral("StorageDevices"), QStringLiteral("StorageDeviceID"), QStringLiteral("StorageDevice"),
                name);
}

// The pick-list fills with one argument, each with the sample's names it adds. open creates the list
// and reads the id the fill needs, and gives back the fill itself.
using Filler = std::function<void(ListTarget&)>;
struct NameFill
{
    const char* name;
    std::function<Filler()> open;
    QStringList names;
    const char* table; // the table whose loss makes the fill fail
    FillFailure onFailure;
    const char* raisedSource;
};

const std::vector<NameFill>& nameFills()
{
    // clang-format off
    static const std::vector<NameFill> fills{
        {"cStates.FillList",
         [] { return Filler([list = std::make_shared<cStates>()](ListTarget& to) { list->FillList(to); }); },
         {"California", "Maine", "Minnesota"}, "States", FillFailure::Quiet, ""},
        {"cStorageDevices.FillList",
         [] { return Filler([list = std::make_shared<cStorageDevices>()](ListTarget& to) { list->FillList(to); }); },
         {"Album", "CD-ROM", "Negative Box"}, "StorageDevices", FillFailure::Raise, "cStorageDevices"},
        {"cSubjects.FillListwithSubjects",
         [] { return Filler([list = std::make_shared<cSubjects>(), id = categoryId("Nature")](ListTarget& to) {
                 list->FillListwithSubjects(to, id); }); },
         {"Lakes", "Lighthouses", "Mountains", "Sunsets"}, "Subjects", FillFailure::Quiet, ""},
        {"cLocations.FillListwithLocations",
         [] { return Filler([list = std::make_shared<cLocations>(), id = stateId("Maine")](ListTarget& to) {
                 list->FillListwithLocations(to, id); }); },
         {"Bar Harbor", "Pemaquid Point", "Portland"}, "Locations", FillFailure::Message, ""},
        {"cStorageLocations.FillListStorageLocations",
         [] { return Filler([list = std::make_shared<cStorageLocations>(), id = deviceId("Album")](ListTarget& to) {
                 list->FillListStorageLocations(to, id); }); },
         {"Album 1 - Coast", "Album 2 - Family"}, "StorageLocations", FillFailure::Message, ""},
    };
    // clang-format on
    return fills;
}

// The tree fills, each as the list window calls it: under a root whose key and text are the same,
// and for a dependent list under the top-level node of its parent.
struct TreeFill
{
    const char* name;
    const char* root;
    const char* parent; // the top-level node the dependent list fills; empty for a top-level list
    std::function<void(TreeTarget&)> fill;
    QStringList texts;           // what the fill adds from the sample
    const char* secondKey;       // the key of its second node
    FillFailure onMissingParent; // what a missing parent node makes of the fill
    FillFailure onTakenKey;      // and a key already in the tree
    bool skipsTakenKeys;
};

const std::vector<TreeFill>& treeFills()
{
    using enum FillFailure;
    // clang-format off
    static const std::vector<TreeFill> fills{
        {"cCategories", "Category", "", [](TreeTarget& tree) { cCategories().FillTreeView(tree, "Category", 4, 5); },
         {"Animals", "Family", "Nature", "Travel"}, "8:Category6:Family", Quiet, Quiet, false},
        {"cStates", "States", "", [](TreeTarget& tree) { cStates().FillTreeView(tree, "States", 4, 5); },
         {"California", "Maine", "Minnesota"}, "6:States5:Maine", Quiet, Quiet, false},
        {"cStorageDevices", "Storage Devices", "",
         [](TreeTarget& tree) { cStorageDevices().FillTreeView(tree, "Storage Devices", 4, 5); },
         {"Album", "CD-ROM", "Negative Box"}, "15:Storage Devices6:CD-ROM", Message, Message, false},
        {"cSubjects", "Category", "Animals", [](TreeTarget& tree) { cSubjects().FillTreeView(tree, "Animals", 4, 5); },
         {"Birds", "Dogs", "Horses"}, "8:Category7:Animals4:Dogs", Raise, Raise, false},
        {"cLocations", "States", "Maine", [](TreeTarget& tree) { cLocations().FillTreeView(tree, "Maine", 4, 5); },
         {"Bar Harbor", "Pemaquid Point", "Portland"}, "6:States5:Maine14:Pemaquid Point", Message, Quiet, true},
        {"cStorageLocations", "Storage Devices", "Negative Box",
         [](TreeTarget& tree) { cStorageLocations().FillTreeView(tree, "Negative Box", 4, 5); },
         {"Box A", "Box B"}, "15:Storage Devices12:Negative Box5:Box B", Message, Message, false},
    };
    // clang-format on
    return fills;
}

} // namespace

// Pick lists and trees filled from the six lists.
class FillsTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void pickListsGetEveryNameInOrderAndKeepWhatTheyHeld_data() { addNameFills(); }
    void pickListsGetEveryNameInOrderAndKeepWhatTheyHeld()
    {
        QFETCH(int, fill);
        const NameFill& under = nameFills()[size_t(fill)];
        RecordingList list;
        const Filler fillList = under.open();
        fillList(list);
        fillList(list);
        QCOMPARE(list.items, under.names + under.names);
        QVERIFY(m_folder->messages().shown().empty());
    }

    // Accented names stand beside their base letters, in a pick list and in the list's own moves.
    void namesFillAndMoveInTheOrderAReaderExpects()
    {
        {
            Transaction work(gDB->DB());
            for (const char* name :
                 {"Zion", "Ölmühle", "Ångström", "Angstrom", "oak", "Straße", "Strasse", "Éclairs", "Eagle"})
                gDB->DB().Execute(QStringLiteral("INSERT INTO States (State) VALUES (?)"), {QString::fromUtf8(name)});
            work.commit();
        }
        const QStringList expected{"Angstrom",  "Ångström", "California", "Eagle",   "Éclairs", "Maine",
                                   "Minnesota", "oak",      "Ölmühle",    "Strasse", "Straße",  "Zion"};
        RecordingList list;
        cStates().FillList(list);
        QCOMPARE(list.items, expected);

        cStates states;
        QStringList moves;
        states.GoFirst();
        for (qsizetype i = 0; i < expected.size(); ++i, states.GoNext())
            moves << states.State().State;
        QCOMPARE(moves, expected);
    }

    void codedPickListsKeepEachIdBesideItsName()
    {
        struct Coded
        {
            std::function<void(CodedListTarget&)> fill;
            QString table, idField, nameField;
            QStringList names;
        };
        // clang-format off
        const Coded fills[] = {
            {[](CodedListTarget& list) { cSubjects().FillList(list); }, "Subjects", "SubjectID", "Subject",
             {"Birds", "Birthdays", "Dogs", "Grandparents", "Holidays", "Horses", "Lakes", "Lighthouses", "Mountains",
              "Road Trips", "Sunsets", "Weddings"}},
            {[](CodedListTarget& list) { cLocations().FillList(list, "Maine"); }, "Locations", "LocationID", "Location",
             {"Bar Harbor", "Pemaquid Point", "Portland"}},
            {[](CodedListTarget& list) { cStorageLocations().FillList(list, "Negative Box"); }, "StorageLocations",
             "StorageLocationID", "StorageLocation", {"Box A", "Box B"}},
        };
        // clang-format on
        for (const Coded& coded : fills) {
            RecordingList list;
            coded.fill(list);
            QCOMPARE(list.items, coded.names);
            QStringList ids;
            for (const QString& name : coded.names)
                ids << idOf(coded.table, coded.idField, coded.nameField, name);
            QCOMPARE(list.codes, ids);
        }
    }

    void fillsWithNothingToAddSayNothing()
    {
        db().Execute(QStringLiteral("INSERT INTO States (State) VALUES ('Vermont')"));
        db().Execute(QStringLiteral("INSERT INTO StorageDevices (StorageDevice) VALUES ('Shoebox')"));
        db().Execute(QStringLiteral("INSERT INTO Categories (Category) VALUES ('Gardens')"));
        RecordingList list;
        cLocations().FillList(list, QStringLiteral("Vermont"));
        cLocations().FillList(list, QStringLiteral("Atlantis"));
        cLocations().FillListwithLocations(list, stateId(QStringLiteral("Vermont")));
        cLocations().FillListwithLocations(list, QString());
        cStorageLocations().FillList(list, QStringLiteral("Shoebox"));
        cStorageLocations().FillListStorageLocations(list, deviceId(QStringLiteral("Shoebox")));
        cStorageLocations().FillListStorageLocations(list, QString());
        cSubjects().FillListwithSubjects(list, categoryId(QStringLiteral("Gardens")));
        cSubjects().FillListwithSubjects(list, QString());

        RecordingTree tree(QStringLiteral("Category"));
        tree.AddNode(QStringLiteral("Category"), QStringLiteral("CategoryGardens"), QStringLiteral("Gardens"), 4, 5);
        cSubjects().FillTreeView(tree, QStringLiteral("Gardens"), 4, 5);

        // A whole table without rows.
        db().Execute(QStringLiteral("DELETE FROM PhotosSubjects"));
        db().Execute(QStringLiteral("DELETE FROM Subjects"));
        cSubjects().FillList(list);
        cSubjects().FillTreeView(tree, QStringLiteral("Gardens"), 4, 5);

        QVERIFY(list.items.isEmpty() && list.codes.isEmpty());
        QCOMPARE(tree.nodes().size(), size_t(2));
        QVERIFY(m_folder->messages().shown().empty());
    }

    void treesHoldEachNodeUnderItsParentWithItsKey()
    {
        // As the list window rebuilds its tree: the top-level entries under the root, then the
        // children of each. Different images on the two levels show that each fill passes its own.
        RecordingTree categories(QStringLiteral("Category"));
        cCategories().FillTreeView(categories, QStringLiteral("Category"), 4, 5);
        for (const char* category : {"Animals", "Family", "Nature", "Travel"})
            cSubjects().FillTreeView(categories, QString::fromUtf8(category), 6, 7);

        RecordingTree states(QStringLiteral("States"));
        cStates().FillTreeView(states, QStringLiteral("States"), 4, 5);
        for (const char* state : {"California", "Maine", "Minnesota"})
            cLocations().FillTreeView(states, QString::fromUtf8(state), 6, 7);

        RecordingTree storage(QStringLiteral("Storage Devices"));
        cStorageDevices().FillTreeView(storage, QStringLiteral("Storage Devices"), 4, 5);
        for (const char* device : {"Album", "CD-ROM", "Negative Box"})
            cStorageLocations().FillTreeView(storage, QString::fromUtf8(device), 6, 7);

        // clang-format off
        const QStringList expected[] = {
            {"Category|8:Category7:Animals|Animals|4|5",
             "Category|8:Category6:Family|Family|4|5",
             "Category|8:Category6:Nature|Nature|4|5",
             "Category|8:Category6:Travel|Travel|4|5",
             "8:Category7:Animals|8:Category7:Animals5:Birds|Birds|6|7",
             "8:Category7:Animals|8:Category7:Animals4:Dogs|Dogs|6|7",
             "8:Category7:Animals|8:Category7:Animals6:Horses|Horses|6|7",
             "8:Category6:Family|8:Category6:Family9:Birthdays|Birthdays|6|7",
             "8:Category6:Family|8:Category6:Family12:Grandparents|Grandparents|6|7",
             "8:Category6:Family|8:Category6:Family8:Weddings|Weddings|6|7",
             "8:Category6:Nature|8:Category6:Nature5:Lakes|Lakes|6|7",
             "8:Category6:Nature|8:Category6:Nature11:Lighthouses|Lighthouses|6|7",
             "8:Category6:Nature|8:Category6:Nature9:Mountains|Mountains|6|7",
             "8:Category6:Nature|8:Category6:Nature7:Sunsets|Sunsets|6|7",
             "8:Category6:Travel|8:Category6:Travel8:Holidays|Holidays|6|7",
             "8:Category6:Travel|8:Category6:Travel10:Road Trips|Road Trips|6|7"},
            {"States|6:States10:California|California|4|5",
             "States|6:States5:Maine|Maine|4|5",
             "States|6:States9:Minnesota|Minnesota|4|5",
             "6:States10:California|6:States10:California7:Big Sur|Big Sur|6|7",
             "6:States10:California|6:States10:California13:San Francisco|San Francisco|6|7",
             "6:States5:Maine|6:States5:Maine10:Bar Harbor|Bar Harbor|6|7",
             "6:States5:Maine|6:States5:Maine14:Pemaquid Point|Pemaquid Point|6|7",
             "6:States5:Maine|6:States5:Maine8:Portland|Portland|6|7",
             "6:States9:Minnesota|6:States9:Minnesota6:Duluth|Duluth|6|7",
             "6:States9:Minnesota|6:States9:Minnesota11:Lake Itasca|Lake Itasca|6|7"},
            {"Storage Devices|15:Storage Devices5:Album|Album|4|5",
             "Storage Devices|15:Storage Devices6:CD-ROM|CD-ROM|4|5",
             "Storage Devices|15:Storage Devices12:Negative Box|Negative Box|4|5",
             "15:Storage Devices5:Album|15:Storage Devices5:Album15:Album 1 - Coast|Album 1 - Coast|6|7",
             "15:Storage Devices5:Album|15:Storage Devices5:Album16:Album 2 - Family|Album 2 - Family|6|7",
             "15:Storage Devices6:CD-ROM|15:Storage Devices6:CD-ROM11:Disc 2004-1|Disc 2004-1|6|7",
             "15:Storage Devices12:Negative Box|15:Storage Devices12:Negative Box5:Box A|Box A|6|7",
             "15:Storage Devices12:Negative Box|15:Storage Devices12:Negative Box5:Box B|Box B|6|7"},
        };
        // clang-format on
        QCOMPARE(described(categories), expected[0]);
        QCOMPARE(described(states), expected[1]);
        QCOMPARE(described(storage), expected[2]);
        QVERIFY(m_folder->messages().shown().empty());
    }

    void treeFillsTakeParentNamesAsTheyAre()
    {
        const QString category = QStringLiteral(R"(Mum's "Garden" \ Patio)");
        const QString state = QStringLiteral(R"(Prince Edward's "Isle")");
        const QString device = QStringLiteral(R"(Dad's "Box" \ 1)");
        db().Execute(QStringLiteral("INSERT INTO Categories (Category) VALUES (?)"), {category});
        db().Execute(QStringLiteral("INSERT INTO Subjects (CategoryID, Subject) VALUES (?, 'Roses')"),
                     {categoryId(category)});
        db().Execute(QStringLiteral("INSERT INTO States (State) VALUES (?)"), {state});
        db().Execute(QStringLiteral("INSERT INTO Locations (StateID, Location) VALUES (?, 'Cavendish')"),
                     {stateId(state)});
        db().Execute(QStringLiteral("INSERT INTO StorageDevices (StorageDevice) VALUES (?)"), {device});
        db().Execute(
            QStringLiteral("INSERT INTO StorageLocations (StorageDeviceID, StorageLocation) VALUES (?, 'Tin')"),
            {deviceId(device)});

        RecordingTree tree(QStringLiteral("Root"));
        for (const QString& parent : {category, state, device})
            tree.AddNode(QStringLiteral("Root"), TreeNodeKey({QStringLiteral("Root"), parent}), parent, 4, 5);
        cSubjects().FillTreeView(tree, category, 6, 7);
        cLocations().FillTreeView(tree, state, 6, 7);
        cStorageLocations().FillTreeView(tree, device, 6, 7);
        QCOMPARE(tree.nodes().size(), size_t(7));
        QCOMPARE(tree.nodes()[4].key, TreeNodeKey({QStringLiteral("Root"), category, QStringLiteral("Roses")}));
        QCOMPARE(tree.nodes()[5].key, TreeNodeKey({QStringLiteral("Root"), state, QStringLiteral("Cavendish")}));
        QCOMPARE(tree.nodes()[6].key, TreeNodeKey({QStringLiteral("Root"), device, QStringLiteral("Tin")}));

        RecordingList list;
        cLocations().FillList(list, state);
        cStorageLocations().FillList(list, device);
        QCOMPARE(list.items, (QStringList{"Cavendish", "Tin"}));
        QVERIFY(m_folder->messages().shown().empty());
    }

    void namesThatJoinAlikeStillGetNodesOfTheirOwn()
    {
        // "AB" + "C" and "A" + "BC" read alike when joined; digits, colons and "\\" alike.
        const QStringList categories{"AB", "A", "1:A", "1", R"(A\B)"};
        for (const QString& category : categories)
            db().Execute(QStringLiteral("INSERT INTO Categories (Category) VALUES (?)"), {category});
        const std::pair<const char*, const char*> subjects[] = {
            {"AB", "C"}, {"A", "BC"}, {"A", "1:A"}, {"1:A", "A"}, {"1", ":A1:A"}, {R"(A\B)", "X"}, {"A", R"(\BX)"}};
        for (const auto& [category, subject] : subjects)
            db().Execute(QStringLiteral("INSERT INTO Subjects (CategoryID, Subject) VALUES (?, ?)"),
                         {categoryId(QString::fromUtf8(category)), QString::fromUtf8(subject)});

        RecordingTree tree(QStringLiteral("Category"));
        cCategories().FillTreeView(tree, QStringLiteral("Category"), 4, 5);
        for (const QString& category : categories)
            cSubjects().FillTreeView(tree, category, 4, 5);
        for (const auto& [category, subject] : subjects)
            QVERIFY2(tree.childrenOf(TreeNodeKey({QStringLiteral("Category"), QString::fromUtf8(category)}))
                         .contains(QString::fromUtf8(subject)),
                     subject);
        QVERIFY(m_folder->messages().shown().empty());
    }

    void aMissingParentNodeEndsTheTreeFill_data() { addTreeFills(); }
    void aMissingParentNodeEndsTheTreeFill()
    {
        QFETCH(int, fill);
        const TreeFill& under = treeFills()[size_t(fill)];
        // A top-level fill is given a key the tree does not hold; a dependent one finds no node of its parent.
        const bool topLevel = QString::fromUtf8(under.parent).isEmpty();
        RecordingTree tree(topLevel ? QStringLiteral("Elsewhere") : QString::fromUtf8(under.root));
        const auto failure = failureOf([&] { under.fill(tree); });
        QCOMPARE(tree.nodes().size(), size_t(1));
        checkOutcome(failure, under.onMissingParent, ErrorNumber::NoSuchKey);
    }

    void aTakenKeyEndsTheTreeFillExceptForLocations_data() { addTreeFills(); }
    void aTakenKeyEndsTheTreeFillExceptForLocations()
    {
        QFETCH(int, fill);
        const TreeFill& under = treeFills()[size_t(fill)];
        const QString root = QString::fromUtf8(under.root);
        const bool topLevel = QString::fromUtf8(under.parent).isEmpty();
        const QString parentKey = topLevel ? root : TreeNodeKey({root, QString::fromUtf8(under.parent)});
        RecordingTree tree(root);
        if (!topLevel)
            tree.AddNode(root, parentKey, QString::fromUtf8(under.parent), 1, 1);
        tree.AddNode(parentKey, QString::fromUtf8(under.secondKey), QStringLiteral("Taken"), 1, 1);

        const auto failure = failureOf([&] { under.fill(tree); });
        // The fill stops at the taken key, keeping the node it added before; locations go on past it.
        QStringList expected{QStringLiteral("Taken"), under.texts[0]};
        if (under.skipsTakenKeys)
            expected += under.texts.mid(2);
        QCOMPARE(tree.childrenOf(parentKey), expected);
        checkOutcome(failure, under.onTakenKey, ErrorNumber::KeyNotUnique);
    }

    void pickListFillsThatFailFollowTheirLists_data() { addNameFills(); }
    void pickListFillsThatFailFollowTheirLists()
    {
        QFETCH(int, fill);
        const NameFill& under = nameFills()[size_t(fill)];
        // The list is made, and the id it needs read, before its table goes.
        const Filler fillList = under.open();
        db().Execute(QStringLiteral("ALTER TABLE %1 RENAME TO Former%1").arg(QString::fromUtf8(under.table)));
        RecordingList list;
        const auto failure = failureOf([&] { fillList(list); });
        QVERIFY(list.items.isEmpty());
        checkOutcome(failure, under.onFailure, ErrorNumber::EngineFailure);
        if (failure)
            QCOMPARE(failure->Source(), QString::fromUtf8(under.raisedSource));
    }

private:
    static void addNameFills()
    {
        QTest::addColumn<int>("fill");
        for (size_t i = 0; i < nameFills().size(); ++i)
            QTest::newRow(nameFills()[i].name) << int(i);
    }
    static void addTreeFills()
    {
        QTest::addColumn<int>("fill");
        for (size_t i = 0; i < treeFills().size(); ++i)
            QTest::newRow(treeFills()[i].name) << int(i);
    }

    // Every node but the root as "parent|key|text|image|selected image".
    static QStringList described(const RecordingTree& tree)
    {
        QStringList nodes;
        for (size_t i = 1; i < tree.nodes().size(); ++i) {
            const RecordingTree::Node& node = tree.nodes()[i];
            nodes << QStringList{node.parent, node.key, node.text, QString::number(node.image),
                                 QString::number(node.selectedImage)}
                         .join(u'|');
        }
        return nodes;
    }

    // A fill ended by a failure: quietly, with a message of its description, or by raising it.
    void checkOutcome(const std::optional<Failure>& failure, FillFailure expected, long number)
    {
        const auto& shown = m_folder->messages().shown();
        switch (expected) {
        case FillFailure::Quiet:
            QVERIFY(!failure);
            QVERIFY(shown.empty());
            break;
        case FillFailure::Message:
            QVERIFY(!failure);
            QCOMPARE(shown.size(), size_t(1));
            // The engine may add its own words after the description.
            QVERIFY(shown.front().text.startsWith(Failure::describe(number)));
            QCOMPARE(shown.front().buttons, MsgButtons::OK);
            QCOMPARE(shown.front().title, QStringLiteral("Vellaro"));
            break;
        case FillFailure::Raise:
            QVERIFY(failure);
            QCOMPARE(failure->Number(), number);
            QVERIFY(shown.empty());
            break;
        }
    }

    Database& db() { return gDB->DB(); }
};

int runFillsTest(int argc, char* argv[])
{
    FillsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FillsTest.moc"
