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
    void aSavedLinkIsStored()
    {
        cPhotosSubjects links;
        links.Add();
        links.PhotoSubject().PhotoID = QStringLiteral("3");
        links.PhotoSubject().SubjectID = subjectId(QStringLiteral("Dogs"));
        links.Save(); // not dirty: nothing is stored
        QCOMPARE(linkedSubjects(3), (QStringList{"Birthdays", "Grandparents"}));
        links.setIsDirty(true);
        links.Save();
        QVERIFY(!links.IsDirty());
        QCOMPARE(linkedSubjects(3), (QStringList{"Birthdays", "Dogs", "Grandparents"}));
    }

    void aLinkWhoseNumbersAreNoNumbersIsRefused()
    {
        cPhotosSubjects links;
        links.Add();
        links.PhotoSubject().PhotoID = QStringLiteral("3");
        links.PhotoSubject().SubjectID = QStringLiteral("Dogs");
        links.setIsDirty(true);
        QVERIFY_FAILURE(links.Save(), ErrorNumber::TypeMismatch);
        QVERIFY(links.IsDirty());
        // The link can still be corrected and stored.
        links.PhotoSubject().SubjectID = subjectId(QStringLiteral("Dogs"));
        links.Save();
        QCOMPARE(linkedSubjects(3), (QStringList{"Birthdays", "Dogs", "Grandparents"}));
    }

    void deletingALinkByNameRemovesOnlyThatLink()
    {
        cPhotosSubjects links;
        links.Delete(QStringLiteral("1"), QStringLiteral("SUNSETS"));
        QCOMPARE(linkedSubjects(1), QStringList{"Lighthouses"});
        QCOMPARE(linkedSubjects(2), (QStringList{"Birds", "Lakes"}));

        // A subject that does not exist, or is not the photo's, changes nothing and says nothing.
        links.Delete(QStringLiteral("1"), QStringLiteral("Zebras"));
        links.Delete(QStringLiteral("1"), QStringLiteral("Birds"));
        links.Delete(QStringLiteral("not a number"), QStringLiteral("Lighthouses"));
        QCOMPARE(linkedSubjects(1), QStringList{"Lighthouses"});
        QCOMPARE(linkedSubjects(2), (QStringList{"Birds", "Lakes"}));
        QVERIFY(m_folder->messages().shown().empty());
    }

    void aSubjectNameWithQuotesIsAnOrdinaryName()
    {
        const QString awkward = QStringLiteral("Bob's \"big\" day \\ 2");
        gDB->DB().Execute(QStringLiteral("INSERT INTO Subjects (CategoryID, Subject) VALUES (1, ?)"), {awkward});
        cPhotosSubjects links;
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

    void theMainRecordSetForgetsADeletedLink()
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
        links.Delete(QStringLiteral("2"), QStringLiteral("Birds"));
        const QStringList after = allLinks();
        QCOMPARE(after.size(), before.size() - 1);
        for (const QString& id : after)
            QVERIFY(before.contains(id));
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

    void aPhotosLinksAreAnUpdatableRecordSet()
    {
        cPhotosSubjects links;
        auto ofPhoto1 = links.FindPhotoSubjects(1);
        QCOMPARE(ofPhoto1->RecordCount(), 2);
        ofPhoto1->Delete();
        QCOMPARE(linkedSubjects(1).size(), 1);
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
