#include "core/Settings.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/cDataBase.h"
#include "gui/photos/frmViewPhoto.h"
#include "gui/controls/ucImageViewer.h"
#include "support/Assertions.h"
#include "support/TestProgramFolder.h"

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

const QString tooLarge = QStringLiteral("File too large to display this size");

// A real JPEG padded with trailing bytes to the given size, which decoders ignore.
bool writePaddedPicture(const QString& path, qint64 bytes)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (!image.save(path, "JPG"))
        return false;
    QFile file(path);
    return file.size() < bytes && file.open(QIODevice::Append) && file.write(QByteArray(bytes - file.size(), '\0')) > 0;
}

} // namespace

// The photo viewer window driven through its buttons and keys, alone and as a slide show over the
// sample catalogue's photos 2 to 4 pointed at the sample pictures.
class ViewPhotoTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->openCatalogue();
        setPhoto(2, lighthouse(), QStringLiteral("Pemaquid Point"));
        setPhoto(3, m_folder->filePath(QStringLiteral("Geese.jpg")), QStringLiteral("Geese"));
        setPhoto(4, lighthouse(), QStringLiteral("The light again"));
    }
    void cleanup()
    {
        m_window.reset();
        m_folder.reset();
    }

    void aSlideShowStepsThroughItsPhotosAndBeepsAtTheEnds()
    {
        startSlideShow(QStringLiteral("PhotoID BETWEEN 2 AND 4"));
        QVERIFY(frame()->isVisible());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("2  ") + lighthouse() + QStringLiteral("  Pemaquid Point"));
        QCOMPARE(status(), QStringLiteral(" Record: 1"));
        QCOMPARE(viewer()->FileName(), lighthouse());
        QVERIFY(!viewer()->ImageRect().isEmpty());

        click("cmdPrevious");
        QCOMPARE(status(), QStringLiteral(" Record: 1"));
        QCOMPARE(m_folder->messages().beeps(), 1);

        // Each picture loaded holds the busy pointer only while it loads.
        m_folder->messages().clear();
        click("cmdNext");
        QCOMPARE(status(), QStringLiteral(" Record: 2"));
        QCOMPARE(viewer()->FileName(), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(m_folder->messages().busyChanges(), std::vector<bool>({true, false}));

        click("cmdNext");
        click("cmdNext");
        QCOMPARE(status(), QStringLiteral(" Record: 3"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("4  ") + lighthouse() + QStringLiteral("  The light again"));
        QCOMPARE(m_folder->messages().beeps(), 1);

        click("cmdFirst");
        QCOMPARE(status(), QStringLiteral(" Record: 1"));
        click("cmdLast");
        QCOMPARE(status(), QStringLiteral(" Record: 3"));
        QCOMPARE(m_folder->messages().beeps(), 1);
    }

    void keysStepFromAnyControlOnceEach()
    {
        startSlideShow(QStringLiteral("PhotoID BETWEEN 2 AND 4"));
        struct Step
        {
            Qt::Key key;
            const char* target; // null: the window itself
            int record;
            int beeps;
        };
        // A key not swallowed by the control would reach the window as well and step twice.
        const Step steps[] = {
            {Qt::Key_Right, "ucImageViewer1", 2, 0}, {Qt::Key_PageDown, "cmdFirst", 3, 0},
            {Qt::Key_Right, nullptr, 3, 1},          {Qt::Key_Left, "lblStatus", 2, 1},
            {Qt::Key_PageUp, "cmdNext", 1, 1},       {Qt::Key_PageUp, nullptr, 1, 2},
            {Qt::Key_End, "cmdPrevious", 3, 2},      {Qt::Key_Home, "ucImageViewer1", 1, 2},
            {Qt::Key_Down, "cmdLast", 3, 2},         {Qt::Key_Up, nullptr, 1, 2},
            {Qt::Key_A, "cmdFirst", 1, 2},
        };
        for (const Step& step : steps) {
            QWidget* target = step.target ? m_window->findChild<QWidget*>(QString::fromLatin1(step.target))
                                          : static_cast<QWidget*>(m_window.get());
            QVERIFY(target);
            QTest::keyClick(target, step.key);
            QCOMPARE(status(), QStringLiteral(" Record: %1").arg(step.record));
            QCOMPARE(m_folder->messages().beeps(), step.beeps);
        }
    }

    void aSinglePhotoShowsTheFileGivenAndIgnoresTheKeys()
    {
        open(lighthouse());
        QCOMPARE(viewer()->FileName(), lighthouse());
        QVERIFY(!viewer()->ImageRect().isEmpty());
        QVERIFY(frame()->isHidden());
        QCOMPARE(viewer()->geometry(), m_window->rect());
        QCOMPARE(m_folder->messages().busyChanges(), std::vector<bool>({true, false}));

        const QString title = m_window->windowTitle();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Left, Qt::Key_Home}) {
            QTest::keyClick(viewer(), key);
            QTest::keyClick(m_window.get(), key);
        }
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(viewer()->FileName(), lighthouse());
        QCOMPARE(status(), QString());
        QCOMPARE(m_folder->messages().beeps(), 0);
    }

    void theTitleRemovesLineBreakPairsAndShowsNullsAsEmpty()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET Caption = ? WHERE PhotoID = 3"),
                          {QStringLiteral("Geese\r\nover the lake\nat dawn\r\n\r\nMaine\r")});
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET Caption = NULL, FileName = NULL WHERE PhotoID = 5"));
        startSlideShow(QStringLiteral("PhotoID IN (3, 5)"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("3  ") + m_folder->filePath(QStringLiteral("Geese.jpg")) +
                                              QStringLiteral("  Geeseover the lake\nat dawnMaine\r"));
        click("cmdNext");
        QCOMPARE(m_window->windowTitle(), QStringLiteral("5    "));
        QCOMPARE(viewer()->FileName(), QString());
        QCOMPARE(viewer()->ErrorText(), QStringLiteral("ERROR: No file name was given."));
    }

    void aMissingFileShowsTheViewersCaptionAndSteppingGoesOn()
    {
        const QString missing = m_folder->filePath(QStringLiteral("missing.jpg"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = 3"), {missing});
        startSlideShow(QStringLiteral("PhotoID BETWEEN 2 AND 4"));
        click("cmdNext");
        QCOMPARE(viewer()->ErrorText(), QStringLiteral("ERROR: The file could not be found."));
        QVERIFY(m_window->windowTitle().contains(missing));
        QCOMPARE(m_folder->messages().beeps(), 1);
        // A failed load must not leave the busy pointer behind.
        QCOMPARE(m_folder->messages().busyChanges().back(), false);

        QTest::keyClick(viewer(), Qt::Key_Right);
        QCOMPARE(status(), QStringLiteral(" Record: 3"));
        QVERIFY(!viewer()->ShowsError());
        QVERIFY(!viewer()->ImageRect().isEmpty());
        click("cmdPrevious");
        QCOMPARE(status(), QStringLiteral(" Record: 2"));
        QVERIFY(viewer()->ShowsError());
    }

    void anEmptyRecordSetHidesTheWindowAndRaises3021()
    {
        open();
        m_window->setButtons(true);
        QVERIFY_FAILURE(m_window->SlideShow(records(QStringLiteral("PhotoID > 100"))), ErrorNumber::NoCurrentRecord);
        QVERIFY(m_window->isHidden());
        // Nothing is left to step through.
        QVERIFY(!failureOf([&] { QTest::keyClick(m_window.get(), Qt::Key_Right); }));
        QVERIFY(!failureOf([&] { cmd("cmdLast")->click(); }));
    }

    void theFrameSitsCentredAtTheBottomAndThePictureFitsAbove_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << QSize(1001, 500);
        QTest::newRow("tall") << QSize(400, 701);
    }

    void theFrameSitsCentredAtTheBottomAndThePictureFitsAbove()
    {
        QFETCH(QSize, size);
        startSlideShow(QStringLiteral("PhotoID BETWEEN 2 AND 4"));
        m_window->resize(size);
        QCOMPARE(m_window->size(), size);
        const QRect buttons = frame()->geometry();
        QVERIFY(buttons.width() > 4 * cmd("cmdFirst")->width());
        QCOMPARE(buttons.topLeft(), QPoint(size.width() / 2 - buttons.width() / 2, size.height() - buttons.height()));
        QCOMPARE(viewer()->geometry(), QRect(0, 0, size.width(), size.height() - buttons.height()));
        // The picture was loaded at 800 x 600 and must be fitted again into each new area.
        QVERIFY(fitsTheViewer());

        m_window->setButtons(false);
        QVERIFY(frame()->isHidden());
        QCOMPARE(viewer()->geometry(), m_window->rect());
        QVERIFY(fitsTheViewer());
    }

    void aPictureRefusedAsTooLargeShowsOnceTheWindowIsEnlarged()
    {
        const QString big = m_folder->filePath(QStringLiteral("big.jpg"));
        QVERIFY(writePaddedPicture(big, 3600000));

        // The viewer has its full width before it judges the file: 800 pixels allow 11 MB.
        m_window = std::make_unique<frmViewPhoto>(big);
        QVERIFY(!viewer()->ShowsError());
        QVERIFY(!viewer()->ImageRect().isEmpty());
        m_window.reset();

        // The remembered size of 300 x 200 pixels allows only 3.5 MB.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmViewPhotoWidth"), QStringLiteral("4500"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmViewPhotoHeight"), QStringLiteral("3000"));
        open(big);
        QCOMPARE(m_window->size(), QSize(300, 200));
        QCOMPARE(viewer()->ErrorText(), tooLarge);
        QVERIFY(viewer()->ImageRect().isEmpty());

        m_window->resize(400, 300);
        QVERIFY(!viewer()->ShowsError());
        QCOMPARE(viewer()->ImageRect(), QRect(0, 0, 400, 300));
        QCOMPARE(m_folder->messages().busyChanges().back(), false);

        // Closing remembers the new size.
        m_window->reject();
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmViewPhotoWidth")), QStringLiteral("6000"));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmViewPhotoHeight")), QStringLiteral("4500"));
    }

