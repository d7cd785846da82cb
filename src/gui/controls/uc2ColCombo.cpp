#include "gui/controls/uc2ColCombo.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QVBoxLayout>

#include <utility>

namespace {

// Runs a change of the combo with its edit text and caret kept as they were, raising quiet meanwhile so
// that no Change follows.
template <typename Change> void keepingText(QComboBox* combo, bool& quiet, Change&& change)
{
    const QString text = combo->currentText();
    const int caret = combo->lineEdit()->cursorPosition();
    const bool wasQuiet = std::exchange(quiet, true);
    change();
    if (combo->currentText() != text) {
        combo->setEditText(text);
        combo->lineEdit()->setCursorPosition(caret);
    }
    quiet = wasQuiet;
}

// Runs a change of the entries with the choice kept as well: Qt selects the first entry added to an
// empty list and moves to a neighbour when the current entry is removed, and this control wants
// neither: a choice is only ever the user's own.
template <typename Change> void keepingChoice(QComboBox* combo, bool& quiet, Change&& change)
{
    const QPersistentModelIndex chosen(combo->model()->index(combo->currentIndex(), combo->modelColumn()));
    keepingText(combo, quiet, [&] {
        change();
        const int index = chosen.isValid() ? chosen.row() : -1;
        if (combo->currentIndex() != index)
            combo->setCurrentIndex(index);
    });
}

} // namespace

void DropDownCombo::showPopup()
{
    emit DropDown();
    QComboBox::showPopup();
}

uc2ColCombo::uc2ColCombo(QWidget* parent) : QWidget(parent), m_combo(new DropDownCombo(this))
{
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setEditable(true);
    // Typed text never becomes an entry, and completion is the host's type-ahead, not Qt's.
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setCompleter(nullptr);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_combo);
    layout->addStretch();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusProxy(m_combo);

    m_combo->installEventFilter(this);
    m_combo->lineEdit()->installEventFilter(this);

    connect(m_combo, &QComboBox::editTextChanged, this, [this] {
        if (m_matching)
            return;
        emit Change();
        matchText();
        m_textChoice = m_combo->currentIndex();
    });
    // A pick from the list or by the arrow keys has already been chosen by the edit text it brought,
    // unless that text was there before; one pick raises one Click.
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        if (std::exchange(m_textChoice, -1) != index)
            choose(index);
    });
    connect(m_combo, &DropDownCombo::DropDown, this, [this] {
        m_textChoice = -1;
        emit DropDown();
    });
}

uc2ColCombo::~uc2ColCombo() = default;

void uc2ColCombo::AddItem(const QString& text, const QString& code)
{
    keepingChoice(m_combo, m_matching, [&] {
        m_codes.append(code);
        m_combo->addItem(text);
    });
    m_newIndex = m_combo->count() - 1;
}

void uc2ColCombo::RemoveItem(int index)
{
    if (index < 0 || index >= m_combo->count())
        return;
    keepingChoice(m_combo, m_matching, [&] {
        m_codes.removeAt(index);
        m_combo->removeItem(index);
    });
    // After a removal no entry counts as the one added last.
    m_newIndex = -1;
}

void uc2ColCombo::Clear()
{
    // Emptying the list empties the edit field too; that is no typed change, so Code keeps its value
    // until the next choice.
    const bool wasMatching = std::exchange(m_matching, true);
    m_codes.clear();
    m_combo->clear();
    m_combo->clearEditText();
    m_matching = wasMatching;
    m_newIndex = -1;
}

void uc2ColCombo::setCode(const QString& code)
{
    m_code = code;
}

QString uc2ColCombo::Text() const
{
    return m_combo->currentText();
}

void uc2ColCombo::setText(const QString& text)
{
    // Raised and matched even when the text is the same, so that Text after Code restores the code.
    const bool wasMatching = std::exchange(m_matching, true);
    m_combo->setEditText(text);
    m_matching = wasMatching;
    emit Change();
    matchText();
}

QString uc2ColCombo::List(int index) const
{
    return m_combo->itemText(index);
}

