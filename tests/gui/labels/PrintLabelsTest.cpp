#include "core/Settings.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/labels/LabelReport.h"
#include "gui/labels/frmPrintLabels.h"
#include "support/CatalogueQueries.h"
#include "support/FileFaults.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// One word that pdftotext found on a page, in points from the page's top left corner.
struct Word
{
    int page;
    QString text;
    QRectF box;
};

QList<Word> readPdf(const QString& pdf)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qFatal("pdftotext (poppler-utils) is needed to read the labels back");
    const QString html = QString::fromUtf8(reader.readAllStandardOutput());
    static const QRegularExpression tag(QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" )re"
                                                       R"re(xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    int page = -1;
    for (const auto& match : tag.globalMatch(html)) {
        if (match.captured(0) == u"<page ") {
            ++page;
            continue;
        }
        words.append({page, match.captured(5),
                      QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                             QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()))});
    }
    // In caption order, whatever order the reader found them in.
    std::sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.text < b.text; });
    return words;
}

int pdfPages(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    return pages.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
}

QString pdfFonts(const QString& pdf)
{
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    fonts.waitForFinished(60000);
    return QString::fromUtf8(fonts.readAllStandardOutput());
}

// Where the top left corner of the text of the label at this place lies, in points: the
// 4 by 20 grid of 2.05 by 0.5 inch, placed by the margins, each label kept 0.04 inch in from its edges.
QPointF cellCorner(int place, double leftInches, double topInches)
{
    return QPointF((leftInches + (place % 4) * 2.05 + 0.04) * 72, (topInches + (place / 4) * 0.5 + 0.04) * 72);
}

