#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

#include <cstdint>

// The locations of all states, in name order. Raises no events.
class cLocations final : public ListRecordset<cLocation>
{
public:
    explicit cLocations(QObject* parent = nullptr);

    cLocation& Location() { return record(); }
    // Deletes the location of this name in the state of this name; nothing when there is none.
    // Failures reach the caller unchanged: 3200 while photos use it, 13 for an unknown state.
    void Delete(const QString& stateName, const QString& locationName);
    // Makes the location of this name in the state of this name current. Returns whether it exists.
    bool FindFirstLocation(const QString& stateName, const QString& locationName);
    // The locations of the state of this name, each with its id as code.
    void FillList(CodedListTarget& list, const QString& stateName);
    // The names of the locations of the state with this id.
    void FillListwithLocations(ListTarget& list, const QString& stateId);
    // The name of the state, or of the location, of the location with this id; empty text when there is none.
    QString GetState(std::int32_t locationId);
    QString GetLocation(std::int32_t locationId);
    // A node for each location of the state, keyed TreeNodeKey({root text, state name, location}); a key already in the
    // tree is left out and the fill goes on.
    void FillTreeView(TreeTarget& tree, const QString& stateName, short image, short selectedImage);

private:
    std::int32_t stateIdOf(const QString& stateName) const;
};
