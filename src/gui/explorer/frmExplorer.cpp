#include "gui/explorer/frmExplorer.h"

#include "core/Settings.h"
#include "data/Criteria.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/controls/TreeTargets.h"
#include "gui/explorer/InventorySheet.h"
#include "gui/explorer/PhotoListModel.h"
#include "gui/explorer/ThumbnailCache.h"
#include "gui/import/CsvCommands.h"
#include "gui/photos/frmViewPhoto.h"
#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainFrame.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/PhotoEditor.h"
#include "lists/ListRecordset.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString startUp = QStringLiteral("StartUp");
const QString splitterKey = QStringLiteral("imgSplitter");
const QString countText = QStringLiteral("Number of Photos= ");
const QString hint = QStringLiteral("Double click on a Photo ID to see the photo in the Photos View");

int px(double twips)
{
    return int((twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

constexpr double defaultSplitter = 2000;
constexpr double splitterLimit = 1500;
constexpr int hintLimit = 20;
constexpr short EntryImage = 4;
constexpr short SelectedEntryImage = 5;
constexpr int IdRole = Qt::UserRole + 1;

// The three hierarchies, in the order of their top-level nodes.
enum Top { CategoriesTop, StatesTop, StorageDevicesTop };

struct Hierarchy
{
    const char* key;
    const char* text;
    short image;
    // The top-level node counts its photos; its slide show opens them.
    const char* count;
    const char* photos;
    // An entry of the second level and one of the third list their photos.
    const char* entryPhotos;
    const char* childPhotos;
};

// clang-format off
const Hierarchy hierarchies[] = {
    {"Categories", "Categories", 1,
     "SELECT COUNT(DISTINCT PhotoID) FROM PhotosSubjects",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE PhotoID IN (SELECT PhotoID FROM PhotosSubjects) "
     "ORDER BY PhotoID",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE PhotoID IN (SELECT PhotosSubjects.PhotoID FROM "
     "PhotosSubjects INNER JOIN Subjects ON Subjects.SubjectID = PhotosSubjects.SubjectID WHERE Subjects.CategoryID = ?) "
     "ORDER BY PhotoID",
     "SELECT Photos.PhotoID, Photos.Caption, Photos.FileName FROM Photos INNER JOIN PhotosSubjects ON "
     "Photos.PhotoID = PhotosSubjects.PhotoID WHERE PhotosSubjects.SubjectID = ? ORDER BY Photos.PhotoID"},
    {"States", "States", 2,
     "SELECT COUNT(*) FROM Photos WHERE LocationID IS NOT NULL",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE LocationID IS NOT NULL ORDER BY PhotoID",
     "SELECT Photos.PhotoID, Photos.Caption, Photos.FileName FROM Photos INNER JOIN Locations ON "
     "Locations.LocationID = Photos.LocationID WHERE Locations.StateID = ? ORDER BY Photos.PhotoID",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE LocationID = ? ORDER BY PhotoID"},
    {"StorageDevices", "Storage Devices", 3,
     "SELECT COUNT(*) FROM Photos WHERE StorageLocationID IS NOT NULL",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE StorageLocationID IS NOT NULL ORDER BY PhotoID",
     "SELECT Photos.PhotoID, Photos.Caption, Photos.FileName FROM Photos INNER JOIN StorageLocations ON "
     "StorageLocations.StorageLocationID = Photos.StorageLocationID WHERE StorageLocations.StorageDeviceID = ? "
     "ORDER BY Photos.PhotoID",
     "SELECT PhotoID, Caption, FileName FROM Photos WHERE StorageLocationID = ? ORDER BY PhotoID"},
};
// clang-format on

QString text(const char* latin)
{
    return QString::fromLatin1(latin);
}

// The node's depth (1 for a top-level node) and the position of its top-level node.
std::pair<int, int> placeOf(const QTreeWidgetItem* node)
{
    int depth = 1;
    const QTreeWidgetItem* top = node;
    while (top->parent()) {
        top = top->parent();
        ++depth;
    }
    return {depth, top->treeWidget()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(top))};
}

// The storage device or storage location a node stands for, if it is one.
std::optional<std::pair<InventorySheet::Box, qint64>> storageBox(const QTreeWidgetItem* node)
{
    if (!node)
        return std::nullopt;
    const auto [depth, top] = placeOf(node);
    if (top != StorageDevicesTop || depth < 2)
        return std::nullopt;
    return std::pair{depth == 2 ? InventorySheet::Box::StorageDevice : InventorySheet::Box::StorageLocation,
                     node->data(0, IdRole).toLongLong()};
}

} // namespace

QStringList frmExplorer::PhotoQueries()
{
    QStringList queries;
    for (const Hierarchy& hierarchy : hierarchies)
        queries << text(hierarchy.count) << text(hierarchy.photos) << text(hierarchy.entryPhotos)
                << text(hierarchy.childPhotos);
    return queries;
}

frmExplorer* frmExplorer::make(MainFrame* main, const QString& programFolder, QWidget* parent)
{
    std::unique_ptr<frmExplorer> window;
    if (!RunAction([&] { window = std::make_unique<frmExplorer>(main, programFolder, parent); }))
        return nullptr;
    return window.release();
}

frmExplorer::frmExplorer(MainFrame* main, const QString& programFolder, QWidget* parent)
    : QWidget(parent), m_main(main), m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmExplorer"));
    setWindowTitle(QStringLiteral("Explorer View"));
    createControls();
    InstallHelpKey(this, HelpContextID);

    connect(TreeView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ListPhotos(current); });
    connect(ListView1, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& index) { RunAction([this, index] { OpenPhoto(index); }); });
    connect(m_refreshPanel, &QToolButton::clicked, this, [this] { RunAction([this] { Refresh_Click(); }); });
    connect(m_slideShowPanel, &QToolButton::clicked, this, [this] { RunAction([this] { SlideShow_Click(); }); });
    connect(m_inventoryPanel, &QToolButton::clicked, this, [this] { RunAction([this] { PrintInventory_Click(); }); });
    connect(mnuPrintInventory, &QAction::triggered, this, [this] { RunAction([this] { PrintInventory_Click(); }); });

    createListMenu();
    Add_RootNodes();
}

