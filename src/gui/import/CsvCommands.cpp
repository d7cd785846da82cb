#include "gui/import/CsvCommands.h"

#include "core/Failure.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "data/CsvExchange.h"
#include "gui/import/frmCsvPreview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>

namespace {

const QString importExport = QStringLiteral("ImportExport");
const QString csvFolderKey = QStringLiteral("CsvDir");
const QString title = QStringLiteral("CSV");

void reportExport(qint64 count, const QString& path)
{
    MsgBox(QStringLiteral("%1 photos were written to %2.").arg(count).arg(QDir::toNativeSeparators(path)),
           MsgButtons::OK, MsgIcon::Information, title);
}

void exportWith(QWidget* parent, const std::function<qint64(const QString&)>& work)
{
    const QString path = ChooseCsvFile(parent, true);
    if (path.isEmpty())
        return;
    qint64 count = 0;
    {
        const BusyPointer busy;
        count = work(path);
    }
    reportExport(count, path);
}

} // namespace

QString ChooseCsvFile(QWidget* parent, bool forWriting)
{
    QString folder = GetSetting(importExport, csvFolderKey);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    // The program's own dialog rather than the desktop's: it is shown modally like every other
    // dialog, and it asks nothing behind the message service's back.
    QFileDialog dialog(parent, forWriting ? QStringLiteral("Export to CSV") : QStringLiteral("Import from CSV"),
                       folder);
    dialog.setObjectName(QStringLiteral("dlgCsvFile"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters({QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    dialog.setAcceptMode(forWriting ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forWriting ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (forWriting) {
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(QStringLiteral("Vellaro.csv"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    const QFileInfo chosen(path);
    if (forWriting && (chosen.exists() || chosen.isSymLink()) &&
        MsgBox(QStringLiteral("Replace Existing File?"), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::No)
        return {};
    SaveSetting(importExport, csvFolderKey, chosen.absolutePath());
    return path;
}

void ExportCatalogueCommand(QWidget* parent)
{
    exportWith(parent, [](const QString& path) { return ExportCatalogueCsv(path); });
}

void ExportPhotosCommand(QWidget* parent, const QList<qint64>& numbers)
{
    exportWith(parent, [&numbers](const QString& path) { return ExportPhotosCsv(path, numbers); });
}

qint64 ImportCsvCommand(QWidget* parent, const std::function<bool()>& beforeWriting)
{
    const QString path = ChooseCsvFile(parent, false);
    if (path.isEmpty())
        return 0;
    CsvImportPlan plan;
    {
        const BusyPointer busy;
        plan = PlanCsvImport(path);
    }
    frmCsvPreview preview(plan, path, parent);
    if (preview.exec() != QDialog::Accepted || !beforeWriting())
        return 0;

    ImportResult result;
    try {
        QProgressDialog progress(QStringLiteral("Adding the photos to Vellaro..."), QStringLiteral("Cancel"), 0, 1000,
                                 parent);
        progress.setObjectName(QStringLiteral("prgImportCsv"));
        progress.setWindowTitle(QStringLiteral("Import from CSV"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        result = ImportCsv(plan, [&progress](qint64 done, qint64 total) {
            if (total > 0)
                progress.setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 999)));
            return !progress.wasCanceled();
        });
    } catch (const Failure& failure) {
        // The import is undone whole whatever stopped it: the user is told so, and why.
        throw Failure(failure.Number(), failure.Source(),
                      QStringLiteral("No photos were added. ") + failure.Description());
    }
    if (result.Cancelled) {
        MsgBox(QStringLiteral("The import was cancelled. No photos were added."), MsgButtons::OK, MsgIcon::Information,
               title);
        return 0;
    }
    MsgBox(QStringLiteral("%1 photos were added to Vellaro.").arg(result.Added), MsgButtons::OK, MsgIcon::Information,
           title);
    return result.Added;
}
