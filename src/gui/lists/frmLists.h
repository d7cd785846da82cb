#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QGroupBox;
class QPushButton;
class QTabBar;
class QFrame;
class QTreeWidget;
class QTreeWidgetItem;
class TreeNodes;
class cCategories;
class cLocations;
class cStates;
class cStorageDevices;
class cStorageLocations;
class cSubjects;

// The lists window: one tab for each pair of reference lists (categories and subjects, states and
// locations, storage devices and storage locations), drawn as a tree, with Add, Edit and Delete for
// the top-level entries and for their dependent entries.
class frmLists final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmLists)

public:
    static constexpr int HelpContextID = 400;

    // The window, or null when its lists could not be opened (the reason has been shown).
    static frmLists* make(QWidget* parent = nullptr);

    explicit frmLists(QWidget* parent = nullptr);
    ~frmLists() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // What the selected node is; the buttons follow it.
    enum class Level { None, TopLevel, Dependent };

    void createControls();
    void layoutControls();

    void TabStrip1_Click();
    void ReadSelection(QTreeWidgetItem* node);
    void SetButtons();
    void SetToolTips();
    // Rebuilds the tree of the tab shown; the remembered parent is expanded and selected again.
    void FillTree();

    void cmdAdd_Click(int index);
    void cmdEdit_Click(int index);
    void cmdDelete_Click(int index);
    void cmdClose_Click();

    void addTopLevel(const QString& name);
    void addDependent(const QString& name);
    void renameTopLevel(const QString& name);
    void renameDependent(const QString& name);
    void deleteTopLevel();
    void deleteDependent();
    // Makes the entry current; false, after saying so and rebuilding the tree, when it is gone.
    bool findTopLevel(const QString& name);
    bool findDependent(const QString& parentName, const QString& childName);
    void notInList(const QString& name);
    std::optional<QString> askName(const QString& title, const QString& item);
    QString rootText() const;

    int m_tab = 0;
    Level m_level = Level::None;
    bool m_placed = false;

    std::unique_ptr<cStates> m_States;
    std::unique_ptr<cLocations> m_Locations;
    std::unique_ptr<cCategories> m_Categories;
    std::unique_ptr<cSubjects> m_Subjects;
    std::unique_ptr<cStorageDevices> m_StorageDevices;
    std::unique_ptr<cStorageLocations> m_StorageLocations;
    std::unique_ptr<TreeNodes> m_nodes;

    QString m_RootText;
    QString m_ParentName;
    QString m_ChildName;
    // The key of the top-level node last worked on, taken from the node itself.
    QString m_ParentKey;

    QTabBar* TabStrip1;
    QFrame* m_tabPage;
    QTreeWidget* TreeView1;
    QGroupBox* fraNode;
    QGroupBox* fraSubNode;
    QPushButton* cmdAdd[2];
    QPushButton* cmdEdit[2];
    QPushButton* cmdDelete[2];
    QPushButton* cmdClose;
};
