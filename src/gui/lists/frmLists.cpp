#include "gui/lists/frmLists.h"

#include "core/Failure.h"
#include "core/Messages.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/controls/TreeTargets.h"
#include "gui/lists/frmAdd.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"
#include "lists/cCategories.h"
#include "lists/cLocations.h"
#include "lists/cStates.h"
#include "lists/cStorageDevices.h"
#include "lists/cStorageLocations.h"
#include "lists/cSubjects.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>

namespace {

int px(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// Pictures of the main window's tree image list: a root per tab, then every entry, and the entry
// while selected.
constexpr short EntryImage = 4;
constexpr short SelectedEntryImage = 5;

struct TabText
{
    const char* nodeCaption;
    const char* subNodeCaption;
    const char* root;
    short rootImage;
    const char* kind;     // in the refusal to delete a top-level entry
    const char* children; // the same, plural of its dependent entries
    const char* top;      // the tool tips' words
    const char* dependent;
};

// clang-format off
const TabText tabs[] = {
    {"Categories", "Subjects", "Category", 1, "Category", "Subjects", "category", "subject"},
    {"States", "Locations", "States", 2, "State", "Locations", "state", "location"},
    {"Storage Devices", "DeviceIDs", "Storage Devices", 3, "Storage Device", "Storage IDs", "storage device",
     "storage location"},
};
// clang-format on

QString text(const char* latin)
{
    return QString::fromLatin1(latin);
}

// The name of each list's current record, and the parent id of a dependent one.
QString& nameOf(cCategories& list)
{
    return list.Category().Category;
}
QString& nameOf(cStates& list)
{
    return list.State().State;
}
QString& nameOf(cStorageDevices& list)
{
    return list.StorageDevice().StorageDevice;
}
QString& nameOf(cSubjects& list)
{
    return list.Subject().Subject;
}
QString& nameOf(cLocations& list)
{
    return list.Location().Location;
}
QString& nameOf(cStorageLocations& list)
{
    return list.StorageLocation().StorageLocation;
}
QString idOf(cCategories& list)
{
    return list.Category().CategoryID;
}
QString idOf(cStates& list)
{
    return list.State().StateID;
}
QString idOf(cStorageDevices& list)
{
    return list.StorageDevice().StorageDeviceID;
}
QString& parentIdOf(cSubjects& list)
{
    return list.Subject().CategoryID;
}
QString& parentIdOf(cLocations& list)
{
    return list.Location().StateID;
}
QString& parentIdOf(cStorageLocations& list)
{
    return list.StorageLocation().StorageDeviceID;
}

bool findFirst(cCategories& list, const QString& name)
{
    return list.FindFirstCategory(QStringLiteral("Category"), name);
}
bool findFirst(cStates& list, const QString& name)
{
    return list.FindFirstState(QStringLiteral("State"), name);
}
bool findFirst(cStorageDevices& list, const QString& name)
{
    return list.FindFirstStorageDevice(QStringLiteral("StorageDevice"), name);
}
bool findFirst(cSubjects& list, const QString& parentName, const QString& name)
{
    return list.FindFirstSubject(parentName, name);
}
bool findFirst(cLocations& list, const QString& parentName, const QString& name)
{
    return list.FindFirstLocation(parentName, name);
}
bool findFirst(cStorageLocations& list, const QString& parentName, const QString& name)
{
    return list.FindFirstStorageLocation(parentName, name);
}

// Abandons the list's pending add or edit unless it was stored, so that a failed save leaves
// nothing behind for the next command to store.
template <typename List> class PendingChange
{
public:
    explicit PendingChange(List& list) : m_list(list) {}
    ~PendingChange()
    {
        if (!m_stored)
            m_list.CancelUpdate();
    }
    PendingChange(const PendingChange&) = delete;
    PendingChange& operator=(const PendingChange&) = delete;

    void stored() { m_stored = true; }

private:
    List& m_list;
    bool m_stored = false;
};

// Stores a new or renamed entry: the name (and, for a dependent entry, its parent's id) on the
// list's pending row.
template <typename List> void store(List& list, const QString& name)
{
    PendingChange<List> pending(list);
    nameOf(list) = name;
    list.setIsDirty(true);
    list.Save();
    pending.stored();
}

template <typename List> void rename(List& list, const QString& name)
{
    list.Edit();
    store(list, name);
}

template <typename Child, typename Parent> void addChild(Child& child, Parent& parent, const QString& name)
{
    child.Add();
    parentIdOf(child) = idOf(parent);
    store(child, name);
}

} // namespace

frmLists* frmLists::make(QWidget* parent)
{
    std::unique_ptr<frmLists> window;
    if (!RunAction([&] { window = std::make_unique<frmLists>(parent); }))
        return nullptr;
    return window.release();
}

frmLists::frmLists(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmLists"));
    setWindowTitle(QStringLiteral("Lists"));
    createControls();
    InstallHelpKey(this, HelpContextID);

    m_States = std::make_unique<cStates>();
    m_Locations = std::make_unique<cLocations>();
    m_Categories = std::make_unique<cCategories>();
    m_Subjects = std::make_unique<cSubjects>();
    m_StorageDevices = std::make_unique<cStorageDevices>();
    m_StorageLocations = std::make_unique<cStorageLocations>();

    connect(TabStrip1, &QTabBar::currentChanged, this, [this] { RunAction([this] { TabStrip1_Click(); }); });
    // The selection is read once it has changed, by mouse or by key, never before.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ReadSelection(current); });
    for (int index = 0; index < 2; ++index) {
        connect(cmdAdd[index], &QPushButton::clicked, this,
                [this, index] { RunAction([this, index] { cmdAdd_Click(index); }); });
        connect(cmdEdit[index], &QPushButton::clicked, this,
                [this, index] { RunAction([this, index] { cmdEdit_Click(index); }); });
        connect(cmdDelete[index], &QPushButton::clicked, this,
                [this, index] { RunAction([this, index] { cmdDelete_Click(index); }); });
    }
    connect(cmdClose, &QPushButton::clicked, this, [this] { RunAction([this] { cmdClose_Click(); }); });

    RunAction([this] { TabStrip1_Click(); });
}

frmLists::~frmLists() = default;

void frmLists::createControls()
{
    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);
    // The tabs are shown before the window is connected to them: no tab change runs yet.
    for (const char* caption : {"Ca&tegories", "State&s", "Stora&ge Devices"})
        TabStrip1->addTab(text(caption));
    m_tabPage = new QFrame(this);
    m_tabPage->setFrameShape(QFrame::StyledPanel);
    m_tabPage->setFrameShadow(QFrame::Raised);

