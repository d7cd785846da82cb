#include "gui/import/frmBrowse.h"

#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/controls/ucImageViewer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStringListModel>

#include <dirent.h>

#include <functional>
#include <utility>

namespace {

const QString section = QStringLiteral("Browse");
const QString startDirKey = QStringLiteral("StartDir");
const QString parentEntry = QStringLiteral("..");

// Folders and files in the order a user looks for them: by name, capitals aside.
const QDir::SortFlags byName = QDir::Name | QDir::IgnoreCase;

// Enter in the folder list opens the folder and in the pattern box applies the pattern; the dialog
// would otherwise take it for a press of OK as well.
class EnterKey final : public QObject
{
public:
    EnterKey(QWidget* target, std::function<void()> action) : QObject(target), m_action(std::move(action))
    {
        target->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};

// The folder, one "/" and the name; a folder at the root already ends in "/".
QString joinPath(const QString& folder, const QString& name)
{
    QString path = folder + u'/' + name;
    while (path.contains(QStringLiteral("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    return path;
}

// The folder the window opens in, and goes back to after a drive that cannot be read.
QString startFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString saved = GetSetting(section, startDirKey, programFolder);
    return QFileInfo(saved).isDir() ? saved : programFolder;
}

// Qt lists a folder it cannot open as an empty one; only opening it tells the two apart.
bool canList(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return false;
    ::closedir(dir);
    return true;
}

// Whether a drive chosen in the list can be read now: still mounted and ready, and its root opens.
bool driveReady(const QString& root)
{
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QDir(root).isReadable() && canList(root);
}

// The mounted volumes that can be read, by their roots.
QStringList readyDrives()
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

// The name filters of a pattern such as "*.BMP;*.GIF"; none when any part is no file name pattern.
QStringList nameFilters(const QString& pattern)
{
    QStringList filters;
    for (const QString& part : pattern.split(u';', Qt::SkipEmptyParts)) {
        const QString filter = part.trimmed();
        if (filter.isEmpty())
            continue;
        const QRegularExpression check(QRegularExpression::wildcardToRegularExpression(filter));
        if (filter.contains(u'/') || !check.isValid())
            return {};
        filters << filter;
    }
    return filters;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* item = new QPushButton(caption, parent);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

} // namespace

const QStringList& frmBrowse::Patterns()
{
    static const QStringList patterns{QStringLiteral("*.BMP;*.GIF;*.JPG"),
                                      QStringLiteral("*.JPG"),
                                      QStringLiteral("*.GIF"),
                                      QStringLiteral("*.BMP"),
                                      QStringLiteral("*.ICO"),
                                      QStringLiteral("*.CUR"),
                                      QStringLiteral("*.WMF"),
                                      QStringLiteral("*.*")};
    return patterns;
}

frmBrowse::frmBrowse(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBrowse"));
    setWindowTitle(QStringLiteral("Browse"));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    connect(Drive1, &QComboBox::currentTextChanged, this,
            [this](const QString& root) { RunAction([this, &root] { setDrive(root); }); });

    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    Dir1->setUniformItemSizes(true);
    const auto openFolder = [this](const QListWidgetItem* item) {
        if (!item)
            return;
        const QString name = item->text();
        RunAction([this, &name] {
            setFolder(name == parentEntry ? QFileInfo(m_folder).absolutePath() : joinPath(m_folder, name));
        });
    };
    // Activation is a double-click (or a single click where the desktop asks for that).
    connect(Dir1, &QListWidget::itemActivated, this, openFolder);
    new EnterKey(Dir1, [this, openFolder] { openFolder(Dir1->currentItem()); });

    m_files = new QStringListModel(this);
    File1 = new QListView(this);
    File1->setObjectName(QStringLiteral("File1"));
    // Thousands of names of one height are laid out without measuring each.
    File1->setUniformItemSizes(true);
    File1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    File1->setModel(m_files);
    connect(File1, &QListView::clicked, this,
            [this](const QModelIndex& index) { RunAction([this, &index] { fileClicked(index.data().toString()); }); });
    // A double-click on a file chooses it, as OK does; a single click only previews, on every desktop.
    connect(File1, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        File1->setCurrentIndex(index);
        RunAction([this] { cmdOK_Click(); });
    });

    cboFiletypes = new QComboBox(this);
    cboFiletypes->setObjectName(QStringLiteral("cboFiletypes"));
    cboFiletypes->setEditable(true);
    // A typed pattern is used, not added to the eight offered.
    cboFiletypes->setInsertPolicy(QComboBox::NoInsert);
    connect(cboFiletypes, &QComboBox::textActivated, this,
            [this](const QString& pattern) { RunAction([this, &pattern] { setPattern(pattern); }); });
    new EnterKey(cboFiletypes, [this] { RunAction([this] { setPattern(cboFiletypes->currentText()); }); });
    auto* fileTypeLabel = new QLabel(QStringLiteral("File Type"), this);
    fileTypeLabel->setObjectName(QStringLiteral("lblFileType"));
    fileTypeLabel->setBuddy(cboFiletypes);

    ucImageViewer1 = new ucImageViewer(this);
    ucImageViewer1->setObjectName(QStringLiteral("ucImageViewer1"));
    // The viewer refuses files by its width: a narrow one would refuse most photographs.
    ucImageViewer1->setMinimumSize(240, 180);

    cmdOK = button(this, "cmdOK", QStringLiteral("&OK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { RunAction([this] { cmdOK_Click(); }); });
    cmdCancel = button(this, "cmdCancel", QStringLiteral("&Cancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { RunAction([this] { cmdCancel_Click(); }); });

    auto* fileType = new QHBoxLayout;
    fileType->addWidget(fileTypeLabel);
    fileType->addWidget(cboFiletypes, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblFolder, 0, 0, 1, 2);
    layout->addWidget(Dir1, 1, 0);
    layout->addWidget(File1, 1, 1);
    layout->addWidget(Drive1, 2, 0);
    layout->addLayout(fileType, 2, 1);
    layout->addWidget(ucImageViewer1, 0, 2, 3, 1);
    layout->addLayout(buttons, 3, 0, 1, 3);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setColumnStretch(2, 2);
    layout->setRowStretch(1, 1);
    resize(760, 420);

    RestoreFormPosition(this);
    cboFiletypes->addItems(Patterns());
    cboFiletypes->setCurrentIndex(0);
    setPattern(Patterns().first());
    {
        // Filling the list picks its first drive, which must not move the window to that drive.
        const QSignalBlocker quiet(Drive1);
        Drive1->addItems(readyDrives());
    }
    setFolder(startFolder());
    InstallHelpKey(this, HelpContextID);
}

frmBrowse::~frmBrowse() = default;

void frmBrowse::setFolder(const QString& folder)
{
    const QFileInfo info(folder);
    // A folder that is gone (or a file) leaves the window where it is.
    if (!info.isDir())
        return;
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    lblFolder->setText(m_folder);
    clearPreview();

    const int drive = driveOf(Drive1, m_folder);
    if (drive >= 0) {
        // The drive list follows the folder; only a drive the user picks moves the folder.
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentIndex(drive);
    }
    const QDir dir(m_folder);
    const bool atRoot = dir.isRoot() || (drive >= 0 && Drive1->itemText(drive) == m_folder);
    Dir1->clear();
    if (!atRoot)
        Dir1->addItem(parentEntry);
    Dir1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, byName));
    listFiles();
}

QStringList frmBrowse::ListedFiles() const
{
    return m_files->stringList();
}

void frmBrowse::done(int result)
{
    // Escape and the window's close button choose nothing, as Cancel does.
    if (result != Accepted)
        m_selectedFile.clear();
    if (!m_folder.isEmpty())
        SaveSetting(section, startDirKey, m_folder);
    SaveFormPosition(this);
    QDialog::done(result);
}

void frmBrowse::setDrive(const QString& root)
{
    if (driveReady(root)) {
        setFolder(root);
        return;
    }
    MsgBox(QStringLiteral("Drive not ready"));
    // Back to where the window opened; startFolder only offers folders that exist.
    setFolder(startFolder());
}

void frmBrowse::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    listFiles();
}

void frmBrowse::listFiles()
{
    const QStringList filters = nameFilters(m_pattern);
    // No filters would mean every file to QDir; a pattern with nothing usable lists nothing.
    if (filters.isEmpty() || m_folder.isEmpty()) {
        m_files->setStringList({});
        return;
    }
    // Without QDir::CaseSensitive the filters match whatever the capitals, so "*.JPG" finds "x.jpg".
    m_files->setStringList(QDir(m_folder).entryList(filters, QDir::Files, byName));
}

void frmBrowse::clearPreview()
{
    // The preview belongs to a file of the folder left behind.
    ucImageViewer1->Clear();
}

void frmBrowse::fileClicked(const QString& name)
{
    const BusyPointer busy;
    ucImageViewer1->setFileName(joinPath(m_folder, name));
}

void frmBrowse::cmdOK_Click()
{
    const QModelIndexList chosen = File1->selectionModel()->selectedIndexes();
    if (!chosen.isEmpty())
        m_selectedFile = joinPath(m_folder, chosen.first().data().toString());
    accept();
}

void frmBrowse::cmdCancel_Click()
{
    m_selectedFile.clear();
    reject();
}
