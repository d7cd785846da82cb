#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;
class mdiMain;

// The help's topic map in the program folder's Help folder; set at start-up.
extern QString gHelpFile;

// Opens the help at the topic with this number, in the help window of the main window. When the
// help cannot be shown, says where its files belong.
void ShowHelp(int contextID);

// Opens the help at contextID whenever F1 is released in the window or any of its controls.
void InstallHelpKey(QWidget* window, int contextID);

// Takes from the catalogue file every right that users other than its owner have; the owner's own
// rights stay as they are. An absent file is left to the opening to report.
void KeepCataloguePrivate(const QString& catalogue);

// The start-up sequence in the program folder: splash, a pause of about a second (skipped when
// pause is false), the catalogue opened as gDB and the main window shown. On failure the reason is
// shown and nothing is returned.
// registerWindows tells the main window how to make its child windows before it loads.
using WindowRegistration = std::function<void(mdiMain&)>;
std::unique_ptr<mdiMain> StartVellaro(const QString& programFolder, const WindowRegistration& registerWindows,
                                      bool pause = true);

// Holds the program folder's single-copy lock for as long as it lives.
class SingleCopy
{
public:
    explicit SingleCopy(const QString& programFolder);
    ~SingleCopy();
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    // False when another copy of the program runs for this user on this program folder.
    bool IsOnlyCopy() const;

private:
    struct Lock;
    std::unique_ptr<Lock> m_lock;
};

// The program: ends at once when another copy runs, else starts and runs until the main window closes.
int Main(int argc, char* argv[], const WindowRegistration& registerWindows);
