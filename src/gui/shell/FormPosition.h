#pragma once

class QWidget;

// Every window's place on the screen, kept under "StartUp" in keys named after the window
// (frmPhotosTop, frmPhotosLeft, frmPhotosHeight, frmPhotosWidth, frmPhotosMaximized), in twips.

// Twips per pixel: the measure windows are stored in.
inline constexpr int TwipsPerPixel = 15;

// Stores the window's edges, size and whether it is maximised. A window inside the main window is
// placed by the frame that holds it.
void SaveFormPosition(QWidget* form);

// Applies what SaveFormPosition stored: maximised, or the stored edges (a negative one becomes 0)
// and size. A window outside the main window that then stands at 0, 0 is centred over an area the
// size of the main window. A stored value that is no number, or no measure a screen could have,
// counts as absent: the window keeps its own place for it. Raises nothing.
void RestoreFormPosition(QWidget* form);

// The program's main window, when there is one.
QWidget* MainWindow();
