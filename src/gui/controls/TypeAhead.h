#pragma once

#include <QObject>

#include <functional>

class QComboBox;

// The type-ahead that every window hosting combos applies to them: typed characters complete the
// edit text to the first entry that begins with what was typed (ignoring capitals), text that no
// entry begins with cannot be typed, Enter takes the entry found, and confirming a choice moves on
// to the window's next field. One object per window keeps the state all its combos share.
class TypeAhead final : public QObject
{
    Q_OBJECT

public:
    // changed runs when typing changes a combo (the window's change marker); next(combo) moves the
    // focus on from combo after a choice is confirmed.
    TypeAhead(QObject* parent, std::function<void()> changed, std::function<void(QComboBox*)> next);

    // Applies the type-ahead to a combo (plain, or the visible combo of a two-column combo).
    void attach(QComboBox* combo);

    // The index found last, -1 when the last search found nothing.
    int lastFound() const { return m_lastFound; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPress(QComboBox* combo, int key, const QString& text);
    void keyRelease(QComboBox* combo, int key);
    void typed(QComboBox* combo, QChar character);
    // Tells the window of a change (false when it refused it) and moves on, each as one action.
    bool changed();
    void moveOn(QComboBox* combo);

    std::function<void()> m_changed;
    std::function<void(QComboBox*)> m_next;
    bool m_suppress = false;
    int m_lastFound = -1;
};
