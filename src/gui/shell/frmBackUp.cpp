#include "gui/shell/frmBackUp.h"

#include "gui/controls/NamedControls.h"
#include "core/Settings.h"
#include "gui/controls/FolderLists.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace {

const QString dirKey = QStringLiteral("Dir");
const QString driveKey = QStringLiteral("Drive");

} // namespace

frmBackUp::frmBackUp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBackUp"));

    m_lists = new FolderLists(this);
    connect(m_lists, &FolderLists::FolderChanged, this, [this](const QString& folder) { m_selectedFolder = folder; });

    QHBoxLayout* buttons = OkCancelRow(
        this, cmdOK, cmdCancel, [this] { cmdOK_Click(); }, [this] { cmdCancel_Click(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lists->Drive1());
    layout->addWidget(m_lists->lblFolder());
    layout->addWidget(m_lists->Dir1(), 1);
    layout->addLayout(buttons);
    resize(380, 360);

    setFormCaption(QStringLiteral("BackUp"));
    RestoreFormPosition(this);
    InstallHelpKey(this, HelpContextID);
}

frmBackUp::~frmBackUp() = default;

void frmBackUp::setFormCaption(const QString& caption)
{
    m_caption = caption;
    setWindowTitle(caption);
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (m_lists->setFolder(GetSetting(caption, dirKey, programFolder)))
        return;
    // The folder is gone: its drive's root if the drive is still there, else the program's folder.
    // Nothing is said yet, as the dialog is not showing.
    const QString drive = GetSetting(caption, driveKey, QStorageInfo(programFolder).rootPath());
    if (!(DriveReady(drive) && m_lists->setFolder(drive)))
        m_lists->setFolder(programFolder);
}

void frmBackUp::setFormHelpContextID(int id)
{
    InstallHelpKey(this, id);
}

void frmBackUp::done(int result)
{
    // Escape and the window's close button choose nothing, as Cancel does.
    if (result != Accepted)
        m_cancelled = true;
    SaveFormPosition(this);
    QDialog::done(result);
}

void frmBackUp::cmdOK_Click()
{
    m_selectedFolder = m_lists->Folder();
    SaveSetting(m_caption, dirKey, m_selectedFolder);
    SaveSetting(m_caption, driveKey, m_lists->Drive());
    m_cancelled = false;
    accept();
}

void frmBackUp::cmdCancel_Click()
{
    m_cancelled = true;
    reject();
}