    TreeView1 = MakeKeyedTree(this);
    TreeView1->setIndentation(20);
    m_nodes = std::make_unique<TreeNodes>(TreeView1);

    fraNode = new QGroupBox(this);
    fraNode->setObjectName(QStringLiteral("fraNode"));
    fraSubNode = new QGroupBox(this);
    fraSubNode->setObjectName(QStringLiteral("fraSubNode"));
    const char* addCaptions[] = {"&Add ", "A&dd"};
    const char* editCaptions[] = {"&Edit", "Ed&it"};
    const char* deleteCaptions[] = {"De&lete", "Dele&te"};
    for (int index = 0; index < 2; ++index) {
        QGroupBox* frame = index == 0 ? fraNode : fraSubNode;
        const auto button = [&](const char* name, const char* caption) {
            auto* item = new QPushButton(text(caption), frame);
            item->setObjectName(QStringLiteral("%1(%2)").arg(text(name)).arg(index));
            item->setAutoDefault(false);
            return item;
        };
        cmdAdd[index] = button("cmdAdd", addCaptions[index]);
        cmdEdit[index] = button("cmdEdit", editCaptions[index]);
        cmdDelete[index] = button("cmdDelete", deleteCaptions[index]);
    }
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setToolTip(QStringLiteral("Close this form"));
    cmdClose->setAutoDefault(false);

    setMinimumSize(px(6450), px(4800));
    resize(px(6360), px(4815));
}

void frmLists::showEvent(QShowEvent* event)
{
    // The frame that holds the window exists only now.
    if (!m_placed) {
        m_placed = true;
        RunAction([this] { RestoreFormPosition(this); });
    }
    QWidget::showEvent(event);
}

