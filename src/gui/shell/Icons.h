#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

// The program's pictures, drawn by the program itself so that they look alike on every desktop and
// no button is ever blank: the toolbar's, keyed as its buttons ("Photos", "Exit", ...), and the
// trees' ("Lists", "States", "StorageDevices", "Camera", "CameraFlash"). An unknown key gives no picture.
QIcon ToolbarIcon(const QString& key);
QIcon TreeIcon(const QString& key);

// The tree pictures' keys, in the order of the tree image list.
QStringList TreeIconKeys();

// The program's logo, for the splash and About windows and the window icon.
QIcon ProgramIcon();
