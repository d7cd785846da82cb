#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

// The states, in name order. Raises RecordNumber and Found.
class cStates final : public ListRecordset<cState>
{
public:
    explicit cStates(QObject* parent = nullptr);

    cState& State() { return record(); }
    // Deletes the current state unless it is the only one (refused with a message); 3200 with the
    // source "States" while it has locations.
    void Delete();
    bool FindState(const QString& field, const QString& value);
    QString GetStateID(const QString& name);
    bool FindFirstState(const QString& field, const QString& value);
    // Adds every state's name to a pick list.
    void FillList(ListTarget& list);
    void FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage);
};