void frmLists::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void frmLists::layoutControls()
{
    if (isMinimized())
        return;
    // The tab strip and its tree take what the column of buttons on the right leaves.
    const int margin = 8;
    const int tabWidth = width() - px(2000);
    const int tabHeight = height() - px(500);
    const int barHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(margin, margin, tabWidth, barHeight);
    m_tabPage->setGeometry(margin, margin + barHeight - 1, tabWidth, tabHeight - barHeight + 1);
    const int treeTop = margin + barHeight + 4;
    const int treeHeight = std::min(int(tabHeight * 0.99) - px(420), margin + tabHeight - 4 - treeTop);
    TreeView1->setGeometry(margin + px(110), treeTop, tabWidth - px(220), treeHeight);

    const int column = width() - px(1700);
    const int frameWidth = px(1700) - margin;
    const int buttonWidth = frameWidth - 2 * 10;
    constexpr int buttonHeight = 26;
    constexpr int frameHeight = 24 + 3 * (buttonHeight + 6);
    for (int index = 0; index < 2; ++index) {
        QGroupBox* frame = index == 0 ? fraNode : fraSubNode;
        frame->setGeometry(column, margin + index * (frameHeight + margin), frameWidth, frameHeight);
        cmdAdd[index]->setGeometry(10, 22, buttonWidth, buttonHeight);
        cmdEdit[index]->setGeometry(10, 22 + buttonHeight + 6, buttonWidth, buttonHeight);
        cmdDelete[index]->setGeometry(10, 22 + 2 * (buttonHeight + 6), buttonWidth, buttonHeight);
    }
    cmdClose->setGeometry(width() - px(1550), margin + tabHeight - buttonHeight, buttonWidth, buttonHeight);
}

void frmLists::closeEvent(QCloseEvent* event)
{
    SaveFormPosition(this);
    m_States.reset();
    m_Locations.reset();
    m_Categories.reset();
    m_Subjects.reset();
    m_StorageDevices.reset();
    m_StorageLocations.reset();
    event->accept();
}

QString frmLists::rootText() const
{
    return text(tabs[m_tab].root);
}

void frmLists::TabStrip1_Click()
{
    m_tab = std::max(0, TabStrip1->currentIndex());
    // Nothing chosen on another tab stays chosen here.
    m_ParentKey.clear();
    fraNode->setTitle(text(tabs[m_tab].nodeCaption));
    fraSubNode->setTitle(text(tabs[m_tab].subNodeCaption));
    SetToolTips();
    FillTree();
}

void frmLists::FillTree()
{
    const QString parentKey = m_ParentKey;
    const QString root = rootText();
    // No name outlives the nodes it was read from, even when the fill fails half-way.
    ReadSelection(nullptr);
    {
        // One read of the catalogue for the whole tab: every fill sees the same lists, and the engine
        // takes its lock once rather than once for each of the hundreds of queries.
        Transaction reading(gDB->DB());
        const QSignalBlocker quiet(TreeView1);
        m_nodes->Clear();
        QTreeWidgetItem* rootNode = m_nodes->BeginTree(root, root, tabs[m_tab].rootImage);
        // The view shows the tree once it is built, or as far as it got when a fill failed.
        const struct Show
        {
            TreeNodes& nodes;
            ~Show() { nodes.EndTree(); }
        } show{*m_nodes};
        const auto fillDependents = [&](auto& topLevel, auto& dependent) {
            topLevel.FillTreeView(*m_nodes, root, EntryImage, SelectedEntryImage);
            const int count = rootNode->childCount();
            for (int i = 0; i < count; ++i) {
                try {
                    dependent.FillTreeView(*m_nodes, rootNode->child(i)->text(0), EntryImage, SelectedEntryImage);
                } catch (const Failure& failure) {
                    // A top-level node that is not there is passed over.
                    if (failure.Number() != ErrorNumber::NoSuchKey)
                        throw;
                }
            }
        };
        switch (m_tab) {
        case 0:
            fillDependents(*m_Categories, *m_Subjects);
            break;
        case 1:
            fillDependents(*m_States, *m_Locations);
            break;
        default:
            fillDependents(*m_StorageDevices, *m_StorageLocations);
            break;
        }
        reading.commit();
    }
    // The names follow what is shown: the entry last worked on, when it is still there, or nothing.
    m_ParentKey.clear();
    QTreeWidgetItem* parent = parentKey.isEmpty() ? nullptr : m_nodes->Node(parentKey);
    if (parent) {
        parent->setExpanded(true);
        TreeView1->setCurrentItem(parent);
        TreeView1->scrollToItem(parent);
    } else {
        TreeView1->setCurrentItem(nullptr);
    }
    ReadSelection(TreeView1->currentItem());
}

