#pragma once

#include "gui/shell/mdiMain.h"
#include "support/TestProgramFolder.h"

#include <QObject>

#include <memory>

// The program as a returning user starts it, for the window tests.

// Gives the folder its help pages and opens its catalogue as gDB; the first-run questions count as
// answered, so no main window asks them.
void prepareProgramRun(TestProgramFolder& folder);

// A main window over the folder, with every child window it can open registered; not yet shown.
std::unique_ptr<mdiMain> makeMainWindow(const TestProgramFolder& folder);

// The same window shown and active, so that keys and focus reach it as they reach a user's.
std::unique_ptr<mdiMain> showMainWindow(const TestProgramFolder& folder);

// A window test class whose every test starts as prepareProgramRun leaves a fresh program folder;
// a test makes m_main when it wants the main window, unless setUp already did.
class MainWindowTestCase : public QObject
{
    Q_OBJECT

protected:
    // What every test of the class starts from, once the catalogue is open.
    virtual void setUp() {}

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<mdiMain> m_main;

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        prepareProgramRun(*m_folder);
        setUp();
    }
    void cleanup()
    {
        m_main.reset();
        m_folder.reset();
    }
};
