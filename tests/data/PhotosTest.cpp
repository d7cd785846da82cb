#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "support/Assertions.h"
#include "support/CatalogueTestCase.h"

#include <QDate>
#include <QTest>

namespace {

// What a window would have seen of a record set's events, in order: "RecordNumber 3", "Found".
class EventLog : public QStringList
{
public:
    explicit EventLog(cPhotos& photos)
    {
        QObject::connect(&photos, &cPhotos::RecordNumber, [this](const QString& n) { append(u"RecordNumber " + n); });
        QObject::connect(&photos, &cPhotos::Found, [this] { append(QStringLiteral("Found")); });
    }
};

} // namespace

// The photo record set over the sample catalogue's photos 1 to 7.
class PhotosTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void missingValuesTravelAsMinusOneAndNullAndAreStoredAsNull()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = NULL, Caption = NULL, Comments = NULL, "
                                         "FileName = NULL WHERE PhotoID = 7"));
        cPhotos photos;
        photos.GoLast();
        const cPhoto& photo = photos.Photo();
        QCOMPARE(photo.PhotoID, 7);
        QCOMPARE(photo.LocationID, -1);
        QCOMPARE(photo.StorageLocationID, -1);
        QCOMPARE(photo.NumberofLabels, std::int16_t(-1));
        QCOMPARE(photo.PrintLabel, std::int16_t(0));
        QCOMPARE(photo.Caption, QString());
        QCOMPARE(photo.DateTaken.toDate(), QDate(2005, 5, 30));
        photos.GoPrevious();
        QVERIFY(photos.Photo().DateTaken.isNull());
        QCOMPARE(photos.Photo().LocationID, 5); // Portland

        // Stored unchanged, the missing values go back as Null and the empty texts as empty text.
        photos.GoLast();
        photos.Edit();
        photos.setIsDirty(true);
        photos.Save();
        photos.GoPrevious();
        photos.Edit();
        photos.setIsDirty(true);
        photos.Save();
        const auto stored = gDB->DB().OpenRecordset(QStringLiteral(
            "SELECT * FROM Photos WHERE PhotoID = 7 AND LocationID IS NULL AND StorageLocationID IS NULL "
            "AND NumberofLabels IS NULL AND PrintLabel = 0 AND Caption = '' AND Comments = '' "
            "AND FileName = ''"));
        QCOMPARE(stored->RecordCount(), 1);
        QCOMPARE(gDB->DB()
                     .OpenRecordset(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 6 AND DateTaken IS NULL"))
                     ->RecordCount(),
                 1);
    }

    void movesStopAtEitherEndAndReportTheNumberAgain()
    {
        cPhotos photos;
        EventLog events(photos);
        QCOMPARE(photos.Photo().PhotoID, 0); // nothing is read before the first move
        photos.GoFirst();
        photos.GoPrevious();
        QCOMPARE(photos.Photo().PhotoID, 1);
        photos.GoNext();
        QCOMPARE(photos.Photo().PhotoID, 2);
        photos.GoLast();
        photos.GoNext();
        QCOMPARE(photos.Photo().PhotoID, 7);
        QCOMPARE(events, (QStringList{"RecordNumber 1", "RecordNumber 1", "RecordNumber 2", "RecordNumber 7",
                                      "RecordNumber 7"}));
    }

    void deletingMovesToANeighbourAndTheLastPhotoIsKept()
    {
        cPhotos photos;
        EventLog events(photos);
        photos.GoFirst();
        photos.Delete();
        QCOMPARE(photos.Photo().PhotoID, 2);
        photos.GoLast();
        events.clear();
        photos.Delete();
        QCOMPARE(photos.Photo().PhotoID, 6);
        QCOMPARE(events, (QStringList{"RecordNumber 5", "RecordNumber 5"}));

        for (int left = 5; left > 1; --left)
            photos.Delete();
        QCOMPARE(photos.Photo().PhotoID, 2);
        QVERIFY(m_folder->messages().shown().empty());
        events.clear();
        photos.Delete();
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        const auto& message = m_folder->messages().shown().front();
        QCOMPARE(
            message.text,
            QStringLiteral("Vellaro requires at least one Photo.\rPlease add a new one before deleteing this one."));
        QCOMPARE(message.title, QStringLiteral("Vellaro"));
        QCOMPARE(message.buttons, MsgButtons::OK);
        QCOMPARE(message.icon, MsgIcon::None);
        QVERIFY(events.isEmpty());
        QCOMPARE(gDB->DB().OpenRecordset(QStringLiteral("SELECT * FROM Photos"))->RecordCount(), 1);
    }

    void findsMatchPatternsWithoutRegardToCase()
    {
        cPhotos photos;
        EventLog events(photos);
        photos.GoFirst();
        events.clear();
        QVERIFY(photos.FindFirstPhoto(QStringLiteral("Caption"), QStringLiteral("*LAKE*")));
        QCOMPARE(photos.Photo().PhotoID, 2);
        QCOMPARE(events, (QStringList{"RecordNumber 2", "Found"}));

        // An apostrophe stands for any run of characters.
        QVERIFY(photos.FindFirstPhoto(QStringLiteral("Caption"), QStringLiteral("grandma's*")));
        QCOMPARE(photos.Photo().PhotoID, 3);
        QVERIFY(photos.FindFirstPhoto(QStringLiteral("Caption"), QStringLiteral("Fog'Gate")));
        QCOMPARE(photos.Photo().PhotoID, 4);
        QVERIFY(photos.FindFirstPhoto(QStringLiteral("PhotoID"), QStringLiteral("5")));
        QCOMPARE(photos.Photo().PhotoID, 5);

        events.clear();
        QVERIFY(!photos.FindFirstPhoto(QStringLiteral("Caption"), QStringLiteral("Lake")));
        QCOMPARE(photos.Photo().PhotoID, 5);
        QVERIFY(events.isEmpty());
        photos.GoNext();
        QCOMPARE(photos.Photo().PhotoID, 6); // the record set stayed on photo 5 as well
        QVERIFY_FAILURE(photos.FindFirstPhoto(QStringLiteral("NoSuchField"), QStringLiteral("x")),
                        ErrorNumber::UnknownCriteriaField);
    }

    void findPhotoSearchesOnAndWrapsToTheFirstPhoto()
    {
        cPhotos photos;
        photos.GoFirst();
        photos.GoNext();
        photos.GoNext(); // photo 3
        QVERIFY(photos.FindPhoto(QStringLiteral("Caption"), QStringLiteral("*light*")));
        QCOMPARE(photos.Photo().PhotoID, 6);
        // The wrapped search includes the first photo.
        QVERIFY(photos.FindPhoto(QStringLiteral("Caption"), QStringLiteral("*light*")));
        QCOMPARE(photos.Photo().PhotoID, 1);
        QVERIFY(photos.FindPhoto(QStringLiteral("Caption"), QStringLiteral("*light*")));
        QCOMPARE(photos.Photo().PhotoID, 6);
        QVERIFY(!photos.FindPhoto(QStringLiteral("Comments"), QStringLiteral("*zebra*")));
        QCOMPARE(photos.Photo().PhotoID, 6);
    }

    void theHighestNumberLeavesTheCurrentPhotoAlone()
    {
        gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (57, 'last')"));
        cPhotos photos;
        photos.GoFirst();
        photos.GoNext();
        QCOMPARE(photos.GetLastPhotoID(), 57);
        QCOMPARE(photos.Photo().PhotoID, 2);
        photos.GoNext();
        QCOMPARE(photos.Photo().PhotoID, 3);
    }

    void aNewPhotoIsStoredInItsPlace()
    {
        cPhotos photos;
        EventLog events(photos);
        photos.GoFirst();
        photos.Add();
        QCOMPARE(photos.Photo().PhotoID, 0);
        QCOMPARE(photos.Photo().LocationID, -1);
        fillNewPhoto(photos.Photo(), 4); // a number already in use
        photos.setIsDirty(true);
        events.clear();
        try {
            photos.Save();
            QFAIL("a duplicate number was stored");
        } catch (const Failure& failure) {
            QCOMPARE(failure.Number(), long(ErrorNumber::DuplicateValue));
            QCOMPARE(failure.Source(), QStringLiteral("Class Photos"));
        }
        QVERIFY(photos.IsDirty());
        QVERIFY(events.isEmpty());

        photos.Photo().PhotoID = 5000;
        photos.Save();
        QVERIFY(!photos.IsDirty());
        QCOMPARE(events, QStringList{"RecordNumber 8"});
        const auto stored = gDB->DB().OpenRecordset(QStringLiteral("SELECT * FROM Photos WHERE PhotoID >= 5000"));
        QCOMPARE(stored->RecordCount(), 1);
        QCOMPARE(stored->Value(QStringLiteral("Caption")).toString(), QStringLiteral("Ducks"));
        QCOMPARE(stored->Value(QStringLiteral("LocationID")).toInt(), 2);
        QVERIFY(stored->Value(QStringLiteral("StorageLocationID")).isNull());
        QCOMPARE(stored->Value(QStringLiteral("DateTaken")).toDate(), QDate(2020, 2, 29));
        QCOMPARE(stored->Value(QStringLiteral("PrintLabel")), QVariant(true));
        QCOMPARE(stored->Value(QStringLiteral("NumberofLabels")).toInt(), 3);
        photos.GoPrevious();
        QCOMPARE(photos.Photo().PhotoID, 7);
    }

    void savingNeedsTheDirtyFlag()
    {
        cPhotos photos;
        photos.GoFirst();
        photos.Edit();
        photos.Photo().Caption = QStringLiteral("not stored");
        photos.Save();
        photos.GoFirst();
        QCOMPARE(photos.Photo().Caption, QStringLiteral("Pemaquid Point Light at dusk, Maine"));
    }

private:
    static void fillNewPhoto(cPhoto& photo, int id)
    {
        photo.PhotoID = id;
        photo.Caption = QStringLiteral("Ducks");
        photo.LocationID = 2;
        photo.DateTaken = QDate(2020, 2, 29);
        photo.PrintLabel = 1;
        photo.NumberofLabels = 3;
    }
};

int runPhotosTest(int argc, char* argv[])
{
    PhotosTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotosTest.moc"