QString caption(int number)
{
    return QStringLiteral("L%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

// The print labels window over a fresh catalogue, with the label sheets it makes read back from a PDF.
class PrintLabelsTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override
    {
        m_folder->addReport();
        m_main = showMainWindow(*m_folder);
        m_main->setGeometry(40, 50, 1000, 700);
    }

private slots:
    // The window goes before the main window it was shown over.
    void cleanup()
    {
        m_window.reset();
        m_main.reset();
        m_folder.reset();
    }

    void theSummaryCountsPhotosLabelsAndSheets()
    {
        // The menu item opens the window modally; with nothing marked there is nothing to do.
        markPhotos(0);
        QAction* item = m_main->findChild<QAction*>(QStringLiteral("mnuFileLabels"));
        QVERIFY(item->isEnabled());
        QVERIFY(m_main->findChild<QAction*>(QStringLiteral("Labels"))->isEnabled());
        QString seen;
        whenModalShows([&](QWidget* modal) {
            m_window.reset();
            seen = modal ? modal->windowTitle() + u"|" + summary(modal) : QStringLiteral("no window");
            modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        item->trigger();
        QCOMPARE(seen, QStringLiteral("Print Labels|Number of photos selected = 0|Number of labels to be printed = "
                                      "0|Number of sheets required = 0|Top Margin = 0.5 (inches)|Left Margin = "
                                      "0.31 (inches)|Preview off|Clear All off"));
        QVERIFY(m_folder->messages().shown().empty());

        markPhotos(1);
        open();
        QCOMPARE(summary(m_window.get()).section(u'|', 0, 2),
                 QStringLiteral("Number of photos selected = 1|Number of labels to be printed = 1|Number of sheets "
                                "required = 1"));
        QVERIFY(summary(m_window.get()).endsWith(u"Preview on|Clear All on"));

        markPhotos(80);
        open();
        QCOMPARE(summary(m_window.get()).section(u'|', 1, 2),
                 QStringLiteral("Number of labels to be printed = 80|Number of sheets required = 1"));
        markPhotos(81);
        open();
        QCOMPARE(summary(m_window.get()).section(u'|', 1, 2),
                 QStringLiteral("Number of labels to be printed = 81|Number of sheets required = 2"));

        // Skipped positions count as labels: 75 and 5 blanks fill one sheet, one more needs a second.
        markPhotos(75);
        open();
        typeSkip(QStringLiteral("5"));
        preview([](QPrintPreviewDialog*) {});
        QCOMPARE(summary(m_window.get()).section(u'|', 1, 2),
                 QStringLiteral("Number of labels to be printed = 80|Number of sheets required = 1"));
        typeSkip(QStringLiteral("6"));
        preview([](QPrintPreviewDialog*) {});
        QCOMPARE(summary(m_window.get()).section(u'|', 1, 2),
                 QStringLiteral("Number of labels to be printed = 81|Number of sheets required = 2"));
    }

    void thePreviewPrintsEveryLabelInItsCell()
    {
        markPhotos(81);
        open();
        int pages = 0;
        QString title;
        QRect placed;
        preview([&](QPrintPreviewDialog* dialog) {
            title = dialog->windowTitle();
            placed = dialog->geometry();
            pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
        });
        QCOMPARE(title, QStringLiteral("Vellaro Labels"));
        const QRect main = m_main->geometry();
        QCOMPARE(placed,
                 QRect(int(main.x() * 1.2), int(main.y() * 1.3), int(main.width() * 0.9), int(main.height() * 0.9)));
        QCOMPARE(pages, 2);

        // A full sheet across then down, and the 81st label alone at the top left of the second.
        QString pdf = render();
        QCOMPARE(pdfPages(pdf), 2);
        QList<Word> words = readPdf(pdf);
        QCOMPARE(words.size(), 81);
        for (int i = 0; i < 81; ++i) {
            QCOMPARE(words[i].text, caption(i + 1));
            QCOMPARE(words[i].page, i / 80);
            expectAt(words[i], cellCorner(i % 80, 0.31, 0.5));
        }
        QVERIFY2(pdfFonts(pdf).contains(u"LiberationSans") || pdfFonts(pdf).contains(u"Arial"),
                 qPrintable(pdfFonts(pdf)));

        // A started sheet: five positions skipped, the grid moved by the margins, which are kept.
        markPhotos(80);
        typeSkip(QStringLiteral("5"));
        m_window->findChild<QSlider*>(QStringLiteral("sldTopMargin"))->setValue(0);
        m_window->findChild<QSlider*>(QStringLiteral("sldLeftMargin"))->setValue(100);
        QCOMPARE(m_window->findChild<QSlider*>(QStringLiteral("sldLeftMargin"))->value(), 60);
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("lblLeftMargin"))->text(),
                 QStringLiteral("Left Margin = 0.6 (inches)"));
        preview([](QPrintPreviewDialog*) {});
        QCOMPARE(GetSetting(QStringLiteral("Margins"), QStringLiteral("Top")), QStringLiteral("0"));
        QCOMPARE(GetSetting(QStringLiteral("Margins"), QStringLiteral("Left")), QStringLiteral("60"));
        pdf = render();
        words = readPdf(pdf);
        QCOMPARE(words.size(), 80);
        for (int i = 0; i < 80; ++i) {
            QCOMPARE(words[i].text, caption(i + 1));
            QCOMPARE(words[i].page, (i + 5) / 80);
            expectAt(words[i], cellCorner((i + 5) % 80, 0.6, 0.0));
        }

        // The window opens again with the margins last used.
        open();
        QCOMPARE(m_window->findChild<QSlider*>(QStringLiteral("sldTopMargin"))->value(), 0);
        QCOMPARE(m_window->findChild<QSlider*>(QStringLiteral("sldLeftMargin"))->value(), 60);
    }

    void longCaptionsStayInsideTheirCells()
    {
        LabelReport report;
        report.setReportFile(m_folder->filePath(QStringLiteral("Avery5267.rpt")));
        report.setMargins(446, 720);
        const QString longCaption = QStringLiteral("Pemaquid Point Light at dusk with the tide going out over the "
                                                   "ledges, Bristol, Maine\r\nCopyright 2026 A. Photographer, all "
                                                   "rights reserved WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        // Every other row left blank, so that text running out of a label would land on a blank one.
        QStringList labels;
        for (int place = 0; place < 80; ++place)
            labels << ((place / 4) % 2 == 0 ? longCaption : QStringLiteral(" "));
        report.setLabels(labels);
        QImage page(850, 1100, QImage::Format_RGB32);
        page.setDotsPerMeterX(3937); // 100 pixels an inch
        page.setDotsPerMeterY(3937);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            report.paintPage(painter, 0);
        }
        QList<QRectF> cells;
        for (int place = 0; place < 80; place += (place % 4 == 3 ? 5 : 1))
            cells << report.cell(place, 100, 100);
        QCOMPARE(cells.size(), 40);
        QList<int> inked(40, 0);
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (qGray(page.pixel(x, y)) > 128)
                    continue;
                int place = 0;
                while (place < 40 && !cells[place].adjusted(-0.5, -0.5, 0.5, 0.5).contains(QPointF(x + 0.5, y + 0.5)))
                    ++place;
                QVERIFY2(place < 40, qPrintable(QStringLiteral("ink outside every label at %1, %2").arg(x).arg(y)));
                ++inked[place];
            }
        }
        // Each label is filled to its bottom edge: the caption was wrapped and cut there, not dropped.
        for (int place = 0; place < 40; ++place) {
            QVERIFY(inked[place] > 200);
            const QRectF cell = cells[place];
            bool lowInk = false;
            for (int y = int(cell.bottom()) - 10; y < int(cell.bottom()); ++y) {
                for (int x = int(cell.left()); x < int(cell.right()) && !lowInk; ++x)
                    lowInk = qGray(page.pixel(x, y)) <= 128;
            }
            QVERIFY2(lowInk, qPrintable(QString::number(place)));
        }
    }

    void aListThatCannotBeMadeOrPrintedSaysWhyAndTheWindowStays()
    {
        markPhotos(3);
        open();
        const auto labelRows = [] { return countRows(QStringLiteral("SELECT * FROM Labels")); };
        QCOMPARE(labelRows(), 3);
        for (const QString& skip : {QStringLiteral("two"), QStringLiteral("-1"), QStringLiteral("80"),
                                    QStringLiteral("2.5"), QString(), QStringLiteral("99999999999")}) {
            typeSkip(skip);
            QVERIFY(!preview([](QPrintPreviewDialog*) {}));
            QCOMPARE(m_folder->messages().shown().back().text,
                     QStringLiteral("Labels to skip must be a whole number from 0 to 79."));
            QCOMPARE(labelRows(), 3);
        }
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(6));

        // A marked photo without a label count: its message, and no preview of a half-made list.
        typeSkip(QStringLiteral("0"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = NULL WHERE PhotoID = 1002"));
        QVERIFY(!preview([](QPrintPreviewDialog*) {}));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(7));
        QVERIFY(m_window->isVisible());

        // The report file missing, then no label layout.
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = 1"));
        QFile::remove(m_folder->filePath(QStringLiteral("Avery5267.rpt")));
        QVERIFY(!preview([](QPrintPreviewDialog*) {}));
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("Unable to find the report file."));
        QVERIFY(writeFile(m_folder->filePath(QStringLiteral("Avery5267.rpt")),
                          "columns = 4\nrows = 20\nlabel-width = 3\npitch-across = 2.05\n"));
        QVERIFY(!preview([](QPrintPreviewDialog*) {}));
        QCOMPARE(m_folder->messages().shown().back().text,
                 QStringLiteral("Error 20507 occured displaying Print Preview."));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(9));
        QVERIFY(m_window->isVisible());
    }

    void clearAllClosesTheEditorFirstAndClearsOnlyWhenItHasClosed()
    {
        markPhotos(0);
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 1 WHERE PhotoID = 2"));
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        QWidget* editor = m_main->Child(QStringLiteral("frmPhotos"));
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->text(), QStringLiteral("1"));
        // An unsaved change that marks photo 1, and an ID its save will refuse.
        editor->findChild<QCheckBox*>(QStringLiteral("chkPrintLabel"))->click();
        editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->setText(QStringLiteral("2"));
        open();
        QCOMPARE(summary(m_window.get()).section(u'|', 0, 0), QStringLiteral("Number of photos selected = 1"));

        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        m_window->findChild<QPushButton*>(QStringLiteral("cmdClearAll"))->click();
        QCOMPARE(m_folder->messages().shown().front().text, QStringLiteral("Save Changes?"));
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
        QVERIFY(m_window->isVisible());
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PrintLabel = 1")), 1);

        // Saved this time: the saved mark is cleared with the others and the editor shows it.
        editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->setText(QStringLiteral("1"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        m_window->findChild<QPushButton*>(QStringLiteral("cmdClearAll"))->click();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PrintLabel = 1")), 0);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Labels")), 0);
        editor = m_main->Child(QStringLiteral("frmPhotos"));
        QVERIFY(editor);
        QVERIFY(!editor->findChild<QCheckBox*>(QStringLiteral("chkPrintLabel"))->isChecked());
    }

