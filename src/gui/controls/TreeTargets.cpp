#include "gui/controls/TreeTargets.h"

#include "core/Failure.h"
#include "gui/shell/Icons.h"

#include <QTreeWidget>

#include <utility>

namespace {

constexpr int KeyRole = Qt::UserRole;

// The picture at a 1-based position of the tree image list; none for 0 or a position past its end.
QIcon treePicture(short image)
{
    const QStringList keys = TreeIconKeys();
    return image >= 1 && image <= keys.size() ? TreeIcon(keys[image - 1]) : QIcon();
}

} // namespace

TreeNodes::TreeNodes(QTreeWidget* tree) : m_tree(tree) {}

void TreeNodes::Clear()
{
    m_nodes.clear();
    delete m_pendingRoot;
    m_pendingRoot = nullptr;
    m_tree->clear();
}

QTreeWidgetItem* TreeNodes::BeginTree(const QString& key, const QString& text, short image)
{
    if (m_nodes.contains(key))
        throw Failure(ErrorNumber::KeyNotUnique, QStringLiteral("TreeView"));
    EndTree();
    m_pendingRoot = new QTreeWidgetItem(QStringList{text});
    m_pendingRoot->setData(0, KeyRole, key);
    m_pendingRoot->setIcon(0, icon(image, 0));
    m_nodes.insert(key, m_pendingRoot);
    return m_pendingRoot;
}

void TreeNodes::EndTree()
{
    if (!m_pendingRoot)
        return;
    QTreeWidgetItem* root = std::exchange(m_pendingRoot, nullptr);
    m_tree->addTopLevelItem(root);
    root->setExpanded(true);
}

QString TreeNodes::RootText() const
{
    const QTreeWidgetItem* first = m_tree->topLevelItem(0);
    if (!first)
        first = m_pendingRoot;
    return first ? first->text(0) : QString();
}

void TreeNodes::AddNode(const QString& relative, const QString& key, const QString& text, short image,
                        short selectedImage)
{
    QTreeWidgetItem* parent = m_nodes.value(relative);
    if (!parent)
        throw Failure(ErrorNumber::NoSuchKey, QStringLiteral("TreeView"));
    if (m_nodes.contains(key))
        throw Failure(ErrorNumber::KeyNotUnique, QStringLiteral("TreeView"));
    auto* node = new QTreeWidgetItem(parent, QStringList{text});
    node->setData(0, KeyRole, key);
    node->setIcon(0, icon(image, selectedImage));
    m_nodes.insert(key, node);
}

QTreeWidgetItem* TreeNodes::Node(const QString& key) const
{
    return m_nodes.value(key);
}

QString TreeNodes::Key(const QTreeWidgetItem* node)
{
    return node ? node->data(0, KeyRole).toString() : QString();
}

QIcon TreeNodes::icon(short image, short selectedImage)
{
    // One icon per pair of pictures, shared by every node that shows them.
    const int pair = (int(image) << 16) | (int(selectedImage) & 0xffff);
    const auto known = m_icons.constFind(pair);
    if (known != m_icons.constEnd())
        return *known;
    QIcon both;
    const QIcon normal = treePicture(image);
    const QIcon selected = selectedImage != 0 ? treePicture(selectedImage) : normal;
    for (const int size : {16, 24, 32}) {
        if (!normal.isNull())
            both.addPixmap(normal.pixmap(size, size), QIcon::Normal);
        if (!selected.isNull())
            both.addPixmap(selected.pixmap(size, size), QIcon::Selected);
    }
    m_icons.insert(pair, both);
    return both;
}

QTreeWidget* MakeKeyedTree(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QStringLiteral("TreeView1"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setRootIsDecorated(true);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setIconSize(QSize(16, 16));
    tree->setUniformRowHeights(true);
    return tree;
}