void uc2ColCombo::setList(int index, const QString& text)
{
    keepingChoice(m_combo, m_matching, [&] { m_combo->setItemText(index, text); });
}

int uc2ColCombo::ListIndex() const
{
    return m_combo->currentIndex();
}

void uc2ColCombo::setListIndex(int index)
{
    if (index >= 0 && index < m_combo->count()) {
        choose(index);
        return;
    }
    // No entry: the selection, the edit field and the code are all cleared.
    const bool wasMatching = std::exchange(m_matching, true);
    m_combo->setCurrentIndex(-1);
    m_combo->clearEditText();
    m_matching = wasMatching;
    m_code = QStringLiteral("-1");
}

int uc2ColCombo::ListCount() const
{
    return m_combo->count();
}

qint32 uc2ColCombo::ItemData(int index) const
{
    return m_combo->itemData(index).toInt();
}

void uc2ColCombo::setItemData(int index, qint32 data)
{
    keepingChoice(m_combo, m_matching, [&] { m_combo->setItemData(index, data); });
}

bool uc2ColCombo::Locked() const
{
    return m_combo->lineEdit()->isReadOnly();
}

void uc2ColCombo::setLocked(bool locked)
{
    m_combo->lineEdit()->setReadOnly(locked);
}

int uc2ColCombo::SelStart() const
{
    const QLineEdit* edit = m_combo->lineEdit();
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void uc2ColCombo::setSelStart(int start)
{
    m_combo->lineEdit()->setCursorPosition(start);
}

int uc2ColCombo::SelLength() const
{
    return int(m_combo->lineEdit()->selectedText().size());
}

void uc2ColCombo::setSelLength(int length)
{
    m_combo->lineEdit()->setSelection(SelStart(), length);
}

QString uc2ColCombo::SelText() const
{
    return m_combo->lineEdit()->selectedText();
}

void uc2ColCombo::setSelText(const QString& text)
{
    m_combo->lineEdit()->insert(text);
}

QString uc2ColCombo::ToolTipText() const
{
    return m_combo->toolTip();
}

void uc2ColCombo::setToolTipText(const QString& text)
{
    m_combo->setToolTip(text);
}

void uc2ColCombo::ShowDropDown()
{
    m_combo->showPopup();
}

void uc2ColCombo::HideDropDown()
{
    m_combo->hidePopup();
}

bool uc2ColCombo::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        m_textChoice = -1;
        emit KeyDown(key->key(), int(key->modifiers()));
        // X11 gives Delete the character 127, but it types nothing.
        if (!key->text().isEmpty() && key->key() != Qt::Key_Delete)
            emit KeyPress(key->text().at(0).unicode());
        // Locked: the arrow keys and F4 would still choose or open the list.
        if (Locked() && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down || key->key() == Qt::Key_PageUp ||
                         key->key() == Qt::Key_PageDown || key->key() == Qt::Key_F4))
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            emit KeyUp(key->key(), int(key->modifiers()));
        break;
    }
    case QEvent::MouseButtonDblClick:
        emit DblClick();
        break;
    case QEvent::MouseButtonPress:
        // Locked: a press on the arrow would open the list.
        if (Locked() && watched == m_combo)
            return true;
        break;
    case QEvent::Wheel:
        m_textChoice = -1;
        if (Locked())
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void uc2ColCombo::choose(int index)
{
    const bool wasMatching = std::exchange(m_matching, true);
    m_combo->setCurrentIndex(index);
    m_matching = wasMatching;
    m_code = m_codes.value(index);
    emit Click();
}

void uc2ColCombo::matchText()
{
    const QString wanted = m_combo->currentText().toUpper();
    for (int i = 0; i < m_combo->count(); ++i) {
        if (m_combo->itemText(i).toUpper() == wanted) {
            choose(i);
            return;
        }
    }
    // Qt would leave the last entry current; text that no entry has is no choice.
    if (m_combo->currentIndex() != -1)
        keepingText(m_combo, m_matching, [this] { m_combo->setCurrentIndex(-1); });
    m_code = QStringLiteral("-1");
}
