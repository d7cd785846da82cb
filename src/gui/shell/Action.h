#pragma once

#include <functional>

// Runs one thing a user asked for (a click, a menu command, a key). A Failure it raises is shown to
// the user through the message service and goes no further, so no failure ever leaves a slot, an
// event handler or a constructor to end the program. Returns true when the action ran to its end.
bool RunAction(const std::function<void()>& action);

// The same for an action with an answer: the answer, or fallback when the action failed.
template <typename T, typename Action> T RunAction(T fallback, Action&& action)
{
    T result = fallback;
    if (!RunAction([&] { result = action(); }))
        return fallback;
    return result;
}
