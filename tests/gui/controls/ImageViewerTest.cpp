#include "gui/controls/ucImageViewer.h"
#include "support/FileFaults.h"
#include "support/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString tooLarge = QStringLiteral("File too large to display this size");
const QString unknownFormat = QStringLiteral("Unable to display this image format");

// Draws a picture with some content in it and writes it; dotsPerInch 0 leaves Qt's default in the file.
// A size in bytes pads the file with trailing bytes, which decoders ignore.
QString writePicture(const QString& path, QSize pixels, int dotsPerInch = 0, qint64 bytes = 0)
{
    QImage image(pixels, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, pixels.width(), pixels.height());
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(Qt::red);
    painter.drawEllipse(image.rect().adjusted(pixels.width() / 4, pixels.height() / 4, 0, 0));
    painter.end();
    if (dotsPerInch > 0) {
        image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
        image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    }
    if (!QImageWriter(path).write(image))
        return QString();
    QFile file(path);
    if (bytes > 0 &&
        (file.size() > bytes || !file.open(QIODevice::Append) || !file.write(QByteArray(bytes - file.size(), '\0'))))
        return QString();
    return path;
}

// Marks a JPEG as taken with the camera turned a quarter clockwise, as cameras record it (an Exif
// orientation of 6). Qt's writer turns the pixels instead, so the marker is put in by hand.
bool markTurned(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray jpeg = file.readAll();
    static const char exif[] = "\xFF\xE1\x00\x22"
                               "Exif\0\0"
                               "MM\x00\x2A\x00\x00\x00\x08"                       // big-endian, first entries at 8
                               "\x00\x01"                                         // one entry:
                               "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00" // orientation, 6
                               "\x00\x00\x00\x00";                                // no further entries
    jpeg.insert(2, exif, sizeof(exif) - 1);
    return file.seek(0) && file.write(jpeg) == jpeg.size();
}

} // namespace

Q_DECLARE_METATYPE(ImagePlacement)

