#pragma once

#include "data/FillTargets.h"

#include <QStringList>

#include <map>
#include <vector>

// Pick lists that record what a fill added, in order.
class RecordingList final : public ListTarget, public CodedListTarget
{
public:
    void AddItem(const QString& text) override { items << text; }
    void AddItem(const QString& text, const QString& code) override
    {
        items << text;
        codes << code;
    }

    QStringList items;
    QStringList codes;
};

// A tree keyed like the windows' trees: a node is added under an existing node's key, and keys are unique.
class RecordingTree final : public TreeTarget
{
public:
    struct Node
    {
        QString parent;
        QString key;
        QString text;
        short image;
        short selectedImage;
    };

    // The tree starts with one root node whose key and text are the same.
    explicit RecordingTree(const QString& root);

    QString RootText() const override { return m_nodes.front().text; }
    void AddNode(const QString& relative, const QString& key, const QString& text, short image,
                 short selectedImage) override;

    const std::vector<Node>& nodes() const { return m_nodes; }
    // The texts of the children of the node with this key, in the order added.
    QStringList childrenOf(const QString& key) const;

private:
    std::vector<Node> m_nodes;
};
