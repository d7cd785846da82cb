#include "lists/cStates.h"

cStates::cStates(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("States"),
              .nameField = QStringLiteral("State"),
              .idField = QStringLiteral("StateID"),
              .parentIdField = {},
              .parentTable = {},
              .parentNameField = {},
              .source = QStringLiteral("Class States"),
              .deleteSource = QStringLiteral("States"),
              .atLeastOneText = QStringLiteral(" requires at least one State."),
              .raisesRecordNumber = true,
              .readFields = {{QStringLiteral("StateID"), &cState::StateID}, {QStringLiteral("State"), &cState::State}},
              .writeFields = {{QStringLiteral("State"), &cState::State}},
          },
          parent)
{}

void cStates::Delete()
{
    deleteKeepingOne();
}

bool cStates::FindState(const QString& field, const QString& value)
{
    return findNext(Criteria::equal(field, value), true);
}

QString cStates::GetStateID(const QString& name)
{
    return idOfName(name, true);
}

bool cStates::FindFirstState(const QString& field, const QString& value)
{
    return findFirst(Criteria::equal(field, value), true);
}

void cStates::FillList(ListTarget& list)
{
    fillNames(list, FillFailure::Quiet);
}

void cStates::FillTreeView(TreeTarget& tree, const QString& parentKey, short image, short selectedImage)
{
    fillTopLevelTree(tree, parentKey, image, selectedImage, FillFailure::Quiet);
}