frmExplorer::~frmExplorer() = default;

void frmExplorer::createControls()
{
    imgSplitter = new QSplitter(Qt::Horizontal, this);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setChildrenCollapsible(false);

    TreeView1 = MakeKeyedTree(imgSplitter);
    TreeView1->setIndentation(std::max(px(100), 16));
    TreeView1->setMinimumWidth(px(splitterLimit));
    m_nodes = std::make_unique<TreeNodes>(TreeView1);
    m_treeMenu = new QMenu(this);
    m_treeMenu->setObjectName(QStringLiteral("mnuTree"));
    mnuPrintInventory = m_treeMenu->addAction(QStringLiteral("Print &Inventory..."));
    mnuPrintInventory->setObjectName(QStringLiteral("mnuPrintInventory"));
    mnuPrintInventory->setEnabled(false);

    m_model = new PhotoListModel(ThumbnailCache::UserCacheFolder(), this);
    ListView1 = new QTreeView(imgSplitter);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(m_model);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSortingEnabled(false);
    ListView1->setMinimumWidth(px(splitterLimit));
    ListView1->setIconSize(QSize(PhotoListModel::PictureSize, PhotoListModel::PictureSize));
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->setColumnWidth(
        0, std::max(px(600), ListView1->fontMetrics().horizontalAdvance(QStringLiteral("PhotoID")) + 12));
    // The caption takes the room the number and the picture leave.
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    ListView1->header()->setSectionResizeMode(PhotoListModel::PictureColumn, QHeaderView::Fixed);
    ListView1->setColumnWidth(PhotoListModel::PictureColumn, PhotoListModel::PictureSize + 12);
    ListView1->viewport()->setMouseTracking(true);
    ListView1->viewport()->installEventFilter(this);
    TreeView1->installEventFilter(this);
    imgSplitter->setStretchFactor(1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    m_countPanel = new QLabel(StatusBar1);
    m_countPanel->setObjectName(QStringLiteral("Panels(1)"));
    m_countPanel->setMinimumWidth(px(2400));
    m_refreshPanel = new QToolButton(StatusBar1);
    m_refreshPanel->setObjectName(QStringLiteral("Panels(2)"));
    m_refreshPanel->setText(QStringLiteral("Refresh"));
    m_refreshPanel->setToolTip(QStringLiteral("Reload Explorer View"));
    m_refreshPanel->setAutoRaise(true);
    m_slideShowPanel = new QToolButton(StatusBar1);
    m_slideShowPanel->setObjectName(QStringLiteral("Panels(3)"));
    m_slideShowPanel->setText(QStringLiteral("Slide Show"));
    m_slideShowPanel->setToolTip(QStringLiteral(" View photos with digital files"));
    m_slideShowPanel->setAutoRaise(true);
    StatusBar1->addWidget(m_countPanel, 1);
    m_inventoryPanel = new QToolButton(StatusBar1);
    m_inventoryPanel->setObjectName(QStringLiteral("Panels(4)"));
    m_inventoryPanel->setText(QStringLiteral("Inventory"));
    m_inventoryPanel->setToolTip(QStringLiteral("Print an inventory sheet of this storage device or storage location"));
    m_inventoryPanel->setAutoRaise(true);
    m_inventoryPanel->setEnabled(false);
    StatusBar1->addPermanentWidget(m_refreshPanel);
    StatusBar1->addPermanentWidget(m_slideShowPanel);
    StatusBar1->addPermanentWidget(m_inventoryPanel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(imgSplitter, 1);
    layout->addWidget(StatusBar1);
}

void frmExplorer::showEvent(QShowEvent* event)
{
    // The frame that holds the window exists only now: it is placed, then the splitter.
    if (!m_placed) {
        m_placed = true;
        // The default size is the whole window's, frame included, before any stored placement.
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->resize(px(9090), px(6045));
        RunAction([this] { RestoreFormPosition(this); });
        bool number = false;
        double x = GetSetting(startUp, splitterKey).toDouble(&number);
        SizeControls(number ? x : defaultSplitter);
    }
    QWidget::showEvent(event);
}

void frmExplorer::SizeControls(double x)
{
    const double outer = double(width()) * TwipsPerPixel;
    x = std::max(splitterLimit, std::min(x, outer - splitterLimit));
    const int left = px(x);
    imgSplitter->setSizes({left, std::max(0, imgSplitter->width() - left - imgSplitter->handleWidth())});
}

void frmExplorer::closeEvent(QCloseEvent* event)
{
    RunAction([this] {
        SaveFormPosition(this);
        SaveSetting(startUp, splitterKey, QString::number(TreeView1->width() * TwipsPerPixel));
    });
    m_photos.reset();
    m_query.reset();
    // No thumbnail is made for a window that is gone.
    m_model->Clear();
    event->accept();
}

void frmExplorer::Add_RootNodes()
{
    const QSignalBlocker quiet(TreeView1);
    m_nodes->Clear();
    addLevel(CategoriesTop, QStringLiteral("SELECT CategoryID, Category FROM Categories ORDER BY Category"),
             QStringLiteral("SELECT CategoryID, SubjectID, Subject FROM Subjects ORDER BY Subject"));
    addLevel(StatesTop, QStringLiteral("SELECT StateID, State FROM States ORDER BY State"),
             QStringLiteral("SELECT StateID, LocationID, Location FROM Locations ORDER BY Location"));
    addLevel(StorageDevicesTop,
             QStringLiteral("SELECT StorageDeviceID, StorageDevice FROM StorageDevices ORDER BY StorageDevice"),
             QStringLiteral("SELECT StorageDeviceID, StorageLocationID, StorageLocation FROM StorageLocations ORDER "
                            "BY StorageLocation"));
    m_nodes->EndTree();
    // Only the categories are open after building.
    TreeView1->topLevelItem(StatesTop)->setExpanded(false);
    TreeView1->topLevelItem(StorageDevicesTop)->setExpanded(false);
}

void frmExplorer::addLevel(int top, const QString& parentSql, const QString& childSql)
{
    const Hierarchy& hierarchy = hierarchies[top];
    const QString rootKey = text(hierarchy.key);
    m_nodes->BeginTree(rootKey, text(hierarchy.text), hierarchy.image);
    // Entries are keyed by their ids, never by their names: no two entries can share a key,
    // whatever their names hold.
    QHash<qint64, QString> parentKeys;
    auto parents = gDB->DB().OpenRecordset(parentSql);
    for (; !parents->Eof(); parents->MoveNext()) {
        const QVariant id = parents->Value(parents->FieldNames().at(0));
        const QString key = TreeNodeKey({rootKey, id.toString()});
        m_nodes->AddNode(rootKey, key, parents->Value(parents->FieldNames().at(1)).toString(), EntryImage,
                         SelectedEntryImage);
        m_nodes->Node(key)->setData(0, IdRole, id);
        parentKeys.insert(id.toLongLong(), key);
    }
    auto children = gDB->DB().OpenRecordset(childSql);
    const QStringList fields = children->FieldNames();
    for (; !children->Eof(); children->MoveNext()) {
        const QString parentKey = parentKeys.value(children->Value(fields.at(0)).toLongLong());
        const QVariant id = children->Value(fields.at(1));
        const QString key = TreeNodeKey({parentKey, id.toString()});
        m_nodes->AddNode(parentKey, key, children->Value(fields.at(2)).toString(), EntryImage, SelectedEntryImage);
        m_nodes->Node(key)->setData(0, IdRole, id);
    }
}

void frmExplorer::ListPhotos(QTreeWidgetItem* node)
{
    // Nothing of the node listed before stays behind, also when this listing fails.
    m_photos.reset();
    m_query.reset();
    m_model->Clear();
    m_countPanel->clear();
    const bool box = storageBox(node).has_value();
    mnuPrintInventory->setEnabled(box);
    m_inventoryPanel->setEnabled(box);
    if (node)
        RunAction([this, node] { listPhotos(node); });
}

void frmExplorer::listPhotos(QTreeWidgetItem* node)
{
    const auto [depth, top] = placeOf(node);
    const Hierarchy& hierarchy = hierarchies[top];
    if (depth == 1) {
        // A top-level node only counts; its photos are opened when a slide show asks for them.
        auto counted = gDB->DB().OpenRecordset(text(hierarchy.count));
        const qint64 count = counted->Value(counted->FieldNames().at(0)).toLongLong();
        m_query = PhotoQuery{text(hierarchy.photos), {}};
        if (count > 0)
            m_countPanel->setText(countText + QString::number(count));
        return;
    }
    PhotoQuery query{text(depth == 2 ? hierarchy.entryPhotos : hierarchy.childPhotos), {node->data(0, IdRole)}};
    m_photos = gDB->DB().OpenRecordset(query.sql, query.parameters);
    m_query = std::move(query);
    if (m_photos->RecordCount() == 0)
        return;
    m_model->Fill(*m_photos);
    m_countPanel->setText(countText + QString::number(m_photos->RecordCount()));
}

bool frmExplorer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TreeView1 && event->type() == QEvent::ContextMenu) {
        // A right click opens the menu of the node under the mouse; the keyboard's, of the chosen node.
        const auto* request = static_cast<QContextMenuEvent*>(event);
        const QPoint at = TreeView1->viewport()->mapFromGlobal(request->globalPos());
        showTreeMenu(request->reason() == QContextMenuEvent::Mouse ? TreeView1->itemAt(at) : TreeView1->currentItem());
        return true;
    }
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            showTreeMenu(TreeView1->currentItem());
            return true;
        }
    }
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (move->position().x() < ListView1->columnWidth(0)) {
            // The hint is offered for the first movements only; the counter stops where it ends.
            if (m_hintCounter < hintLimit)
                ++m_hintCounter;
            ListView1->setToolTip(m_hintCounter < hintLimit ? hint : QString());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmExplorer::OpenPhoto(const QModelIndex& index)
{
    // Only the number opens its photo.
    if (!index.isValid() || index.column() != 0 || !m_main)
        return;
    const QString id = m_model->PhotoID(index.row());
    auto* editor = dynamic_cast<PhotoEditor*>(m_main->ShowChild(QStringLiteral("frmPhotos")));
    if (!editor || !editor->LeaveChange())
        return;
    editor->FindFirst(QStringLiteral("PhotoID"), id);
}

void frmExplorer::Refresh_Click()
{
    // The tree is read again with the same entries open and the same one chosen.
    QSet<QString> expanded;
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        if ((*it)->isExpanded())
            expanded.insert(TreeNodes::Key(*it));
    const QString selected = TreeNodes::Key(TreeView1->currentItem());
    // Pictures may have changed on the disk too.
    m_model->ForgetPictures();
    Add_RootNodes();
    for (QTreeWidgetItemIterator it(TreeView1); *it; ++it)
        (*it)->setExpanded(expanded.contains(TreeNodes::Key(*it)));
    QTreeWidgetItem* current = m_nodes->Node(selected);
    {
        const QSignalBlocker quiet(TreeView1);
        TreeView1->setCurrentItem(current);
    }
    ListPhotos(current);
}

void frmExplorer::showTreeMenu(QTreeWidgetItem* node)
{
    if (!node)
        return;
    if (node != TreeView1->currentItem())
        TreeView1->setCurrentItem(node);
    // Only storage entries have a command here: elsewhere no menu opens.
    if (!storageBox(node))
        return;
    TreeView1->scrollToItem(node);
    m_treeMenu->popup(TreeView1->viewport()->mapToGlobal(TreeView1->visualItemRect(node).center()));
}

void frmExplorer::PrintInventory_Click()
{
    const auto box = storageBox(TreeView1->currentItem());
    if (!box)
        return;
    InventorySheet sheet(m_programFolder, this);
    sheet.Show(box->first, box->second);
}

void frmExplorer::SlideShow_Click()
{
    if (!m_query)
        return;
    std::unique_ptr<Recordset> listed = m_photos ? nullptr : gDB->DB().OpenRecordset(m_query->sql, m_query->parameters);
    Recordset& photos = m_photos ? *m_photos : *listed;
    auto withFiles = photos.OpenFiltered(Criteria::notEqual(QStringLiteral("FileName"), QString()));
    if (withFiles->RecordCount() == 0)
        return;
    frmViewPhoto viewer(QString(), this);
    viewer.setButtons(true);
    viewer.SlideShow(std::move(withFiles));
    viewer.exec();
}

void frmExplorer::createListMenu()
{
    m_listMenu = new QMenu(ListView1);
    m_listMenu->setObjectName(QStringLiteral("mnuPhotoList"));
    QAction* exportListed = m_listMenu->addAction(QStringLiteral("Export These Photos to CSV..."));
    exportListed->setObjectName(QStringLiteral("mnuPhotoListExport"));
    connect(exportListed, &QAction::triggered, this, [this] { RunAction([this] { ListExport_Click(); }); });
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this, exportListed](const QPoint& place) {
        // Only photos listed can be exported.
        exportListed->setEnabled(m_model->rowCount() > 0);
        m_listMenu->popup(ListView1->viewport()->mapToGlobal(place));
    });
}

void frmExplorer::ListExport_Click()
{
    QList<qint64> numbers;
    numbers.reserve(m_model->rowCount());
    for (int row = 0; row < m_model->rowCount(); ++row)
        numbers << m_model->PhotoID(row).toLongLong();
    if (!numbers.isEmpty())
        ExportPhotosCommand(this, numbers);
}
