#pragma once

#include <QString>

// What the program says about itself: the splash and About windows show these.
namespace Version {

// "Version 1.1.0": major, minor and revision joined by ".".
QString VersionText();
// The legal notice.
QString LegalCopyright();
// Where users get help: the comments of the program's version information.
QString Comments();
// The terms of use shown in the About window.
QString TermsOfUse();

} // namespace Version
