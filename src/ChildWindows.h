#pragma once

class mdiMain;

// Tells the main window how to make each of its child windows; their menu items and buttons are
// enabled from then on.
void RegisterChildWindows(mdiMain& main);
