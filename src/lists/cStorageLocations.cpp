#include "lists/cStorageLocations.h"

#include "core/Conversions.h"
#include "core/Failure.h"
#include "lists/cStorageDevices.h"

cStorageLocations::cStorageLocations(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("StorageLocations"),
              .nameField = QStringLiteral("StorageLocation"),
              .idField = QStringLiteral("StorageLocationID"),
              .parentIdField = QStringLiteral("StorageDeviceID"),
              .parentTable = QStringLiteral("StorageDevices"),
              .parentNameField = QStringLiteral("StorageDevice"),
              .source = QStringLiteral("Class StorageLocations"),
              .deleteSource = QStringLiteral("Storage Locations"),
              .atLeastOneText = {},
              .raisesRecordNumber = true,
              .readFields = {{QStringLiteral("StorageLocationID"), &cStorageLocation::StorageLocationID},
                             {QStringLiteral("StorageDeviceID"), &cStorageLocation::StorageDeviceID},
                             {QStringLiteral("StorageLocation"), &cStorageLocation::StorageLocation}},
              .writeFields = {{QStringLiteral("StorageDeviceID"), &cStorageLocation::StorageDeviceID},
                              {QStringLiteral("StorageLocation"), &cStorageLocation::StorageLocation}},
          },
          parent)
{}

std::int32_t cStorageLocations::deviceIdOf(const QString& deviceName) const
{
    return toInt32(cStorageDevices().GetStorageDeviceID(deviceName));
}

void cStorageLocations::Delete(const QString& deviceName, const QString& storageLocationName)
{
    try {
        deleteChild(deviceIdOf(deviceName), storageLocationName);
    } catch (const Failure& failure) {
        throw failure.withSource(QStringLiteral("Storage Locations"));
    }
}

bool cStorageLocations::FindStorageLocation(const QString& field, const QString& value)
{
    return findNext(Criteria::equal(field, value), false);
}

bool cStorageLocations::FindFirstStorageLocation(const QString& deviceName, const QString& storageLocationName)
{
    return findChild(deviceIdOf(deviceName), storageLocationName);
}

void cStorageLocations::FillList(CodedListTarget& list, const QString& deviceName)
{
    fillCodedChildren(list, deviceName, FillFailure::Message);
}

void cStorageLocations::FillTreeView(TreeTarget& tree, const QString& deviceName, short image, short selectedImage)
{
    fillChildTree(tree, deviceName, image, selectedImage, FillFailure::Message);
}

void cStorageLocations::FillListStorageLocations(ListTarget& list, const QString& deviceId)
{
    fillChildNames(list, deviceId, FillFailure::Message);
}

QString cStorageLocations::GetStorageDevice(std::int32_t storageLocationId)
{
    return lookupText(QStringLiteral("SELECT StorageDevices.StorageDevice FROM StorageDevices INNER JOIN "
                                     "StorageLocations ON StorageDevices.StorageDeviceID = "
                                     "StorageLocations.StorageDeviceID WHERE StorageLocations.StorageLocationID = ?"),
                      {storageLocationId}, QStringLiteral("StorageDevice"));
}

QString cStorageLocations::GetStorageLocation(std::int32_t storageLocationId)
{
    return lookupText(
        QStringLiteral("SELECT StorageLocation, StorageLocationID FROM StorageLocations WHERE StorageLocationID = ?"),
        {storageLocationId}, QStringLiteral("StorageLocation"));
}
