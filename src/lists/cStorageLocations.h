#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

#include <cstdint>

// The storage locations of all storage devices, in name order. Raises RecordNumber.
class cStorageLocations final : public ListRecordset<cStorageLocation>
{
public:
    explicit cStorageLocations(QObject* parent = nullptr);

    cStorageLocation& StorageLocation() { return record(); }
    // Deletes the storage location of this name in the device of this name; nothing when there is
    // none. Failures are raised with the source "Storage Locations": 3200 while photos use it.
    void Delete(const QString& deviceName, const QString& storageLocationName);
    // The next storage location after the current one whose field equals the value.
    bool FindStorageLocation(const QString& field, const QString& value);
    // Makes the storage location of this name in the device of this name current. Returns whether it exists.
    bool FindFirstStorageLocation(const QString& deviceName, const QString& storageLocationName);
    // The storage locations of the device of this name, each with its id as code.
    void FillList(CodedListTarget& list, const QString& deviceName);
    // A node for each storage location of the device, keyed TreeNodeKey({root text, device, storage location}).
    void FillTreeView(TreeTarget& tree, const QString& deviceName, short image, short selectedImage);
    // The names of the storage locations of the device with this id.
    void FillListStorageLocations(ListTarget& list, const QString& deviceId);
    // The name of the device, or of the storage location, of the storage location with this id;
    // empty text when there is none.
    QString GetStorageDevice(std::int32_t storageLocationId);
    QString GetStorageLocation(std::int32_t storageLocationId);

private:
    std::int32_t deviceIdOf(const QString& deviceName) const;
};
