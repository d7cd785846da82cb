#include "data/cDataBase.h"
#include "data/cPhotosSubjects.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/RecordingTargets.h"
#include "support/CatalogueTestCase.h"

#include <QTest>

// The links between photos and subjects. In the sample catalogue photo 1 has the subjects
// Lighthouses and Sunsets, photo 2 Birds and Lakes.
class PhotosSubjectsTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void aLinkIsStoredOnlyWhenDirtyAndOnlyWithNumbers()
    {
        cPhotosSubjects links;
        links.Add();
        links.PhotoSubject().PhotoID = QStringLiteral("3");
        links.PhotoSubject().SubjectID = QStringLiteral("Dogs");
        links.Save(); // not dirty: nothing is stored
        QCOMPARE(linkedSubjects(3), (QStringList{"Birthdays", "Grandparents"}));
        links.setIsDirty(true);
        QVERIFY_FAILURE(links.Save(), ErrorNumber::TypeMismatch);
        QVERIFY(links.IsDirty());
        // The link can still be corrected and stored.
        links.PhotoSubject().SubjectID = subjectId(QStringLiteral("Dogs"));
        links.Save();
        QVERIFY(!links.IsDirty());
        QCOMPARE(linkedSubjects(3), (QStringList{"Birthdays", "Dogs", "Grandparents"}));

        // A subject whose name holds quotes and a backslash is an ordinary name to link, list and unlink.
        const QString awkward = QStringLiteral("Bob's \"big\" day \\ 2");
        gDB->DB().Execute(QStringLiteral("INSERT INTO Subjects (CategoryID, Subject) VALUES (1, ?)"), {awkward});
        links.Add();
        links.PhotoSubject().PhotoID = QStringLiteral("5");
        links.PhotoSubject().SubjectID = subjectId(awkward);
        links.setIsDirty(true);
        links.Save();
        RecordingList list;
        links.FillList(list, QStringLiteral("5"));
        QVERIFY(list.items.contains(awkward));
        links.Delete(QStringLiteral("5"), awkward);
        QVERIFY(!linkedSubjects(5).contains(awkward));
    }

    void deletingALinkByNameRemovesOnlyThatLinkEverywhere()
    {
        cPhotosSubjects links;
        const auto allLinks = [&links] {
            QStringList ids;
            links.GoFirst();
            QString previous;
            while (links.PhotoSubject().PhotoSubjectID != previous) {
                previous = links.PhotoSubject().PhotoSubjectID;
                ids << previous;
                links.GoNext();
            }
            return ids;
        };
        const QStringList before = allLinks();
        links.Delete(QStringLiteral("1"), QStringLiteral("SUNSETS"));
        QCOMPARE(linkedSubjects(1), QStringList{"Lighthouses"});
        QCOMPARE(linkedSubjects(2), (QStringList{"Birds", "Lakes"}));
        // The main record set forgets the deleted link.
        const QStringList after = allLinks();
        QCOMPARE(after.size(), before.size() - 1);
        for (const QString& id : after)
            QVERIFY(before.contains(id));

        // A subject that does not exist, or is not the photo's, changes nothing and says nothing.
        links.Delete(QStringLiteral("1"), QStringLiteral("Zebras"));
        links.Delete(QStringLiteral("1"), QStringLiteral("Birds"));
        links.Delete(QStringLiteral("not a number"), QStringLiteral("Lighthouses"));
        QCOMPARE(linkedSubjects(1), QStringList{"Lighthouses"});
        QCOMPARE(linkedSubjects(2), (QStringList{"Birds", "Lakes"}));
        QVERIFY(m_folder->messages().shown().empty());

        // A photo's links are an updatable record set of their own.
        auto ofPhoto2 = links.FindPhotoSubjects(2);
        QCOMPARE(ofPhoto2->RecordCount(), 2);
        ofPhoto2->Delete();
        QCOMPARE(linkedSubjects(2).size(), 1);
    }

    void fillingListsAPhotosSubjectsWithoutClearing()
    {
        cPhotosSubjects links;
        RecordingList list;
        list.AddItem(QStringLiteral("already there"));
        links.FillList(list, QStringLiteral("7"));
        links.FillList(list, QStringLiteral("2"));
        links.FillList(list, QStringLiteral("999"));
        QCOMPARE(list.items, (QStringList{"already there", "Dogs", "Birds", "Lakes"}));
    }

private:
    static QString subjectId(const QString& name)
    {
        return gDB->DB()
            .OpenRecordset(QStringLiteral("SELECT SubjectID FROM Subjects WHERE Subject = ?"), {name})
            ->Value(QStringLiteral("SubjectID"))
            .toString();
    }
};

int runPhotosSubjectsTest(int argc, char* argv[])
{
    PhotosSubjectsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotosSubjectsTest.moc"
