#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QComboBox;
class QListWidget;
class QPushButton;
class QWidget;
class TypeAhead;
class cSubjects;
class uc2ColCombo;

// The subjects of a photo as a window collects them: a button opens a combo of every subject over
// the list, Enter or a click takes the subject, Escape withdraws it, and Delete in the list removes
// a subject. What is added and removed is only collected, for the window to store.
class SubjectChooser final : public QObject
{
    Q_OBJECT

public:
    // Subject ids added, each under its name, in the order added.
    using AddedSubjects = std::vector<std::pair<QString, QString>>;

    // The combo takes the window's type-ahead; a choice that finds nothing puts the focus into
    // nothingChosen.
    SubjectChooser(QWidget* window, QListWidget* list, uc2ColCombo* combo, QPushButton* addButton, TypeAhead& typeAhead,
                   QWidget* nothingChosen);
    ~SubjectChooser() override;

    // Hooks for what a window does besides: when the combo opens, when a subject is added, and
    // when one is removed from the list (before it goes).
    void setOnStart(std::function<void()> hook) { m_onStart = std::move(hook); }
    void setOnAdded(std::function<void()> hook) { m_onAdded = std::move(hook); }
    void setOnRemoving(std::function<void()> hook) { m_onRemoving = std::move(hook); }

    // Makes the subjects' record set; the chooser does nothing until then. Raises when it cannot.
    void Open();
    void Close();
    bool IsOpen() const { return m_Subjects != nullptr; }
    // The subjects' record set; valid while open.
    cSubjects& Subjects() const { return *m_Subjects; }

    // Opens the combo with every subject, as the button does.
    void StartChoosing();
    // Takes the subject chosen in the combo: listed and added, unless it is listed already. One
    // added, removed and chosen again is listed once more and no longer removed.
    void AddSubject();
    // Adds a subject as if chosen (a copied photo's subjects).
    void AddPending(const QString& name, const QString& code);

    const AddedSubjects& Added() const { return m_added; }
    const QStringList& Removed() const { return m_removed; }
    // The ids added, in the order added.
    QStringList AddedIds() const;
    // Forgets what was added and removed (the list itself stays as it is).
    void ClearChanges();

    // Moves the focus on from the combo after a confirmed choice; false for any other combo.
    bool FocusNext(const QComboBox* from) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool subjectEvent(QObject* watched, QEvent* event);
    void showChooser(bool visible);

    QListWidget* m_list;
    uc2ColCombo* m_combo;
    QPushButton* m_addButton;
    TypeAhead& m_typeAhead;
    QWidget* m_nothingChosen;
    bool m_controlsGone = false;
    std::function<void()> m_onStart;
    std::function<void()> m_onAdded;
    std::function<void()> m_onRemoving;
    std::unique_ptr<cSubjects> m_Subjects;
    bool m_withdrawn = false;
    AddedSubjects m_added;
    QStringList m_removed;
};
