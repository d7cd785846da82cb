#include "gui/labels/frmPrintLabels.h"

#include "core/Failure.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainFrame.h"
#include "gui/shell/MainVellaro.h"
#include "labels/cLabels.h"

#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSlider>

namespace {

const QString margins = QStringLiteral("Margins");
const QString source = QStringLiteral("frmPrintLabels");
const QString reportTitle = QStringLiteral("Vellaro Labels");
constexpr int twipsPerInch = 1440;

int settingNumber(const QString& key, int fallback)
{
    bool ok = false;
    const int value = GetSetting(margins, key, QString::number(fallback)).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QSlider* marginSlider(QWidget* parent, const char* name, int maximum)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromLatin1(name));
    // Hundredths of an inch.
    slider->setRange(0, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(10);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmPrintLabels::frmPrintLabels(MainFrame* main, const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_main(main), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmPrintLabels"));
    setWindowTitle(QStringLiteral("Print Labels"));
    setModal(true);

    lblSkip = namedLabel(this, "lblSkip", QStringLiteral("&Labels to skip"));
    txtSkip = new QLineEdit(QStringLiteral("0"), this);
    txtSkip->setObjectName(QStringLiteral("txtSkip"));
    lblSkip->setBuddy(txtSkip);

    Frame2 = new QGroupBox(QStringLiteral("Margins"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    // As far as the 4 by 20 grid still fits on a Letter sheet: 10 of its 11 inches down, 7.9 of 8.5 across.
    sldTopMargin = marginSlider(Frame2, "sldTopMargin", 100);
    lblTopMargin = namedLabel(Frame2, "lblTopMargin", QString());
    sldLeftMargin = marginSlider(Frame2, "sldLeftMargin", 60);
    lblLeftMargin = namedLabel(Frame2, "lblLeftMargin", QString());

    Frame1 = new QGroupBox(QStringLiteral("Print Summary"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblPhotoCount = namedLabel(Frame1, "lblPhotoCount", QStringLiteral("Number of photos selected = 0"));
    lblLabelCount = namedLabel(Frame1, "lblLabelCount", QStringLiteral("Number of labels to be printed = 0"));
    lblSheetCount = namedLabel(Frame1, "lblSheetCount", QStringLiteral("Number of sheets required = 0"));

    cmdCancel = namedButton(this, "cmdCancel", QStringLiteral("&Cancel"));
    cmdClearAll = namedButton(this, "cmdClearAll", QStringLiteral("Clear &All"));
    cmdClearAll->setToolTip(QStringLiteral("Clears all photos marked for printing"));
    cmdPreview = namedButton(this, "cmdPreview", QStringLiteral("&Preview"));
    cmdPreview->setDefault(true);
    // Nothing to print or clear until the label list says photos are marked.
    cmdClearAll->setEnabled(false);
    cmdPreview->setEnabled(false);

    setFixedSize(440, 300);
    lblSkip->setGeometry(16, 18, 110, 22);
    txtSkip->setGeometry(130, 16, 60, 24);
    Frame2->setGeometry(12, 52, 416, 104);
    lblTopMargin->setGeometry(12, 24, 200, 22);
    sldTopMargin->setGeometry(216, 22, 188, 28);
    lblLeftMargin->setGeometry(12, 62, 200, 22);
    sldLeftMargin->setGeometry(216, 60, 188, 28);
    Frame1->setGeometry(12, 164, 416, 88);
    lblPhotoCount->setGeometry(12, 22, 392, 20);
    lblLabelCount->setGeometry(12, 42, 392, 20);
    lblSheetCount->setGeometry(12, 62, 392, 20);
    cmdPreview->setGeometry(156, 262, 84, 28);
    cmdClearAll->setGeometry(250, 262, 84, 28);
    cmdCancel->setGeometry(344, 262, 84, 28);
    setTabOrder(txtSkip, sldTopMargin);
    setTabOrder(sldTopMargin, sldLeftMargin);
    setTabOrder(sldLeftMargin, cmdPreview);
    setTabOrder(cmdPreview, cmdClearAll);
    setTabOrder(cmdClearAll, cmdCancel);

    connect(sldTopMargin, &QSlider::valueChanged, this, [this] { updateMarginLabels(); });
    connect(sldLeftMargin, &QSlider::valueChanged, this, [this] { updateMarginLabels(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { RunAction([this] { cmdPreview_Click(); }); });
    connect(cmdClearAll, &QPushButton::clicked, this, [this] { RunAction([this] { cmdClearAll_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, &frmPrintLabels::reject);
    InstallHelpKey(this, HelpContextID);
    InstallHelpKey(txtSkip, HelpContextID);
}

frmPrintLabels::~frmPrintLabels() = default;

void frmPrintLabels::showEvent(QShowEvent* event)
{
    if (!m_loaded) {
        m_loaded = true;
        RunAction([this] { Form_Load(); });
    }
    QDialog::showEvent(event);
}

void frmPrintLabels::Form_Load()
{
    RestoreFormPosition(this);
    sldTopMargin->setValue(settingNumber(QStringLiteral("Top"), 50));
    sldLeftMargin->setValue(settingNumber(QStringLiteral("Left"), 31));
    updateMarginLabels();

    m_lbls = std::make_unique<cLabels>();
    connect(m_lbls.get(), &cLabels::LabelCount, this, &frmPrintLabels::m_lbls_LabelCount);
    connect(m_lbls.get(), &cLabels::PhotoCount, this, &frmPrintLabels::m_lbls_PhotoCount);
    m_lbls->DeleteLabels();
    try {
        m_lbls->MakeLabels(0);
    } catch (const Failure& failure) {
        // No photo is marked: the window opens with nothing to print.
        if (failure.Number() != ErrorNumber::NoCurrentRecord)
            throw;
    }
}

void frmPrintLabels::done(int result)
{
    RunAction([this] { SaveFormPosition(this); });
    QDialog::done(result);
}

void frmPrintLabels::updateMarginLabels()
{
    const auto inches = [](int hundredths) { return QString::number(static_cast<float>(hundredths) / 100); };
    lblTopMargin->setText(u"Top Margin = " + inches(sldTopMargin->value()) + u" (inches)");
    lblLeftMargin->setText(u"Left Margin = " + inches(sldLeftMargin->value()) + u" (inches)");
}

void frmPrintLabels::m_lbls_LabelCount(const QString& count)
{
    const long labels = count.toLong();
    const long sheets = labels <= 0 ? 0 : (labels + LabelsPerSheet - 1) / LabelsPerSheet;
    lblLabelCount->setText(u"Number of labels to be printed = " + count);
    lblSheetCount->setText(u"Number of sheets required = " + QString::number(sheets));
}

void frmPrintLabels::m_lbls_PhotoCount(const QString& count)
{
    lblPhotoCount->setText(u"Number of photos selected = " + count);
    const bool any = count.toLong() > 0;
    cmdPreview->setEnabled(any);
    cmdClearAll->setEnabled(any);
}

std::int16_t frmPrintLabels::skipCount() const
{
    // Skipped positions lie on the one started sheet; anything else would waste whole sheets.
    bool ok = false;
    const int skip = txtSkip->text().trimmed().toInt(&ok, 10);
    if (!ok || skip < 0 || skip >= LabelsPerSheet)
        throw Failure(ErrorNumber::TypeMismatch, source,
                      QStringLiteral("Labels to skip must be a whole number from 0 to %1.").arg(LabelsPerSheet - 1));
    return static_cast<std::int16_t>(skip);
}

void frmPrintLabels::cmdPreview_Click()
{
    long result = 0;
    {
        BusyPointer busy;
        // Checked first, so that a mistyped count leaves the last list as it was.
        const std::int16_t skip = skipCount();
        if (!m_lbls)
            throw Failure(ErrorNumber::ObjectNotSet, source);
        m_lbls->DeleteLabels();
        m_lbls->MakeLabels(skip);
        SaveSetting(margins, QStringLiteral("Top"), QString::number(sldTopMargin->value()));
        SaveSetting(margins, QStringLiteral("Left"), QString::number(sldLeftMargin->value()));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        result = runReport();
    }
    if (result == ErrorNumber::ReportFileNotFound)
        MsgBox(QStringLiteral("Unable to find the report file."));
    else if (result == ErrorNumber::NoDefaultPrinter)
        MsgBox(QStringLiteral("No default printer set.Specify a default printer via the Windows Control Panel"));
    else if (result != 0)
        MsgBox(u"Error " + QString::number(result) + u" occured displaying Print Preview.");
}

long frmPrintLabels::runReport()
{
    try {
        m_report.setReportFile(QDir(m_programFolder).filePath(QStringLiteral("Avery5267.rpt")));
    } catch (const Failure& failure) {
        if (failure.Number() == ErrorNumber::ReportFileNotFound || failure.Number() == ErrorNumber::ReportFileInvalid)
            return failure.Number();
        throw;
    }
    m_report.setTitle(reportTitle);
    m_report.setFont(QStringLiteral("Arial"), 8);
    m_report.setMargins(static_cast<std::int16_t>(sldLeftMargin->value() * twipsPerInch / 100),
                        static_cast<std::int16_t>(sldTopMargin->value() * twipsPerInch / 100));
    m_report.readLabelsTable();

    // The whole sheet is the page: the margins above place the grid on it.
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(reportTitle);
    printer.setFullPage(true);
    printer.setPageSize(m_report.sheet().page);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);

    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("rptLabels"));
    preview.setWindowTitle(reportTitle);
    // Placed over the main window's area, a little in from its corner.
    if (QWidget* main = MainWindow()) {
        const QRect frame = main->geometry();
        preview.setGeometry(frame.x() <= 0 ? 0 : static_cast<int>(frame.x() * 1.2),
                            frame.y() <= 0 ? 0 : static_cast<int>(frame.y() * 1.3),
                            static_cast<int>(frame.width() * 0.9), static_cast<int>(frame.height() * 0.9));
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { m_report.print(*target); });
    // Whole pages at once, so a sheet's skipped corner shows at first sight.
    if (auto* view = preview.findChild<QPrintPreviewWidget*>())
        view->fitInView();
    emit previewShowing(&preview);
    preview.exec();
    return 0;
}

void frmPrintLabels::cmdClearAll_Click()
{
    // The editor closes first: a change it still holds is saved or dropped now, and cannot mark a
    // photo again once the marks are cleared. If it stays open, nothing is cleared.
    if (m_main) {
        if (QWidget* editor = m_main->Child(QStringLiteral("frmPhotos"))) {
            QWidget* frame = editor->parentWidget() ? editor->parentWidget() : editor;
            frame->close();
            if (m_main->Child(QStringLiteral("frmPhotos")))
                return;
        }
    }
    if (!m_lbls)
        throw Failure(ErrorNumber::ObjectNotSet, source);
    m_lbls->ClearAllLabelsForPrinting();
    accept();
    if (m_main)
        m_main->ShowChild(QStringLiteral("frmPhotos"));
}
