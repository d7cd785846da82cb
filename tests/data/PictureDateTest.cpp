#include "data/PictureDate.h"

#include "support/FileFaults.h"
#include "support/TaggedPictures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

const std::string original = "Exif.Photo.DateTimeOriginal";

// What the process writes to its standard error while work runs.
QByteArray standardErrorOf(const std::function<void()>& work)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "<cannot capture>";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    work();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

// The day a picture was taken, read from the EXIF data of files as cameras and the world leave them.
class PictureDateTest : public QObject
{
    Q_OBJECT

private slots:
    void aPictureTellsOnlyARealDateItWasTaken()
    {
        QTemporaryDir folder;
        const auto path = [&folder](const char* name) { return folder.filePath(QString::fromUtf8(name)); };
        std::vector<std::pair<QString, std::optional<QDate>>> expected;
        const auto picture = [&](const char* name, const std::map<std::string, std::string>& exif,
                                 std::optional<QDate> date) {
            writeTaggedPicture(path(name), exif);
            expected.emplace_back(path(name), date);
        };

        picture("beach.jpg", {{original, "2019:07:14 10:22:01"}}, QDate(2019, 7, 14));
        picture("Été à Pemaquid, 灯台.JPG", {{original, "2003:08:14 19:45:00"}}, QDate(2003, 8, 14));
        picture("leap.jpg", {{original, "2004:02:29 00:00:00"}}, QDate(2004, 2, 29));
        picture("scan.png", {{original, "2018:05:06 07:08:09"}}, QDate(2018, 5, 6));
        picture("scan 2.png", {{original, "2018:02:30 07:08:09"}}, std::nullopt);
        picture("padded.jpg", {{original, "2011:11:11 11:11:11  "}}, QDate(2011, 11, 11));
        // The day the file was last changed is not the day it was taken.
        picture("edited.jpg", {{"Exif.Image.DateTime", "2020:01:02 03:04:05"}}, std::nullopt);
        picture("bare.jpg", {}, std::nullopt);
        for (const char* broken :
             {"2019:13:01 10:00:00", "2019:02:30 10:00:00", "2019:00:10 10:00:00", "0000:00:00 00:00:00",
              "    :  :     :  :  ", "garbage", "2019:07:14", "2019:07:1", "2019:07:14 25:00:00",
              "2019:07:14 10:22:01 and more", "1600:12:31 12:00:00", "2019:7:14 10:22:011"})
            picture(qPrintable(QStringLiteral("broken %1.jpg").arg(expected.size())), {{original, broken}},
                    std::nullopt);

        // Files that are no readable picture at all, whatever their names say.
        writeFile(path("notes.jpg"), "Not a picture at all, though named like one.");
        expected.emplace_back(path("notes.jpg"), std::nullopt);
        // Other blocks before the EXIF one, as editors write them, are passed over; so are fill bytes.
        const QByteArray xmp = QByteArrayLiteral("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta xmlns:x='adobe:ns:meta/'/>");
        const QByteArray layered = fileBytes(path("beach.jpg"))
                                       .insert(2, QByteArrayLiteral("\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01"
                                                                    "\x00\x01\x00\x00\xff\xe1\x00") +
                                                      char(xmp.size() + 2) + xmp + '\xff');
        writeFile(path("layered.jpg"), layered);
        expected.emplace_back(path("layered.jpg"), QDate(2019, 7, 14));
        // A copy cut short still tells the date its EXIF block holds whole, and none from a cut block.
        const QByteArray beach = fileBytes(path("beach.jpg"));
        const qsizetype exifEnd = beach.indexOf("\xff\xdb");
        QVERIFY(exifEnd > 40);
        writeFile(path("cut after.jpg"), beach.left(exifEnd + 10));
        expected.emplace_back(path("cut after.jpg"), QDate(2019, 7, 14));
        writeFile(path("cut inside.jpg"), beach.left(exifEnd - 4));
        expected.emplace_back(path("cut inside.jpg"), std::nullopt);
        writeFile(path("cut png.png"), fileBytes(path("scan.png")).left(60));
        expected.emplace_back(path("cut png.png"), std::nullopt);
        writeFile(path("empty.jpg"), {});
        expected.emplace_back(path("empty.jpg"), std::nullopt);
        QDir(folder.path()).mkdir(QStringLiteral("album.jpg"));
        expected.emplace_back(path("album.jpg"), std::nullopt);
        expected.emplace_back(path("gone.jpg"), std::nullopt);
        expected.emplace_back(QString(), std::nullopt);

        for (const auto& [file, date] : expected) {
            const std::optional<QDate> read = DateTaken(file);
            QVERIFY2(read == date, qPrintable(file + u" gave " + (read ? read->toString(Qt::ISODate) : u"none"_qs)));
        }

        // A picture whose EXIF data is damaged makes the reader complain; nothing reaches the
        // terminal the program was started from.
        QByteArray damaged = fileBytes(path("beach.jpg"));
        const qsizetype pointer = damaged.indexOf(QByteArrayLiteral("\x69\x87\x04\x00"));
        QVERIFY(pointer > 0);
        damaged.replace(pointer + 4, 4, QByteArrayLiteral("\xff\xff\xff\x00"));
        writeFile(path("damaged.jpg"), damaged);
        std::optional<QDate> read;
        const QByteArray complaints = standardErrorOf([&] { read = DateTaken(path("damaged.jpg")); });
        QVERIFY2(complaints.isEmpty(), complaints.constData());
        QVERIFY(!read);
    }
};

int runPictureDateTest(int argc, char* argv[])
{
    PictureDateTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PictureDateTest.moc"
