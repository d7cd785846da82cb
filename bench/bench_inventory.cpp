// The inventory sheet of a box of 5,000 photos in a catalogue of 100,000, read and written to a PDF,
// against a bare query and a bare painter drawing the same texts, wrapped in the same cells in the
// same font, 40 rows to a page, into the same PDF writer.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/explorer/InventorySheet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdlib>

namespace {

constexpr int catalogueSize = 100000;
constexpr int boxSize = 5000;
constexpr qint64 box = 99;

// Every twentieth photo is kept in the box; every tenth of those has a caption of three lines.
const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(catalogueSize);
        // The program's connection: the storage location's name needs the catalogue's collation.
        made.openAsProgram();
        gDB->DB().Execute(QStringLiteral("INSERT INTO StorageLocations (StorageDeviceID, StorageLocationID, "
                                         "StorageLocation) VALUES (1, 99, 'Shoebox 3')"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET StorageLocationID = 99 WHERE PhotoID % 20 = 0"));
        gDB->DB().Execute(QStringLiteral(
            "UPDATE Photos SET Caption = Caption || ' with the tide going out over the ledges below the keeper''s "
            "house, late in the afternoon of a long summer day' WHERE PhotoID % 200 = 0"));
        gDB->DB().Execute(QStringLiteral("ANALYZE"));
        gDB.reset();
        return made;
    }();
    return instance;
}

// The program folder of the run, with the layout file in it.
const QTemporaryDir& folder()
{
    static const QTemporaryDir instance;
    static const bool copied =
        QFile::copy(QStringLiteral(VELLARO_INVENTORY_FILE), instance.filePath(QStringLiteral("Inventory.rpt")));
    if (!copied)
        std::abort();
    return instance;
}

QString pdf()
{
    return QDir(folder().path()).filePath(QStringLiteral("inventory.pdf"));
}

// What the explorer's command and Save as PDF do.
void ReadAndSaveInventory(benchmark::State& state)
{
    catalogue().openAsProgram();
    for (auto _ : state) {
        InventorySheet sheet(folder().path(), nullptr);
        if (!sheet.Read(InventorySheet::Box::StorageLocation, box) || !sheet.SavePdf(pdf()) ||
            sheet.report().rowCount() != boxSize)
            std::abort();
    }
    gDB.reset();
}

// The same rows read by a bare query and drawn by a bare painter.
void BareQueryAndPaint(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Photos.PhotoID, Photos.Caption, Photos.DateTaken, States.State, Locations.Location "
                       "FROM Photos LEFT JOIN Locations ON Locations.LocationID = Photos.LocationID LEFT JOIN "
                       "States ON States.StateID = Locations.StateID WHERE Photos.StorageLocationID = 99 ORDER BY "
                       "Photos.PhotoID",
                       -1, &query, nullptr);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9);
    const double widths[] = {0.7, 3.2, 0.95, 1.05, 1.4};
    for (auto _ : state) {
        QList<QStringList> rows;
        while (sqlite3_step(query) == SQLITE_ROW) {
            QStringList row;
            for (int column = 0; column < 5; ++column)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, column)));
            rows << row;
        }
        sqlite3_reset(query);
        if (rows.size() != boxSize)
            std::abort();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf());
        printer.setFullPage(true);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
        QPainter painter(&printer);
        painter.setFont(font);
        const double dpi = printer.logicalDpiX();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (i > 0 && i % 40 == 0)
                printer.newPage();
            double x = 0.6;
            for (int column = 0; column < 5; ++column) {
                const QRectF cell(x * dpi, (1.0 + (i % 40) * 0.22) * dpi, (widths[column] - 0.08) * dpi, 0.2 * dpi);
                painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, rows[i][column]);
                x += widths[column];
            }
        }
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ReadAndSaveInventory)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BareQueryAndPaint)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv, {{"ReadAndSaveInventory", "BareQueryAndPaint", 2.0, 0}});
}