private:
    QString lighthouse() const { return m_folder->filePath(QStringLiteral("Lighthouse.jpg")); }

    static void setPhoto(int photoId, const QString& fileName, const QString& caption)
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ?, Caption = ? WHERE PhotoID = ?"),
                          {fileName, caption, photoId});
    }

    static std::unique_ptr<Recordset> records(const QString& condition)
    {
        return gDB->DB().OpenRecordset(QStringLiteral("SELECT * FROM Photos WHERE ") + condition +
                                       QStringLiteral(" ORDER BY PhotoID"));
    }

    void open(const QString& fileName = {})
    {
        m_folder->messages().clear();
        m_window = std::make_unique<frmViewPhoto>(fileName);
        m_window->show();
    }

    // As the explorer starts one: buttons on, then the photos.
    void startSlideShow(const QString& condition)
    {
        open();
        m_window->setButtons(true);
        m_window->SlideShow(records(condition));
        m_folder->messages().clear();
    }

    QPushButton* cmd(const char* name) const { return m_window->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const { QTest::mouseClick(cmd(name), Qt::LeftButton); }
    ucImageViewer* viewer() const { return m_window->findChild<ucImageViewer*>(QStringLiteral("ucImageViewer1")); }
    QFrame* frame() const { return m_window->findChild<QFrame*>(QStringLiteral("fraButtons")); }
    // The picture fills the viewer's width or its height, and stays inside it.
    bool fitsTheViewer() const
    {
        const QRect picture = viewer()->ImageRect();
        return viewer()->rect().contains(picture) &&
               (picture.width() == viewer()->width() || picture.height() == viewer()->height());
    }
    QString status() const { return m_window->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(); }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<frmViewPhoto> m_window;
};

int runViewPhotoTest(int argc, char* argv[])
{
    ViewPhotoTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ViewPhotoTest.moc"
