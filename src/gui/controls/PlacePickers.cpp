#include "gui/controls/PlacePickers.h"

#include "gui/controls/TypeAhead.h"
#include "gui/controls/WidgetTargets.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/shell/Action.h"
#include "lists/cLocations.h"
#include "lists/cStates.h"
#include "lists/cStorageDevices.h"
#include "lists/cStorageLocations.h"

#include <QSignalBlocker>

PlacePickers::PlacePickers(QWidget* window, DropDownCombo* const (&places)[2], uc2ColCombo* const (&codes)[2],
                           TypeAhead& typeAhead, QWidget* afterLocation, QWidget* afterStorage)
    : QObject(window), m_places{places[0], places[1]}, m_codes{codes[0], codes[1]}, m_afterLocation(afterLocation),
      m_afterStorage(afterStorage)
{
    for (int i = 0; i < 2; ++i) {
        typeAhead.attach(m_places[i]);
        typeAhead.attach(m_codes[i]->combo());
        connect(m_places[i], &DropDownCombo::DropDown, this, [this, i] {
            if (!IsOpen())
                return;
            RunAction([this, i] {
                if (m_onDropDown)
                    m_onDropDown();
                fillPlaces(i);
            });
        });
        connect(m_codes[i], &uc2ColCombo::DropDown, this, [this, i] {
            if (!IsOpen())
                return;
            RunAction([this, i] {
                if (m_onDropDown)
                    m_onDropDown();
                fillPlaceCodes(i);
            });
        });
        // The dependent list always holds the places of the state or device shown, so that typing
        // finds them before the list has ever been opened.
        connect(m_places[i], &QComboBox::editTextChanged, this, [this, i] {
            if (IsOpen())
                RunAction([this, i] { fillPlaceCodes(i); });
        });
    }
}

PlacePickers::~PlacePickers() = default;

void PlacePickers::Open()
{
    auto states = std::make_unique<cStates>();
    auto locations = std::make_unique<cLocations>();
    auto devices = std::make_unique<cStorageDevices>();
    auto storageLocations = std::make_unique<cStorageLocations>();
    m_States = std::move(states);
    m_Locations = std::move(locations);
    m_StorageDevices = std::move(devices);
    m_StorageLocations = std::move(storageLocations);
    try {
        fillPlaces(0);
        fillPlaces(1);
    } catch (...) {
        Close();
        throw;
    }
}

void PlacePickers::Close()
{
    m_States.reset();
    m_Locations.reset();
    m_StorageDevices.reset();
    m_StorageLocations.reset();
}

void PlacePickers::fillPlaces(int index)
{
    DropDownCombo* combo = m_places[index];
    const QString shown = combo->currentText();
    // Refilling the list is no new state or device: the places list follows only a new text.
    const QSignalBlocker quiet(combo);
    combo->clear();
    ComboItems items(combo);
    if (index == 0)
        m_States->FillList(items);
    else
        m_StorageDevices->FillList(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
}

void PlacePickers::fillPlaceCodes(int index)
{
    uc2ColCombo* combo = m_codes[index];
    const QString shown = combo->Text();
    const QString code = combo->Code();
    combo->Clear();
    if (index == 0)
        m_Locations->FillList(*combo, m_places[0]->currentText());
    else
        m_StorageLocations->FillList(*combo, m_places[1]->currentText());
    // The shown text stays, with its own code when the new list has it, else with the code it had.
    combo->setText(shown);
    if (combo->Code() == u"-1")
        combo->setCode(code);
}

bool PlacePickers::FocusNext(const QComboBox* from) const
{
    QWidget* next = nullptr;
    if (from == m_places[0])
        next = m_codes[0]->combo();
    else if (from == m_places[1])
        next = m_codes[1]->combo();
    else if (from == m_codes[0]->combo())
        next = m_afterLocation->isEnabled() ? m_afterLocation : m_afterStorage;
    else if (from == m_codes[1]->combo())
        next = m_afterStorage;
    else
        return false;
    next->setFocus();
    return true;
}
