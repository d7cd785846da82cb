#pragma once

#include <QString>
#include <QVariantList>
#include <QWidget>

#include <memory>
#include <optional>

class MainFrame;
class PhotoListModel;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStatusBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class Recordset;
class TreeNodes;

// The explorer: the catalogue as a tree of categories and subjects, states and locations, storage
// devices and storage locations; beside it the photos of the chosen entry, each opened in the photo
// editor by a double-click on its number, and a slide show of those with a digital file.
class frmExplorer final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmExplorer)

public:
    static constexpr int HelpContextID = 300;

    // The window, or null when it could not be made (the reason has been shown). The inventory
    // sheet's layout file is looked for in programFolder.
    static frmExplorer* make(MainFrame* main, const QString& programFolder, QWidget* parent = nullptr);

    frmExplorer(MainFrame* main, const QString& programFolder, QWidget* parent = nullptr);
    // Every query the window runs over the photos: the counts, then the listings of each node.
    static QStringList PhotoQueries();
    ~frmExplorer() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A query of the photos of a node, kept so that the slide show can open it when asked.
    struct PhotoQuery
    {
        QString sql;
        QVariantList parameters;
    };

    void createControls();
    // Builds the whole tree: the three top-level nodes in their fixed order, then their entries.
    void Add_RootNodes();
    void addLevel(int top, const QString& parentSql, const QString& childSql);
    void ListPhotos(QTreeWidgetItem* node);
    void listPhotos(QTreeWidgetItem* node);
    void OpenPhoto(const QModelIndex& index);
    void Refresh_Click();
    void SlideShow_Click();
    void PrintInventory_Click();
    // Chooses the node and opens the tree's menu over it when it is a storage device or storage location.
    void showTreeMenu(QTreeWidgetItem* node);
    // The photo list's own menu: the photos listed written into a CSV file.
    void createListMenu();
    void ListExport_Click();
    // Places the splitter x twips from the left, kept 1500 twips from either edge.
    void SizeControls(double x);

    MainFrame* m_main;
    QString m_programFolder;
    std::unique_ptr<TreeNodes> m_nodes;
    PhotoListModel* m_model;
    // The photos of the last node listed: the rows listed, or for a top-level node only the query.
    std::unique_ptr<Recordset> m_photos;
    std::optional<PhotoQuery> m_query;
    int m_hintCounter = 0;
    bool m_placed = false;

    QSplitter* imgSplitter;
    QTreeWidget* TreeView1;
    QTreeView* ListView1;
    QStatusBar* StatusBar1;
    QLabel* m_countPanel;
    QToolButton* m_refreshPanel;
    QToolButton* m_slideShowPanel;
    QToolButton* m_inventoryPanel;
    QMenu* m_treeMenu;
    QAction* mnuPrintInventory;
    QMenu* m_listMenu = nullptr;
};