void frmLists::ReadSelection(QTreeWidgetItem* node)
{
    m_RootText.clear();
    m_ParentName.clear();
    m_ChildName.clear();
    m_ParentKey.clear();
    m_level = Level::None;
    // The names come from the nodes themselves, so a name may hold any character, "\" included.
    if (node && node->parent()) {
        QTreeWidgetItem* parent = node->parent();
        if (!parent->parent()) {
            m_RootText = parent->text(0);
            m_ParentName = node->text(0);
            m_ParentKey = TreeNodes::Key(node);
            m_level = Level::TopLevel;
        } else {
            m_RootText = parent->parent()->text(0);
            m_ParentName = parent->text(0);
            m_ChildName = node->text(0);
            m_ParentKey = TreeNodes::Key(parent);
            m_level = Level::Dependent;
        }
    }
    SetButtons();
}

void frmLists::SetButtons()
{
    cmdAdd[0]->setEnabled(m_level == Level::None);
    cmdEdit[0]->setEnabled(m_level == Level::TopLevel);
    cmdDelete[0]->setEnabled(m_level == Level::TopLevel);
    cmdAdd[1]->setEnabled(m_level == Level::TopLevel);
    cmdEdit[1]->setEnabled(m_level == Level::Dependent);
    cmdDelete[1]->setEnabled(m_level == Level::Dependent);
}

void frmLists::SetToolTips()
{
    const QString top = text(tabs[m_tab].top);
    const QString dependent = text(tabs[m_tab].dependent);
    cmdAdd[0]->setToolTip(QStringLiteral("Add a ") + top);
    cmdEdit[0]->setToolTip(QStringLiteral("Edit this ") + top);
    cmdDelete[0]->setToolTip(QStringLiteral("Delete this ") + top);
    cmdAdd[1]->setToolTip(QStringLiteral("Add a ") + dependent);
    cmdEdit[1]->setToolTip(QStringLiteral("Edit this ") + dependent);
    cmdDelete[1]->setToolTip(QStringLiteral("Delete this ") + dependent);
}

std::optional<QString> frmLists::askName(const QString& title, const QString& item)
{
    frmAdd dialog(this);
    dialog.setTitle(title);
    dialog.setItem(item);
    dialog.exec();
    if (dialog.Cancelled())
        return std::nullopt;
    return dialog.Item();
}

void frmLists::notInList(const QString& name)
{
    MsgBox(QStringLiteral("\"") + name + QStringLiteral("\" is no longer in the list."), MsgButtons::OK,
           MsgIcon::Exclamation);
    FillTree();
}

bool frmLists::findTopLevel(const QString& name)
{
    bool found = false;
    switch (m_tab) {
    case 0:
        found = findFirst(*m_Categories, name);
        break;
    case 1:
        found = findFirst(*m_States, name);
        break;
    default:
        found = findFirst(*m_StorageDevices, name);
        break;
    }
    if (!found)
        notInList(name);
    return found;
}

bool frmLists::findDependent(const QString& parentName, const QString& childName)
{
    // The parent is looked for first: the dependent lists take an unknown parent for an error.
    if (!findTopLevel(parentName))
        return false;
    bool found = false;
    switch (m_tab) {
    case 0:
        found = findFirst(*m_Subjects, parentName, childName);
        break;
    case 1:
        found = findFirst(*m_Locations, parentName, childName);
        break;
    default:
        found = findFirst(*m_StorageLocations, parentName, childName);
        break;
    }
    if (!found)
        notInList(childName);
    return found;
}

