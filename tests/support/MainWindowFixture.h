#pragma once

#include "gui/shell/mdiMain.h"
#include "support/TestProgramFolder.h"

#include <memory>

// The program as a returning user starts it, for the window tests.

// Gives the folder its help pages and opens its catalogue as gDB; the first-run questions count as
// answered, so no main window asks them.
void prepareProgramRun(TestProgramFolder& folder);

// A main window over the folder, with every child window it can open registered; not yet shown.
std::unique_ptr<mdiMain> makeMainWindow(const TestProgramFolder& folder);

// The same window shown and active, so that keys and focus reach it as they reach a user's.
std::unique_ptr<mdiMain> showMainWindow(const TestProgramFolder& folder);
