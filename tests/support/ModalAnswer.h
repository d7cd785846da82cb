#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the modal window that the next step opens, once it is showing: tests reach dialogs shown
// with exec() this way. The action gets the modal window (null if none appeared).
inline void whenModalShows(const std::function<void(QWidget*)>& act)
{
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}
