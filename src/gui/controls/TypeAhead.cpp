#include "gui/controls/TypeAhead.h"

#include "gui/shell/Action.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

namespace {

// The combo an event belongs to: the combo itself or the one that owns the line edit.
QComboBox* comboOf(QObject* watched)
{
    if (auto* combo = qobject_cast<QComboBox*>(watched))
        return combo;
    return qobject_cast<QComboBox*>(watched->parent());
}

int firstStartingWith(const QComboBox* combo, const QString& text)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

} // namespace

TypeAhead::TypeAhead(QObject* parent, std::function<void()> changed, std::function<void(QComboBox*)> next)
    : QObject(parent), m_changed(std::move(changed)), m_next(std::move(next))
{}

void TypeAhead::attach(QComboBox* combo)
{
    combo->installEventFilter(this);
    if (QLineEdit* edit = combo->lineEdit())
        edit->installEventFilter(this);
    // A click on an entry confirms it; moving through the list with the arrow keys does not.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        if (!m_suppress)
            moveOn(combo);
    });
}

bool TypeAhead::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        // Turning the wheel over a combo makes Qt choose an entry: that is browsing, like the arrow keys,
        // until the wheel event has been dealt with.
        m_suppress = true;
        const auto dealtWith = [this] { m_suppress = false; };
        QMetaObject::invokeMethod(this, dealtWith, Qt::QueuedConnection);
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    QComboBox* combo = comboOf(watched);
    if (!combo)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress)
        return keyPress(combo, key->key(), key->text());
    if (!key->isAutoRepeat())
        keyRelease(combo, key->key());
    return false;
}

bool TypeAhead::keyPress(QComboBox* combo, int key, const QString& text)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_suppress = true;
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        combo->hidePopup();
        if (m_lastFound >= 0 && m_lastFound < combo->count())
            combo->setCurrentIndex(m_lastFound);
        moveOn(combo);
        return true;
    case Qt::Key_Backspace:
        // A change the window refuses is not typed either.
        return !changed();
    case Qt::Key_Delete:
        // X11 gives Delete the character 127, but it types nothing.
        return false;
    default:
        break;
    }
    if (text.isEmpty())
        return false;
    const char16_t code = text.at(0).unicode();
    if (code < 32 || code > 128)
        return false;
    typed(combo, text.at(0));
    return true;
}

void TypeAhead::keyRelease(QComboBox* combo, int key)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return;
    m_suppress = false;
    m_lastFound = firstStartingWith(combo, combo->currentText());
}

void TypeAhead::typed(QComboBox* combo, QChar character)
{
    m_suppress = true;
    QLineEdit* edit = combo->lineEdit();
    const QString shown = combo->currentText();
    const QString search = (edit && edit->hasSelectedText() ? shown.left(edit->selectionStart()) : shown) + character;
    // The list stays closed while typing: a Qt popup would take the keyboard from the edit field.
    m_lastFound = firstStartingWith(combo, search);
    if (m_lastFound >= 0) {
        combo->setCurrentIndex(m_lastFound);
        if (edit) {
            // Selected from the end back, so that the caret stands after what was typed.
            const QString entry = combo->itemText(m_lastFound);
            edit->setText(entry);
            edit->setSelection(int(entry.size()), int(search.size() - entry.size()));
        }
    }
    changed();
    m_suppress = false;
}

bool TypeAhead::changed()
{
    return !m_changed || RunAction([this] { m_changed(); });
}

void TypeAhead::moveOn(QComboBox* combo)
{
    if (m_next)
        RunAction([this, combo] { m_next(combo); });
}
