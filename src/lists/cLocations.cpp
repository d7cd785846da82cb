#include "lists/cLocations.h"

#include "core/Conversions.h"
#include "lists/cStates.h"

cLocations::cLocations(QObject* parent)
    : ListRecordset(
          {
              .table = QStringLiteral("Locations"),
              .nameField = QStringLiteral("Location"),
              .idField = QStringLiteral("LocationID"),
              .parentIdField = QStringLiteral("StateID"),
              .parentTable = QStringLiteral("States"),
              .parentNameField = QStringLiteral("State"),
              .source = QStringLiteral("Class Locations"),
              .deleteSource = {},
              .atLeastOneText = {},
              .raisesRecordNumber = false,
              .readFields = {{QStringLiteral("LocationId"), &cLocation::LocationID},
                             {QStringLiteral("StateID"), &cLocation::StateID},
                             {QStringLiteral("Location"), &cLocation::Location}},
              .writeFields = {{QStringLiteral("StateID"), &cLocation::StateID},
                              {QStringLiteral("Location"), &cLocation::Location}},
          },
          parent)
{}

std::int32_t cLocations::stateIdOf(const QString& stateName) const
{
    return toInt32(cStates().GetStateID(stateName));
}

void cLocations::Delete(const QString& stateName, const QString& locationName)
{
    deleteChild(stateIdOf(stateName), locationName);
}

bool cLocations::FindFirstLocation(const QString& stateName, const QString& locationName)
{
    return findChild(stateIdOf(stateName), locationName);
}

void cLocations::FillList(CodedListTarget& list, const QString& stateName)
{
    fillCodedChildren(list, stateName, FillFailure::Message);
}

void cLocations::FillListwithLocations(ListTarget& list, const QString& stateId)
{
    fillChildNames(list, stateId, FillFailure::Message);
}

QString cLocations::GetState(std::int32_t locationId)
{
    return lookupText(QStringLiteral("SELECT States.State FROM States INNER JOIN Locations "
                                     "ON States.StateID = Locations.StateID WHERE Locations.LocationID = ?"),
                      {locationId}, QStringLiteral("State"));
}

QString cLocations::GetLocation(std::int32_t locationId)
{
    return lookupText(QStringLiteral("SELECT Location, LocationID FROM Locations WHERE LocationID = ?"), {locationId},
                      QStringLiteral("Location"));
}

void cLocations::FillTreeView(TreeTarget& tree, const QString& stateName, short image, short selectedImage)
{
    fillChildTree(tree, stateName, image, selectedImage, FillFailure::Message, {}, true);
}
