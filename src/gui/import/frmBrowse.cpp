#include "gui/import/frmBrowse.h"

#include "gui/controls/NamedControls.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "gui/controls/FolderLists.h"
#include "gui/controls/ucImageViewer.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringListModel>

namespace {

const QString section = QStringLiteral("Browse");
const QString startDirKey = QStringLiteral("StartDir");

// Files in the order a user looks for them: by name, capitals aside.
const QDir::SortFlags byName = QDir::Name | QDir::IgnoreCase;

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

    m_lists = new FolderLists(this);
    // Another folder: its files are listed and the preview of a file left behind goes.
    connect(m_lists, &FolderLists::FolderChanged, this, [this] {
        clearPreview();
        listFiles();
    });

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

    auto* fileType = new QHBoxLayout;
    fileType->addWidget(fileTypeLabel);
    fileType->addWidget(cboFiletypes, 1);
    QHBoxLayout* buttons = OkCancelRow(
        this, cmdOK, cmdCancel, [this] { cmdOK_Click(); }, [this] { cmdCancel_Click(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_lists->lblFolder(), 0, 0, 1, 2);
    layout->addWidget(m_lists->Dir1(), 1, 0);
    layout->addWidget(File1, 1, 1);
    layout->addWidget(m_lists->Drive1(), 2, 0);
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
    setFolder(BrowseStartFolder());
    InstallHelpKey(this, HelpContextID);
}

frmBrowse::~frmBrowse() = default;

QString frmBrowse::Folder() const
{
    return m_lists->Folder();
}

void frmBrowse::setFolder(const QString& folder)
{
    m_lists->setFolder(folder);
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
    if (!Folder().isEmpty())
        SaveSetting(section, startDirKey, Folder());
    SaveFormPosition(this);
    QDialog::done(result);
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
    if (filters.isEmpty() || Folder().isEmpty()) {
        m_files->setStringList({});
        return;
    }
    // Without QDir::CaseSensitive the filters match whatever the capitals, so "*.JPG" finds "x.jpg".
    m_files->setStringList(QDir(Folder()).entryList(filters, QDir::Files, byName));
}

void frmBrowse::clearPreview()
{
    // The preview belongs to a file of the folder left behind.
    ucImageViewer1->Clear();
}

void frmBrowse::fileClicked(const QString& name)
{
    const BusyPointer busy;
    ucImageViewer1->setFileName(JoinPath(Folder(), name));
}

void frmBrowse::cmdOK_Click()
{
    const QModelIndexList chosen = File1->selectionModel()->selectedIndexes();
    if (!chosen.isEmpty())
        m_selectedFile = JoinPath(Folder(), chosen.first().data().toString());
    accept();
}

void frmBrowse::cmdCancel_Click()
{
    m_selectedFile.clear();
    reject();
}
