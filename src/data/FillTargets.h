#pragma once

#include <QString>

// What the record sets fill: pick lists and trees of the windows, which implement these. The data
// classes so never depend on a widget.

// A list that shows names (a standard combo box or list box).
class ListTarget
{
public:
    virtual ~ListTarget() = default;
    virtual void AddItem(const QString& text) = 0;
};

// A list that shows names and keeps each one's code beside it (the two-column combo).
class CodedListTarget
{
public:
    virtual ~CodedListTarget() = default;
    virtual void AddItem(const QString& text, const QString& code) = 0;
};

// A tree whose nodes are found by key.
class TreeTarget
{
public:
    virtual ~TreeTarget() = default;
    // The text of the root of the tree's first node.
    virtual QString RootText() const = 0;
    // Adds a child of the node keyed relative. Raises 35601 when there is no such node and 35602
    // when a node already has this key.
    virtual void AddNode(const QString& relative, const QString& key, const QString& text, short image,
                         short selectedImage) = 0;
};
