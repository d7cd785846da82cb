#include "gui/shell/frmOptions.h"

#include "gui/controls/NamedControls.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"
#include "core/cOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QChar copyrightSign(0xA9);
const QString checkTip = QStringLiteral("Check this to put it in the caption automatically");

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace

QCheckBox* frmOptions::checkBox(const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

frmOptions::frmOptions(QWidget* parent) : QDialog(parent), m_options(std::make_unique<cOptions>())
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));

    QGroupBox* captionFrame = frame(this, "Frame1", QStringLiteral("Auto Caption Options"));
    captionFrame->setToolTip(QStringLiteral("Auto Caption will put the selected items into the caption box on the "
                                            "Photos form"));
    m_includeLocation = checkBox("chkIncludeLocation", QStringLiteral("Include &Location in caption."));
    m_includeDate = checkBox("chkIncludeDate", QStringLiteral("Include '&Date-Taken' in caption."));
    m_includeCopyright = checkBox("chkIncludeCopyright", QStringLiteral("Include &Copyright notice in caption."));
    auto* captionLayout = new QVBoxLayout(captionFrame);
    for (QCheckBox* box : {m_includeLocation, m_includeDate, m_includeCopyright}) {
        box->setToolTip(checkTip);
        captionLayout->addWidget(box);
    }

    QGroupBox* copyrightFrame = frame(this, "Frame2", QStringLiteral("Copyright Notice"));
    m_copyright = new QPlainTextEdit(copyrightFrame);
    m_copyright->setObjectName(QStringLiteral("txtCopyright"));
    m_copyright->setToolTip(QStringLiteral("Store your Copyright notice for printing onto labels. HINT:Press Ctrl + "
                                           "ENTER to start a new line."));
    m_copyright->setTabChangesFocus(true);
    m_copyright->installEventFilter(this);
    QPushButton* insert = NamedButton(copyrightFrame, "cmdInsert", QStringLiteral("Insert Copyright &Symbol"));
    insert->setAutoDefault(false);
    insert->setToolTip(QStringLiteral(" Insert ") + copyrightSign);
    connect(insert, &QPushButton::clicked, this, [this] { RunAction([this] { cmdInsert_Click(); }); });
    auto* copyrightLayout = new QVBoxLayout(copyrightFrame);
    copyrightLayout->addWidget(m_copyright);
    copyrightLayout->addWidget(insert, 0, Qt::AlignRight);

    QGroupBox* rememberFrame = frame(this, "Frame3", QStringLiteral("Remember last"));
    m_lastLocation = checkBox("chkLastLocation", QStringLiteral("Locatio&n"));
    m_lastStorageDevice = checkBox("chkLastStorageDevice", QStringLiteral("S&torage Device"));
    m_lastDate = checkBox("chkLastDate", QStringLiteral("D&ate"));
    m_lastComments = checkBox("chkLastComments", QStringLiteral("Co&mments"));
    m_lastFilename = checkBox("chkLastFilename", QStringLiteral("Di&gital Filename"));
    auto* rememberLayout = new QVBoxLayout(rememberFrame);
    for (QCheckBox* box : {m_lastLocation, m_lastStorageDevice, m_lastDate, m_lastComments, m_lastFilename})
        rememberLayout->addWidget(box);
    rememberLayout->addStretch();

    QPushButton* ok = NamedButton(this, "cmdOK", QStringLiteral("&OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { RunAction([this] { cmdOK_Click(); }); });
    QPushButton* cancel = NamedButton(this, "cmdCancel", QStringLiteral("&Cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(captionFrame, 0, 0);
    layout->addWidget(rememberFrame, 0, 1, 2, 1);
    layout->addWidget(copyrightFrame, 1, 0);
    layout->addLayout(buttons, 2, 0, 1, 2);

    m_copyright->setPlainText(m_options->Copyright);
    m_includeLocation->setChecked(m_options->LocationinCaption);
    m_includeDate->setChecked(m_options->DateinCaption);
    m_includeCopyright->setChecked(m_options->CopyrightinCaption);
    m_lastLocation->setChecked(m_options->LastLocation);
    m_lastStorageDevice->setChecked(m_options->LastStorageDevice);
    m_lastDate->setChecked(m_options->LastDate);
    m_lastComments->setChecked(m_options->lastComments);
    m_lastFilename->setChecked(m_options->lastFilename);
    if (m_copyright->toPlainText().isEmpty())
        cmdInsert_Click();

    resize(560, 300);
    RestoreFormPosition(this);
    InstallHelpKey(this, HelpContextID);
}

frmOptions::~frmOptions() = default;

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    // In the copyright box Enter presses OK, as everywhere in the window; Ctrl+Enter starts a new line.
    if (watched == m_copyright && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ControlModifier)
                m_copyright->insertPlainText(QStringLiteral("\n"));
            else
                RunAction([this] { cmdOK_Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::cmdInsert_Click()
{
    m_copyright->moveCursor(QTextCursor::End);
    m_copyright->insertPlainText(QString(copyrightSign));
}

void frmOptions::cmdOK_Click()
{
    m_options->Copyright = m_copyright->toPlainText();
    m_options->CopyrightinCaption = m_includeCopyright->isChecked();
    m_options->DateinCaption = m_includeDate->isChecked();
    m_options->LocationinCaption = m_includeLocation->isChecked();
    m_options->LastLocation = m_lastLocation->isChecked();
    m_options->LastDate = m_lastDate->isChecked();
    m_options->LastStorageDevice = m_lastStorageDevice->isChecked();
    m_options->lastComments = m_lastComments->isChecked();
    m_options->lastFilename = m_lastFilename->isChecked();
    m_options->SaveSettings();
    accept();
}

void frmOptions::done(int result)
{
    SaveFormPosition(this);
    QDialog::done(result);
}
