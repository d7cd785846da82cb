#pragma once

#include "data/FillTargets.h"

#include <QHash>
#include <QIcon>
#include <QString>

class QTreeWidget;
class QWidget;
class QTreeWidgetItem;

// A QTreeWidget filled by the record sets: nodes found by key, pictures taken by their 1-based
// position in the tree image list (TreeIconKeys), the selected picture shown while a node is selected.
// A one-column tree of keyed entries, chosen one at a time and never edited in place, as the lists
// and the explorer show them; the caller sets its indentation.
QTreeWidget* MakeKeyedTree(QWidget* parent);

class TreeNodes final : public TreeTarget
{
public:
    explicit TreeNodes(QTreeWidget* tree);

    // Removes every node.
    void Clear();
    // Starts a tree with its root node, which the view shows only from EndTree on: nodes added to a
    // tree out of view cost the view nothing. Raises 35602 when a node already has this key.
    QTreeWidgetItem* BeginTree(const QString& key, const QString& text, short image);
    // Shows the tree begun with BeginTree, its root expanded.
    void EndTree();

    QString RootText() const override;
    void AddNode(const QString& relative, const QString& key, const QString& text, short image,
                 short selectedImage) override;

    // The node with this key, or null.
    QTreeWidgetItem* Node(const QString& key) const;
    // The key a node was added with.
    static QString Key(const QTreeWidgetItem* node);

private:
    QIcon icon(short image, short selectedImage);

    QTreeWidget* m_tree;
    QTreeWidgetItem* m_pendingRoot = nullptr;
    QHash<QString, QTreeWidgetItem*> m_nodes;
    QHash<int, QIcon> m_icons;
};
