#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

// The categories, in name order. Raises RecordNumber and Found.
class cCategories final : public ListRecordset<cCategory>
{
public:
    explicit cCategories(QObject* parent = nullptr);

    cCategory& Category() { return record(); }
    // Deletes the current category unless it is the only one (refused with a message); 3200 with the
    // source "Categories" while it has subjects.
    void Delete();
    // Adds a node for each category under the node keyed parentKey, keyed TreeNodeKey({parentKey, name}).
    void FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage);
    // The next category after the current one whose field equals the value, without regard to capitals.
    bool FindCategory(const QString& field, const QString& value);
    // The first such category. Returns whether one was found; the current row stays otherwise.
    bool FindFirstCategory(const QString& field, const QString& value);
    // The id of the category of this name, made current; empty text when there is none.
    QString GetCategoryID(const QString& name);
};
