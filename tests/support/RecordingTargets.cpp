#include "support/RecordingTargets.h"

#include "core/Failure.h"

RecordingTree::RecordingTree(const QString& root)
{
    m_nodes.push_back({{}, root, root, 0, 0});
}

void RecordingTree::AddNode(const QString& relative, const QString& key, const QString& text, short image,
                            short selectedImage)
{
    bool parentFound = false;
    for (const Node& node : m_nodes) {
        if (node.key == key)
            throw Failure(ErrorNumber::KeyNotUnique);
        parentFound = parentFound || node.key == relative;
    }
    if (!parentFound)
        throw Failure(ErrorNumber::NoSuchKey);
    m_nodes.push_back({relative, key, text, image, selectedImage});
}

QStringList RecordingTree::childrenOf(const QString& key) const
{
    QStringList texts;
    for (const Node& node : m_nodes) {
        if (node.parent == key && !node.key.isEmpty() && node.key != m_nodes.front().key)
            texts << node.text;
    }
    return texts;
}
