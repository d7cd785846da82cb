#pragma once

#include "data/FillTargets.h"

#include <QComboBox>
#include <QStringList>
#include <QWidget>

// A combo box that can tell when its list is about to drop down, so that its owner can fill it
// just in time.
class DropDownCombo : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    // Raised before the list opens.
    void DropDown();
};

// A drop-down combo whose entries each carry a hidden code beside the text the user sees: names
// shown, identifiers kept. Typing a text makes the entry of that text (ignoring capitals) the
// choice; text that matches no entry gives the code "-1".
class uc2ColCombo final : public QWidget, public CodedListTarget
{
    Q_OBJECT

public:
    explicit uc2ColCombo(QWidget* parent = nullptr);
    ~uc2ColCombo() override;

    // Appends an entry: its text to the visible list, its code to the hidden one.
    void AddItem(const QString& text, const QString& code) override;
    void RemoveItem(int index);
    void Clear();

    // The code of the current choice. Writing it stores the value only; no entry is selected.
    QString Code() const { return m_code; }
    void setCode(const QString& code);

    // The edit text. Writing it raises Change and matches the text against the entries, which may
    // change Code (to "-1" when no entry has this text).
    QString Text() const;
    void setText(const QString& text);

    QString List(int index) const;
    void setList(int index, const QString& text);
    // The selected entry, -1 for none; writing it chooses that entry, as a click would.
    int ListIndex() const;
    void setListIndex(int index);
    int ListCount() const;
    // The index of the entry added last, -1 when none was added.
    int NewIndex() const { return m_newIndex; }
    qint32 ItemData(int index) const;
    void setItemData(int index, qint32 data);
    bool Sorted() const { return false; }
    bool Locked() const;
    void setLocked(bool locked);
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString& text);
    QString ToolTipText() const;
    void setToolTipText(const QString& text);

    // Opens or closes the drop-down list.
    void ShowDropDown();
    void HideDropDown();

    // The visible combo ("Combo1"), for the host's type-ahead and focus handling.
    DropDownCombo* combo() const { return m_combo; }

signals:
    void Change();
    void Click();
    void DblClick();
    void DropDown();
    void KeyDown(int keyCode, int shift);
    void KeyPress(int keyAscii);
    void KeyUp(int keyCode, int shift);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(int index);
    void matchText();

    DropDownCombo* m_combo;
    QStringList m_codes; // the hidden list: one code per entry, at the entry's index
    QString m_code;
    int m_newIndex = -1;
    bool m_matching = false;
    int m_textChoice = -1; // the entry the latest edit text chose, so that its pick raises no second Click
};
