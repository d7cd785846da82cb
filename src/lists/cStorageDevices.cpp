#include "lists/cStorageDevices.h"

cStorageDevices::cStorageDevices(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("StorageDevices"),
              .nameField = QStringLiteral("StorageDevice"),
              .idField = QStringLiteral("StorageDeviceID"),
              .parentIdField = {},
              .parentTable = {},
              .parentNameField = {},
              .source = QStringLiteral("Class StorageDevices"),
              .deleteSource = QStringLiteral("StorageDevices"),
              .atLeastOneText = QStringLiteral(" requires at least one Storage Device."),
              .raisesRecordNumber = true,
              .readFields = {{QStringLiteral("StorageDeviceID"), &cStorageDevice::StorageDeviceID},
                             {QStringLiteral("StorageDevice"), &cStorageDevice::StorageDevice}},
              .writeFields = {{QStringLiteral("StorageDevice"), &cStorageDevice::StorageDevice}},
          },
          parent)
{}

void cStorageDevices::Delete()
{
    deleteKeepingOne();
}

QString cStorageDevices::GetStorageDeviceID(const QString& name)
{
    return idOfName(name, false);
}

void cStorageDevices::FillList(ListTarget& list)
{
    fillNames(list, FillFailure::Raise, QStringLiteral("cStorageDevices"));
}

void cStorageDevices::FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage)
{
    fillTopLevelTree(tree, parentKey, image, selectedImage, FillFailure::Message);
}

bool cStorageDevices::FindFirstStorageDevice(const QString& field, const QString& value)
{
    return findFirst(Criteria::equal(field, value), false);
}
