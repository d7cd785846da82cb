#pragma once

#include "lists/ListRecordset.h"
#include "lists/ListRecords.h"

// The storage devices, in name order. Raises RecordNumber.
class cStorageDevices final : public ListRecordset<cStorageDevice>
{
public:
    explicit cStorageDevices(QObject* parent = nullptr);

    cStorageDevice& StorageDevice() { return record(); }
    // Deletes the current device unless it is the only one (refused with a message); 3200 with the
    // source "StorageDevices" while it has storage locations.
    void Delete();
    QString GetStorageDeviceID(const QString& name);
    // Adds every device's name to a pick list; failures are raised with the source "cStorageDevices".
    void FillList(ListTarget& list);
    void FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage);
    bool FindFirstStorageDevice(const QString& field, const QString& value);
};
