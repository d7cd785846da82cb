// 10,000 labels (125 sheets) made from the marked photos and printed to a PDF, against a bare
// painter drawing the same texts, clipped to the same cells in the same font, into the same PDF writer.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/cDataBase.h"
#include "gui/labels/LabelReport.h"
#include "labels/cLabels.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdlib>

namespace {

constexpr int labels = 10000;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(labels);
        sqlite3* db = made.openBare();
        runBare(db, "UPDATE Photos SET PrintLabel = 1, NumberofLabels = 1");
        sqlite3_close(db);
        return made;
    }();
    return instance;
}

QTemporaryDir& output()
{
    static QTemporaryDir folder;
    return folder;
}

// The printer the print labels window sets up: the whole Letter sheet, no margins, to a PDF file.
void setUp(QPrinter& printer)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir(output().path()).filePath(QStringLiteral("labels.pdf")));
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
}

LabelReport report()
{
    LabelReport made;
    made.setReportFile(QStringLiteral(VELLARO_REPORT_FILE));
    made.setTitle(QStringLiteral("Vellaro Labels"));
    made.setFont(QStringLiteral("Arial"), 8);
    made.setMargins(446, 720);
    return made;
}

// What Preview does: the label list emptied and made again, read back and printed.
void MakeAndPrintLabels(benchmark::State& state)
{
    catalogue().openAsProgram();
    {
        cLabels list;
        LabelReport labelReport = report();
        for (auto _ : state) {
            list.DeleteLabels();
            list.MakeLabels(0);
            labelReport.readLabelsTable();
            QPrinter printer(QPrinter::HighResolution);
            setUp(printer);
            labelReport.print(printer);
        }
        if (labelReport.labels().size() != labels || labelReport.pageCount() != 125)
            std::abort();
    }
    gDB.reset();
}

// The same texts in the same cells, drawn by a bare painter.
void BarePaintSameTexts(benchmark::State& state)
{
    catalogue().openAsProgram();
    LabelReport labelReport = report();
    {
        cLabels list;
        list.DeleteLabels();
        list.MakeLabels(0);
        labelReport.readLabelsTable();
    }
    gDB.reset();
    const QStringList texts = labelReport.labels();
    QFont font(labelReport.drawnFamily());
    font.setPointSizeF(8);
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        setUp(printer);
        QPainter painter(&printer);
        painter.setFont(font);
        const double dpi = printer.logicalDpiX();
        for (int i = 0; i < texts.size(); ++i) {
            if (i > 0 && i % 80 == 0)
                printer.newPage();
            const int place = i % 80;
            const QRectF cell(((0.31 + (place % 4) * 2.05) + 0.04) * dpi, ((0.5 + (place / 4) * 0.5) + 0.04) * dpi,
                              1.67 * dpi, 0.42 * dpi);
            painter.setClipRect(cell);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, texts[i]);
        }
    }
}

} // namespace

BENCHMARK(MakeAndPrintLabels)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BarePaintSameTexts)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv, {{"MakeAndPrintLabels", "BarePaintSameTexts", 1.5, 0}});
}
