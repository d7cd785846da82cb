#include "gui/controls/KeyFilters.h"

#include "core/Messages.h"

#include <QKeyEvent>

bool IsEditingKey(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Pause:
    case Qt::Key_Insert:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Shift:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Menu:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        return !(key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F16);
    }
}

bool RefuseNonDigitKey(const QKeyEvent* key)
{
    const QString text = key->text();
    const bool digit = text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 0x80;
    if (digit || key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return false;
    Beep();
    return true;
}
