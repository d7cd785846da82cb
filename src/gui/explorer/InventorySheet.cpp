#include "gui/explorer/InventorySheet.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/shell/Action.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QToolBar>

namespace {

const QString source = QStringLiteral("InventorySheet");
const QString layoutFile = QStringLiteral("Inventory.rpt");
const QString settingsSection = QStringLiteral("Inventory");
const QString pdfFolderKey = QStringLiteral("PdfDir");

// The fields the layout's columns may name, in the order of the query's columns.
const QStringList fields{QStringLiteral("number"), QStringLiteral("caption"), QStringLiteral("date"),
                         QStringLiteral("state"), QStringLiteral("location")};

const QString photoColumns =
    QStringLiteral("SELECT Photos.PhotoID, Photos.Caption, Photos.DateTaken, States.State, Locations.Location FROM "
                   "Photos LEFT JOIN Locations ON Locations.LocationID = Photos.LocationID LEFT JOIN States ON "
                   "States.StateID = Locations.StateID ");

// A date as the photo editor shows it; text that is no date as it was stored.
QString shownDate(const QVariant& value)
{
    const QString text = toText(value);
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? date.toString(QStringLiteral("MM/dd/yyyy")) : text;
}

QString withoutSlashes(QString name)
{
    static const QString unsafe = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (unsafe.contains(c) || c.unicode() < 32)
            c = u'-';
    return name.trimmed();
}

} // namespace

InventorySheet::InventorySheet(const QString& programFolder, QWidget* parent)
    : QObject(parent), m_programFolder(programFolder), m_parent(parent)
{}

InventorySheet::~InventorySheet() = default;

bool InventorySheet::Read(Box box, qint64 id)
{
    m_report.setReportFile(QDir(m_programFolder).filePath(layoutFile));
    const bool device = box == Box::StorageDevice;
    auto names = gDB->DB().OpenRecordset(
        device ? QStringLiteral("SELECT StorageDevice FROM StorageDevices WHERE StorageDeviceID = ?")
               : QStringLiteral("SELECT StorageDevices.StorageDevice, StorageLocations.StorageLocation FROM "
                                "StorageLocations INNER JOIN StorageDevices ON StorageDevices.StorageDeviceID = "
                                "StorageLocations.StorageDeviceID WHERE StorageLocations.StorageLocationID = ?"),
        {id});
    if (names->Eof())
        throw Failure(ErrorNumber::NoCurrentRecord, source,
                      QStringLiteral("This storage %1 is no longer in the catalogue. Click Refresh to read the tree "
                                     "again.")
                          .arg(device ? QStringLiteral("device") : QStringLiteral("location")));
    const QString deviceName = toText(names->Value(QStringLiteral("StorageDevice")));
    m_boxName = device ? deviceName : deviceName + u" / " + toText(names->Value(QStringLiteral("StorageLocation")));
    m_report.setHeading((device ? QStringLiteral("Storage device: ") : QStringLiteral("Storage location: ")) +
                        m_boxName);

    auto photos = gDB->DB().OpenRecordset(
        photoColumns + (device ? QStringLiteral("INNER JOIN StorageLocations ON StorageLocations.StorageLocationID = "
                                                "Photos.StorageLocationID WHERE StorageLocations.StorageDeviceID = ? "
                                                "ORDER BY Photos.PhotoID")
                               : QStringLiteral("WHERE Photos.StorageLocationID = ? ORDER BY Photos.PhotoID")),
        {id});
    QList<QStringList> rows;
    rows.reserve(photos->RecordCount());
    for (; !photos->Eof(); photos->MoveNext())
        rows.append({toText(photos->Value(QStringLiteral("PhotoID"))), toText(photos->Value(QStringLiteral("Caption"))),
                     shownDate(photos->Value(QStringLiteral("DateTaken"))),
                     toText(photos->Value(QStringLiteral("State"))),
                     toText(photos->Value(QStringLiteral("Location")))});
    if (rows.isEmpty())
        return false;
    m_report.setRows(fields, std::move(rows));
    return true;
}

void InventorySheet::Show(Box box, qint64 id)
{
    {
        BusyPointer busy;
        bool any = false;
        try {
            any = Read(box, id);
        } catch (const Failure& failure) {
            if (failure.Number() != ErrorNumber::ReportFileNotFound)
                throw;
            MsgBox(QStringLiteral("Unable to find the report file."));
            return;
        }
        if (!any) {
            MsgBox(QStringLiteral("No photos are kept in %1.").arg(m_boxName));
            return;
        }
    }

    const QString title = m_report.sheet().title;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    // The whole sheet is the page: the layout's own margins place the table on it.
    printer.setFullPage(true);
    printer.setPageSize(m_report.sheet().page);
    printer.setPageOrientation(m_report.sheet().landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);

    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setObjectName(QStringLiteral("rptInventory"));
    preview.setWindowTitle(title + u" - " + m_boxName);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) {
        RunAction([this, target] { paintWithProgress(*target, QStringLiteral("Preparing the inventory sheet...")); });
    });
    if (auto* tools = preview.findChild<QToolBar*>()) {
        tools->addSeparator();
        QAction* save = tools->addAction(QStringLiteral("Save as PDF..."));
        save->setObjectName(QStringLiteral("actSavePdf"));
        save->setToolTip(QStringLiteral("Save the inventory sheet as a PDF file"));
        connect(save, &QAction::triggered, this, [this] { RunAction([this] { SavePdf_Click(); }); });
    }
    if (auto* view = preview.findChild<QPrintPreviewWidget*>())
        view->fitToWidth();
    preview.exec();
}

bool InventorySheet::paintWithProgress(QPagedPaintDevice& device, const QString& label)
{
    // Over the preview when it is open: a window under it could not be reached to cancel.
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_parent;
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 1, over);
    progress.setObjectName(QStringLiteral("prgInventory"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    return m_report.print(device, [&progress](int page, int pages) {
        progress.setMaximum(pages);
        progress.setValue(page);
        return !progress.wasCanceled();
    });
}

bool InventorySheet::SavePdf(const QString& file)
{
    bool written = false;
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setDocName(m_report.sheet().title);
        printer.setCreator(QStringLiteral("Vellaro"));
        printer.setFullPage(true);
        printer.setPageSize(m_report.sheet().page);
        printer.setPageOrientation(m_report.sheet().landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
        written = paintWithProgress(printer, QStringLiteral("Saving the inventory sheet..."));
    }
    // A sheet cut short by Cancel is no inventory: nothing of it is left behind.
    if (!written)
        QFile::remove(file);
    return written;
}

void InventorySheet::SavePdf_Click()
{
    QString folder = GetSetting(settingsSection, pdfFolderKey, QDir::homePath());
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QWidget* over = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : m_parent;
    QFileDialog chooser(over, QStringLiteral("Save as PDF"), folder, QStringLiteral("PDF files (*.pdf)"));
    chooser.setObjectName(QStringLiteral("dlgSavePdf"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("pdf"));
    chooser.selectFile(withoutSlashes(u"Inventory - " + m_boxName) + u".pdf");
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString file = chooser.selectedFiles().constFirst();
    SaveSetting(settingsSection, pdfFolderKey, QFileInfo(file).absolutePath());
    BusyPointer busy;
    SavePdf(file);
}