void frmLists::cmdAdd_Click(int index)
{
    const QGroupBox* frame = index == 0 ? fraNode : fraSubNode;
    const std::optional<QString> name = askName(QStringLiteral("Add ") + frame->title(), {});
    if (!name || name->isEmpty())
        return;
    try {
        if (index == 0)
            addTopLevel(*name);
        else
            addDependent(*name);
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::DuplicateValue)
            throw;
        MsgBox(QStringLiteral("There is already an entry with this name - duplicates are not allowed."), MsgButtons::OK,
               MsgIcon::Critical, QStringLiteral("Error Adding Entry"));
    }
}

void frmLists::addTopLevel(const QString& name)
{
    switch (m_tab) {
    case 0:
        m_Categories->Add();
        store(*m_Categories, name);
        break;
    case 1:
        m_States->Add();
        store(*m_States, name);
        break;
    default:
        m_StorageDevices->Add();
        store(*m_StorageDevices, name);
        break;
    }
    // The new entry is shown selected, ready for its dependent entries.
    m_ParentKey = TreeNodeKey({rootText(), name});
    FillTree();
}

void frmLists::addDependent(const QString& name)
{
    const QString parentName = m_ParentName;
    if (!findTopLevel(parentName))
        return;
    switch (m_tab) {
    case 0:
        addChild(*m_Subjects, *m_Categories, name);
        break;
    case 1:
        addChild(*m_Locations, *m_States, name);
        break;
    default:
        addChild(*m_StorageLocations, *m_StorageDevices, name);
        break;
    }
    FillTree();
}

void frmLists::cmdEdit_Click(int index)
{
    const QString current = index == 0 ? m_ParentName : m_ChildName;
    const std::optional<QString> name = askName(QStringLiteral("Edit ") + current, current);
    // An entry without a name would hide its whole tab: an emptied name changes nothing.
    if (!name || name->isEmpty())
        return;
    if (index == 0)
        renameTopLevel(*name);
    else
        renameDependent(*name);
}

void frmLists::renameTopLevel(const QString& name)
{
    if (!findTopLevel(m_ParentName))
        return;
    switch (m_tab) {
    case 0:
        rename(*m_Categories, name);
        break;
    case 1:
        rename(*m_States, name);
        break;
    default:
        rename(*m_StorageDevices, name);
        break;
    }
    // The renamed entry is found again under its new name.
    m_ParentKey = TreeNodeKey({rootText(), name});
    FillTree();
}

void frmLists::renameDependent(const QString& name)
{
    if (!findDependent(m_ParentName, m_ChildName))
        return;
    switch (m_tab) {
    case 0:
        rename(*m_Subjects, name);
        break;
    case 1:
        rename(*m_Locations, name);
        break;
    default:
        rename(*m_StorageLocations, name);
        break;
    }
    FillTree();
}

void frmLists::cmdDelete_Click(int index)
{
    try {
        if (index == 0)
            deleteTopLevel();
        else
            deleteDependent();
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::RowStillReferenced)
            throw;
        const TabText& tab = tabs[m_tab];
        const QString refusal = index == 0 ? QString(QStringLiteral("You must remove all ") + text(tab.children) +
                                                     QStringLiteral(" before you can delete this ") + text(tab.kind))
                                           : QString(QStringLiteral("You must remove ") + m_ChildName +
                                                     QStringLiteral(" from all Photos before it can be deleted "));
        MsgBox(refusal, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Delete Error"));
    }
}

void frmLists::deleteTopLevel()
{
    if (!findTopLevel(m_ParentName))
        return;
    switch (m_tab) {
    case 0:
        m_Categories->Delete();
        break;
    case 1:
        m_States->Delete();
        break;
    default:
        m_StorageDevices->Delete();
        break;
    }
    FillTree();
}

void frmLists::deleteDependent()
{
    if (!findDependent(m_ParentName, m_ChildName))
        return;
    switch (m_tab) {
    case 0:
        m_Subjects->Delete(m_ParentName, m_ChildName);
        break;
    case 1:
        m_Locations->Delete(m_ParentName, m_ChildName);
        break;
    default:
        m_StorageLocations->Delete(m_ParentName, m_ChildName);
        break;
    }
    FillTree();
}

void frmLists::cmdClose_Click()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}
