#include "gui/shell/Action.h"

#include "core/Failure.h"
#include "core/Messages.h"

#include <exception>

bool RunAction(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const Failure& failure) {
        MsgBox(failure.Description());
    } catch (const std::exception& error) {
        // Not one of ours (memory, a library): still shown, never left to end the program.
        MsgBox(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
