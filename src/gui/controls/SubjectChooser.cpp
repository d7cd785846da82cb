#include "gui/controls/SubjectChooser.h"

#include "gui/controls/TypeAhead.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/shell/Action.h"
#include "lists/cSubjects.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

SubjectChooser::SubjectChooser(QWidget* window, QListWidget* list, uc2ColCombo* combo, QPushButton* addButton,
                               TypeAhead& typeAhead, QWidget* nothingChosen)
    : QObject(window), m_list(list), m_combo(combo), m_addButton(addButton), m_typeAhead(typeAhead),
      m_nothingChosen(nothingChosen)
{
    m_combo->hide();
    connect(m_addButton, &QPushButton::clicked, this, [this] {
        if (IsOpen())
            RunAction([this] { StartChoosing(); });
    });
    m_typeAhead.attach(m_combo->combo());
    // Installed after the type-ahead, so that Enter and Escape are the chooser's before typing sees them.
    m_combo->combo()->installEventFilter(this);
    if (QLineEdit* edit = m_combo->combo()->lineEdit())
        edit->installEventFilter(this);
    m_list->installEventFilter(this);
    // A window takes its controls down one by one, and the last events of those still standing must
    // not reach the ones already gone.
    for (QObject* control :
         {static_cast<QObject*>(m_combo), static_cast<QObject*>(m_list), static_cast<QObject*>(m_addButton)})
        connect(control, &QObject::destroyed, this, [this] { m_controlsGone = true; });
}

SubjectChooser::~SubjectChooser() = default;

void SubjectChooser::Open()
{
    m_Subjects = std::make_unique<cSubjects>();
}

void SubjectChooser::Close()
{
    m_Subjects.reset();
}

void SubjectChooser::showChooser(bool visible)
{
    m_combo->setVisible(visible);
    if (visible)
        m_combo->raise();
    m_list->show();
}

void SubjectChooser::StartChoosing()
{
    m_combo->Clear();
    m_Subjects->FillList(*m_combo);
    if (m_onStart)
        m_onStart();
    m_withdrawn = false;
    showChooser(true);
    m_combo->combo()->setFocus();
    m_addButton->setEnabled(false);
    m_combo->ShowDropDown();
}

void SubjectChooser::AddSubject()
{
    const int index = m_combo->ListIndex();
    m_combo->hide();
    if (index < 0) {
        m_nothingChosen->setFocus();
        return;
    }
    const QString name = m_combo->List(index);
    const auto added =
        std::find_if(m_added.begin(), m_added.end(), [&name](const auto& entry) { return entry.first == name; });
    if (added == m_added.end()) {
        m_added.emplace_back(name, m_combo->Code());
        m_list->addItem(name);
    } else if (m_list->findItems(name, Qt::MatchExactly).isEmpty()) {
        // Added, removed and added again: listed once more, and no longer to be removed.
        m_list->addItem(name);
        m_removed.removeAll(name);
    }
    if (m_onAdded)
        m_onAdded();
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    m_addButton->setEnabled(true);
    m_addButton->setFocus();
}

void SubjectChooser::AddPending(const QString& name, const QString& code)
{
    m_added.emplace_back(name, code);
    m_list->addItem(name);
}

QStringList SubjectChooser::AddedIds() const
{
    QStringList ids;
    for (const auto& entry : m_added)
        ids << entry.second;
    return ids;
}

void SubjectChooser::ClearChanges()
{
    m_added.clear();
    m_removed.clear();
}

bool SubjectChooser::FocusNext(const QComboBox* from) const
{
    if (from != m_combo->combo())
        return false;
    m_addButton->setEnabled(true);
    m_addButton->setFocus();
    return true;
}

bool SubjectChooser::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsOpen() || m_controlsGone)
        return false;
    // A key whose work failed is swallowed, so that it does not go on to change the control.
    return RunAction(event->type() == QEvent::KeyPress, [&] { return subjectEvent(watched, event); });
}

bool SubjectChooser::subjectEvent(QObject* watched, QEvent* event)
{
    QComboBox* chooser = m_combo->combo();
    const bool inChooser = watched == chooser || watched == chooser->lineEdit();
    if (inChooser && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            // Escape withdraws the choice: nothing is added.
            m_withdrawn = true;
            showChooser(false);
            m_addButton->setEnabled(true);
            m_addButton->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_combo->HideDropDown();
            const QString typed = m_combo->Text();
            int index = m_typeAhead.lastFound();
            if (!typed.isEmpty()) {
                index = -1;
                for (int i = 0; i < m_combo->ListCount() && index < 0; ++i) {
                    if (m_combo->List(i).startsWith(typed, Qt::CaseInsensitive))
                        index = i;
                }
            }
            if (index >= 0 && index < m_combo->ListCount())
                m_combo->setListIndex(index);
            m_addButton->setEnabled(true);
            m_addButton->setFocus();
            return true;
        }
    }
    if (inChooser && event->type() == QEvent::FocusOut && m_combo->isVisible()) {
        // Opening the list moves the focus to it for a moment; that is no leaving.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason || chooser->view()->isVisible())
            return false;
        if (!m_withdrawn)
            AddSubject();
        showChooser(false);
        m_addButton->setEnabled(true);
        return false;
    }
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && m_list->currentItem() && m_list->currentItem()->isSelected()) {
            if (m_onRemoving)
                m_onRemoving();
            const QString name = m_list->currentItem()->text();
            if (!m_removed.contains(name))
                m_removed << name;
            delete m_list->takeItem(m_list->currentRow());
            m_addButton->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Escape)
            m_combo->hide();
    }
    if (watched == m_list && event->type() == QEvent::FocusOut)
        m_combo->hide();
    return false;
}
