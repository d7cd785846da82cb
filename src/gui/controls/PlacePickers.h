#pragma once

#include <QObject>

#include <functional>
#include <memory>

class DropDownCombo;
class QComboBox;
class QWidget;
class TypeAhead;
class cLocations;
class cStates;
class cStorageDevices;
class cStorageLocations;
class uc2ColCombo;

// Where a photo was taken (state, then location) and where it is kept (storage device, then
// storage location), as a window picks them: each list is filled as it drops down, the locations
// are those of the state or device shown, typing completes to an entry, and a confirmed choice
// moves the focus on to the next field.
class PlacePickers final : public QObject
{
    Q_OBJECT

public:
    // places[0] holds the states and codes[0] their locations; places[1] the storage devices and
    // codes[1] their storage locations. After a confirmed choice the focus goes from places[i] to
    // codes[i], from codes[0] to afterLocation (or, while that is disabled, afterStorage) and from
    // codes[1] to afterStorage. The combos take the window's type-ahead.
    PlacePickers(QWidget* window, DropDownCombo* const (&places)[2], uc2ColCombo* const (&codes)[2],
                 TypeAhead& typeAhead, QWidget* afterLocation, QWidget* afterStorage);
    ~PlacePickers() override;

    // Runs before a list that drops down is filled: a window marks its record changed there.
    void setOnDropDown(std::function<void()> hook) { m_onDropDown = std::move(hook); }

    // Makes the four record sets the lists come from and fills the states and the devices. The
    // pickers do nothing until then. Raises when a record set cannot be made.
    void Open();
    // Releases the record sets; the pickers rest again.
    void Close();
    bool IsOpen() const { return m_States != nullptr; }

    // The names behind a photo's identifiers; valid while open.
    cLocations& Locations() const { return *m_Locations; }
    cStorageLocations& StorageLocations() const { return *m_StorageLocations; }

    // Moves the focus on from a combo whose choice was confirmed; false when the combo is none of
    // the pickers'.
    bool FocusNext(const QComboBox* from) const;

private:
    void fillPlaces(int index);
    void fillPlaceCodes(int index);

    DropDownCombo* m_places[2];
    uc2ColCombo* m_codes[2];
    QWidget* m_afterLocation;
    QWidget* m_afterStorage;
    std::function<void()> m_onDropDown;
    std::unique_ptr<cStates> m_States;
    std::unique_ptr<cLocations> m_Locations;
    std::unique_ptr<cStorageDevices> m_StorageDevices;
    std::unique_ptr<cStorageLocations> m_StorageLocations;
};