private:
    // Only the photos added here are marked, each for one label captioned L001, L002 and so on.
    void markPhotos(int count)
    {
        Transaction work(gDB->DB());
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PrintLabel = 0"));
        gDB->DB().Execute(QStringLiteral("DELETE FROM Photos WHERE PhotoID > 1000"));
        for (int i = 1; i <= count; ++i)
            gDB->DB().Execute(
                QStringLiteral("INSERT INTO Photos (PhotoID, Caption, PrintLabel, NumberofLabels) VALUES (?, ?, 1, 1)"),
                {1000 + i, caption(i)});
        work.commit();
    }

    void open()
    {
        m_window.reset();
        m_window = std::make_unique<frmPrintLabels>(m_main.get(), m_folder->path(), m_main.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void typeSkip(const QString& text)
    {
        auto* box = m_window->findChild<QLineEdit*>(QStringLiteral("txtSkip"));
        box->selectAll();
        QTest::keyClicks(box, text);
        if (text.isEmpty())
            box->clear();
    }

    // Presses Preview and acts on the preview once it shows; true when it showed.
    bool preview(const std::function<void(QPrintPreviewDialog*)>& act)
    {
        bool shown = false;
        const auto connection =
            connect(m_window.get(), &frmPrintLabels::previewShowing, this, [&](QPrintPreviewDialog* dialog) {
                shown = true;
                QTimer::singleShot(0, dialog, [dialog, act] {
                    act(dialog);
                    dialog->reject();
                });
            });
        m_window->findChild<QPushButton*>(QStringLiteral("cmdPreview"))->click();
        disconnect(connection);
        return shown;
    }

    // Prints the window's last report to a PDF file as the preview would, with the whole sheet as the page.
    QString render()
    {
        const QString pdf = m_folder->filePath(QStringLiteral("labels.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setFullPage(true);
        printer.setPageSize(m_window->report().sheet().page);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
        m_window->report().print(printer);
        return pdf;
    }

    static void expectAt(const Word& word, QPointF corner)
    {
        const QString where = QStringLiteral("%1 at %2, %3; its cell at %4, %5")
                                  .arg(word.text)
                                  .arg(word.box.left())
                                  .arg(word.box.top())
                                  .arg(corner.x())
                                  .arg(corner.y());
        QVERIFY2(qAbs(word.box.left() - corner.x()) < 1.5, qPrintable(where));
        QVERIFY2(word.box.top() >= corner.y() - 1.5 && word.box.top() < corner.y() + 3, qPrintable(where));
    }

    static QString summary(QWidget* window)
    {
        QStringList parts;
        for (const char* name : {"lblPhotoCount", "lblLabelCount", "lblSheetCount", "lblTopMargin", "lblLeftMargin"})
            parts << window->findChild<QLabel*>(QString::fromLatin1(name))->text();
        for (const char* name : {"cmdPreview", "cmdClearAll"}) {
            auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
            parts << button->text().remove(u'&') + (button->isEnabled() ? u" on" : u" off");
        }
        return parts.join(u'|');
    }

    std::unique_ptr<frmPrintLabels> m_window;
};

int runPrintLabelsTest(int argc, char* argv[])
{
    PrintLabelsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PrintLabelsTest.moc"
