#include "gui/controls/FolderLists.h"

#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/shell/Action.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <dirent.h>

#include <utility>

namespace {

const QString parentEntry = QStringLiteral("..");

// Folders in the order a user looks for them: by name, capitals aside.
const QDir::SortFlags byName = QDir::Name | QDir::IgnoreCase;

// Qt lists a folder it cannot open as an empty one; only opening it tells the two apart.
bool canList(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

// The listed drive that holds the folder: the longest root the folder lies under, or -1.
int driveOf(const QComboBox* drives, const QString& folder)
{
    int found = -1;
    qsizetype longest = -1;
    for (int i = 0; i < drives->count(); ++i) {
        const QString root = drives->itemText(i);
        // "/media/usb" holds "/media/usb/x" but not "/media/usb2".
        const bool holds = folder == root || folder.startsWith(root.endsWith(u'/') ? root : root + u'/');
        if (holds && root.size() > longest) {
            found = i;
            longest = root.size();
        }
    }
    return found;
}

} // namespace

QString JoinPath(const QString& folder, const QString& name)
{
    QString path = folder + u'/' + name;
    while (path.contains(QStringLiteral("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

QString BrowseStartFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString saved = GetSetting(QStringLiteral("Browse"), QStringLiteral("StartDir"), programFolder);
    return QFileInfo(saved).isDir() ? saved : programFolder;
}

QStringList ReadyDrives()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Containers mount single files too; those are no drives to browse.
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir())
            roots << volume.rootPath();
    }
    roots.removeDuplicates();
    roots.sort();
    return roots;
}

bool DriveReady(const QString& root)
{
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QDir(root).isReadable() && canList(root);
}

EnterKey::EnterKey(QWidget* target, std::function<void()> action) : QObject(target), m_action(std::move(action))
{
    target->installEventFilter(this);
}

bool EnterKey::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    m_action();
    return true;
}

FolderLists::FolderLists(QWidget* owner)
    : QObject(owner), m_drives(new QComboBox(owner)), m_folders(new QListWidget(owner)), m_label(new QLabel(owner))
{
    m_drives->setObjectName(QStringLiteral("Drive1"));
    {
        // Filling the list picks its first drive, which must not move the lists to that drive.
        const QSignalBlocker quiet(m_drives);
        m_drives->addItems(ReadyDrives());
    }
    connect(m_drives, &QComboBox::currentTextChanged, this,
            [this](const QString& root) { RunAction([this, &root] { setDrive(root); }); });

    m_label->setObjectName(QStringLiteral("lblFolder"));
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setUniformItemSizes(true);
    // Activation is a double-click (or a single click where the desktop asks for that).
    connect(m_folders, &QListWidget::itemActivated, this, [this](const QListWidgetItem* item) { openItem(item); });
    new EnterKey(m_folders, [this] { openItem(m_folders->currentItem()); });
}

QString FolderLists::Drive() const
{
    const int drive = driveOf(m_drives, m_folder);
    return drive >= 0 ? m_drives->itemText(drive) : QString();
}

void FolderLists::openItem(const QListWidgetItem* item)
{
    if (!item)
        return;
    const QString name = item->text();
    RunAction([this, &name] {
        setFolder(name == parentEntry ? QFileInfo(m_folder).absolutePath() : JoinPath(m_folder, name));
    });
}

bool FolderLists::setFolder(const QString& folder)
{
    const QFileInfo info(folder);
    // A folder that is gone (or a file) leaves the lists where they are.
    if (!info.isDir())
        return false;
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    m_label->setText(m_folder);

    const int drive = driveOf(m_drives, m_folder);
    if (drive >= 0) {
        // The drive list follows the folder; only a drive the user picks moves the folder.
        const QSignalBlocker quiet(m_drives);
        m_drives->setCurrentIndex(drive);
    }
    const QDir dir(m_folder);
    const bool atRoot = dir.isRoot() || (drive >= 0 && m_drives->itemText(drive) == m_folder);
    m_folders->clear();
    if (!atRoot)
        m_folders->addItem(parentEntry);
    m_folders->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, byName));
    emit FolderChanged(m_folder);
    return true;
}

void FolderLists::setDrive(const QString& root)
{
    if (DriveReady(root)) {
        setFolder(root);
        return;
    }
    MsgBox(QStringLiteral("Drive not ready"));
    // Back to the browser's start folder, which is always one that exists.
    setFolder(BrowseStartFolder());
}