// The image viewer control: its scaling rule, its size limit, what it shows and the events it raises.
class ImageViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        auto messages = std::make_unique<RecordingMessages>();
        m_messages = messages.get();
        SetMessageService(std::move(messages));
        m_host = std::make_unique<QWidget>();
        m_host->resize(800, 600);
        m_viewer = new ucImageViewer(m_host.get());
        m_viewer->resize(300, 200);
        m_events.clear();
        connect(m_viewer, &ucImageViewer::OKStatus, this, [this](bool ok) { m_events << (ok ? "OK" : "not OK"); });
        connect(m_viewer, &ucImageViewer::LoadingImage, this, [this] { m_events << QStringLiteral("loading"); });
        connect(m_viewer, &ucImageViewer::ImageLoaded, this, [this] { m_events << QStringLiteral("loaded"); });
        m_host->show();
    }

    void cleanup()
    {
        m_host.reset();
        SetMessageService(nullptr);
    }

    void scaleImageFitsCentresAndKeepsSmallPictures_data()
    {
        QTest::addColumn<double>("W");
        QTest::addColumn<double>("H");
        QTest::addColumn<double>("pw");
        QTest::addColumn<double>("ph");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<ImagePlacement>("expected");
        QTest::newRow("landscape") << 4000.0 << 3000.0 << 8000.0 << 4000.0 << false
                                   << ImagePlacement{0, 500, 4000, 2000};
        QTest::newRow("portrait") << 4000.0 << 3000.0 << 2000.0 << 4000.0 << false
                                  << ImagePlacement{1250, 0, 1500, 3000};
        QTest::newRow("small") << 4000.0 << 3000.0 << 2000.0 << 1000.0 << false
                               << ImagePlacement{1000, 1000, 2000, 1000};
        QTest::newRow("wide but too tall")
            << 4000.0 << 3000.0 << 4000.0 << 3500.0 << false << ImagePlacement{285, 0, 4000.0 / 3500 * 3000, 3000};
        QTest::newRow("tall but too wide")
            << 2000.0 << 3000.0 << 3000.0 << 3500.0 << false << ImagePlacement{0, 333, 2000, 3500.0 / 3000 * 2000};
        QTest::newRow("small stretched") << 4000.0 << 3000.0 << 2000.0 << 1000.0 << true
                                         << ImagePlacement{0, 500, 4000, 2000};
        QTest::newRow("small portrait stretched")
            << 4000.0 << 3000.0 << 1000.0 << 2000.0 << true << ImagePlacement{1250, 0, 1500, 3000};
        QTest::newRow("small square stretched")
            << 4000.0 << 3000.0 << 100.0 << 100.0 << true << ImagePlacement{500, 0, 3000, 3000};
        // 2999.5 rounds to 3000 before halving; truncating would give 1499.
        QTest::newRow("a half rounds to even")
            << 4000.0 << 3000.0 << 1000.5 << 1000.0 << false << ImagePlacement{1500, 1000, 1000.5, 1000};
        QTest::newRow("as wide as the control")
            << 4000.0 << 3000.0 << 4000.0 << 1000.0 << false << ImagePlacement{0, 1000, 4000, 1000};
    }

    void scaleImageFitsCentresAndKeepsSmallPictures()
    {
        QFETCH(double, W);
        QFETCH(double, H);
        QFETCH(double, pw);
        QFETCH(double, ph);
        QFETCH(bool, stretch);
        QFETCH(ImagePlacement, expected);
        const ImagePlacement place = ScaleImage(W, H, pw, ph, stretch);
        QCOMPARE(place.left, expected.left);
        QCOMPARE(place.top, expected.top);
        QCOMPARE(place.width, expected.width);
        QCOMPARE(place.height, expected.height);
    }

    void naturalSizeUsesTheResolutionOr96()
    {
        QCOMPARE(NaturalSize(960, 96), 25400.0);
        QCOMPARE(NaturalSize(3000, 300), 25400.0);
        QCOMPARE(NaturalSize(96, 0), 2540.0);
        QCOMPARE(NaturalSize(96, -72), 2540.0);
    }

    void theSizeLimitFollowsTheControlsWidth_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<int>("pixelsWide");
        QTest::addColumn<bool>("shown");
        // 300 pixels are 4500 twips: a limit of 3.5 MB, which a file of exactly 3.5 MB does not exceed.
        QTest::newRow("3.5 MB at the limit") << qint64(3500000) << 300 << true;
        QTest::newRow("3.5 MB in 4395 twips") << qint64(3500000) << 293 << false;
        QTest::newRow("4 MB in 5010 twips") << qint64(4000000) << 334 << true;
        QTest::newRow("4 MB in 4995 twips") << qint64(4000000) << 333 << false;
    }

    void theSizeLimitFollowsTheControlsWidth()
    {
        QFETCH(qint64, bytes);
        QFETCH(int, pixelsWide);
        QFETCH(bool, shown);
        const QString file = writePicture(m_folder.filePath(QStringLiteral("padded.jpg")), {400, 300}, 0, bytes);
        QVERIFY(!file.isEmpty());
        QCOMPARE(QFileInfo(file).size(), bytes);
        QVERIFY(!QImage(file).isNull());

        m_viewer->resize(pixelsWide, 200);
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->FileName(), file);
        QCOMPARE(m_viewer->ShowsError(), !shown);
        QCOMPARE(m_viewer->ErrorText(), shown ? QString() : tooLarge);
        QCOMPARE(m_viewer->ImageRect().isEmpty(), !shown);
        QCOMPARE(m_events, shown ? QStringList({"loading", "loaded", "OK"}) : QStringList({"OK"}));
        QCOMPARE(m_messages->beeps(), shown ? 0 : 1);
    }

    void aRefusedFileShowsOnceTheWidenedControlIsRescaled()
    {
        const QString file = writePicture(m_folder.filePath(QStringLiteral("big.jpg")), {400, 200}, 0, qint64(3500000));
        QVERIFY(!file.isEmpty());
        m_viewer->resize(293, 200);
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->ErrorText(), tooLarge);

        m_viewer->resize(300, 250);
        auto* caption = m_viewer->findChild<QLabel*>(QStringLiteral("lblError"));
        QCOMPARE(caption->geometry(), QRect(0, 0, 300, 250));
        QVERIFY(caption->wordWrap());
        QCOMPARE(caption->alignment(), Qt::AlignCenter);
        QVERIFY(m_viewer->ImageRect().isEmpty());

        m_events.clear();
        m_viewer->ResizeImage();
        QCOMPARE(m_events, QStringList({"loading", "loaded"}));
        QCOMPARE(m_viewer->ImageRect(), QRect(0, 50, 300, 150));
        QVERIFY(!m_viewer->ShowsError());
        QCOMPARE(m_messages->beeps(), 1);
    }

    void filesThatCannotBeShownAreReportedUntilAPictureComes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("events");
        const QStringList notOpened{"loading", "not OK", "loaded"};
        QTest::newRow("missing") << QStringLiteral("missing.jpg")
                                 << QStringLiteral("ERROR: The file could not be found.") << notOpened;
        QTest::newRow("empty name") << QString() << QStringLiteral("ERROR: No file name was given.") << notOpened;
        QTest::newRow("folder") << QStringLiteral("folder.jpg")
                                << QStringLiteral("ERROR: The name is that of a folder, not a file.") << notOpened;
        QTest::newRow("text named .jpg") << QStringLiteral("notes.jpg") << unknownFormat
                                         << QStringList{"loading", "OK", "loaded"};
        QTest::newRow("cut-off jpeg") << QStringLiteral("cut.jpg") << unknownFormat
                                      << QStringList{"loading", "OK", "loaded"};
    }

    void filesThatCannotBeShownAreReportedUntilAPictureComes()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QFETCH(QStringList, events);
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("notes.jpg")), "Holiday 1998, roll 3\n"));
        QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("folder.jpg")));
        const QByteArray whole = fileBytes(writePicture(m_folder.filePath(QStringLiteral("whole.jpg")), {400, 300}));
        QVERIFY(writeFile(m_folder.filePath(QStringLiteral("cut.jpg")), whole.left(200)));

        // A picture first, so that the failure must also take it away.
        m_viewer->setFileName(writePicture(m_folder.filePath(QStringLiteral("before.png")), {60, 40}));
        QVERIFY(!m_viewer->ImageRect().isEmpty());
        m_events.clear();

        const QString file = name.isEmpty() ? name : m_folder.filePath(name);
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->ErrorText(), message);
        QCOMPARE(m_events, events);
        QCOMPARE(m_messages->beeps(), 1);
        QCOMPARE(m_viewer->findChild<QLabel*>(QStringLiteral("lblError"))->geometry(), m_viewer->rect());
        QVERIFY(m_viewer->ImageRect().isEmpty());
        QVERIFY(m_viewer->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
        QCOMPARE(m_viewer->PictureWidth(), 0);
        QCOMPARE(m_viewer->PictureHeight(), 0);

        // A picture shown afterwards takes the error caption away.
        m_viewer->setFileName(writePicture(m_folder.filePath(QStringLiteral("fine.png")), {600, 400}));
        QVERIFY(!m_viewer->ShowsError());
        QCOMPARE(m_viewer->ErrorText(), QString());
        QCOMPARE(m_viewer->ImageRect(), QRect(0, 0, 300, 200));
        QCOMPARE(m_messages->beeps(), 1);
    }

    void picturesArePlacedByTheirNaturalSize_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<int>("dotsPerInch");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QRect>("shown");
        // The control is 300 x 200 pixels, 4500 x 3000 twips.
        QTest::newRow("landscape") << QSize(1200, 600) << 0 << false << QSize(31750, 15875) << QRect(0, 25, 300, 150);
        QTest::newRow("portrait") << QSize(600, 1200) << 0 << false << QSize(15875, 31750) << QRect(100, 0, 100, 200);
        // 2540 x 1270 hundredths of a millimetre, taken as twips: 169 x 85 pixels.
        QTest::newRow("small at 300 dpi")
            << QSize(300, 150) << 300 << false << QSize(2540, 1270) << QRect(65, 58, 169, 85);
        QTest::newRow("small stretched") << QSize(300, 150) << 300 << true << QSize(2540, 1270)
                                         << QRect(0, 25, 300, 150);
        QTest::newRow("small at 72 dpi") << QSize(60, 30) << 72 << false << QSize(2116, 1058) << QRect(79, 65, 141, 71);
    }

    void picturesArePlacedByTheirNaturalSize()
    {
        QFETCH(QSize, pixels);
        QFETCH(int, dotsPerInch);
        QFETCH(bool, stretch);
        QFETCH(QSize, natural);
        QFETCH(QRect, shown);
        const QString file = writePicture(m_folder.filePath(QStringLiteral("picture.jpg")), pixels, dotsPerInch);
        QVERIFY(!file.isEmpty());
        m_viewer->setStretchSmallImages(stretch);
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->PictureWidth(), natural.width());
        QCOMPARE(m_viewer->PictureHeight(), natural.height());
        QCOMPARE(m_viewer->ImageRect(), shown);
        QVERIFY(!m_viewer->ShowsError());
        QCOMPARE(m_events, QStringList({"loading", "loaded", "OK"}));
        QCOMPARE(m_messages->beeps(), 0);
    }

    void aPhotographIsShownUprightAsItsCameraRecorded()
    {
        const QString file = writePicture(m_folder.filePath(QStringLiteral("turned.jpg")), {1200, 600});
        QVERIFY(markTurned(file));
        QCOMPARE(QImageReader(file).transformation(), QImageIOHandler::TransformationRotate90);
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->PictureWidth(), 15875);
        QCOMPARE(m_viewer->ImageRect(), QRect(100, 0, 100, 200));
        // Turned clockwise, the red ellipse of the lower right comes to the lower left.
        const QImage shown = m_viewer->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().toImage();
        const auto red = [](QColor colour) { return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60; };
        QVERIFY(red(shown.pixelColor(25, 150)));
        QVERIFY(!red(shown.pixelColor(75, 150)));
    }

    void thePictureIsRescaledOnlyWhenAsked()
    {
        const QString file = writePicture(m_folder.filePath(QStringLiteral("wide.jpg")), {2400, 1200});
        m_viewer->setFileName(file);
        QCOMPARE(m_viewer->ImageRect(), QRect(0, 25, 300, 150));

        m_viewer->resize(700, 500);
        QCOMPARE(m_viewer->ImageRect(), QRect(0, 25, 300, 150));
        m_events.clear();
        m_viewer->ResizeImage();
        QCOMPARE(m_viewer->ImageRect(), QRect(0, 75, 700, 350));
        QVERIFY(m_events.isEmpty());
        // The label shows the picture at its own size, not a stretched smaller one.
        const QPixmap pixmap = m_viewer->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap();
        QCOMPARE(pixmap.size(), QSize(700, 350));
    }

private:
    QTemporaryDir m_folder;
    RecordingMessages* m_messages = nullptr; // owned by the message service
    std::unique_ptr<QWidget> m_host;
    ucImageViewer* m_viewer = nullptr;
    QStringList m_events;
};

int runImageViewerTest(int argc, char* argv[])
{
    ImageViewerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ImageViewerTest.moc"
