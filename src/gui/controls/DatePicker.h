#pragma once

#include <QDate>
#include <QVariant>
#include <QWidget>

class QCheckBox;
class QDateEdit;

// A date with a check box: unchecked means no date (Null). Shown as "MM/dd/yyyy" with a calendar
// that drops down.
class DatePicker final : public QWidget
{
    Q_OBJECT

public:
    explicit DatePicker(QWidget* parent = nullptr);
    ~DatePicker() override;

    // A QDate, or Null when unchecked.
    QVariant Value() const;
    // A QDate checks the box and shows it; Null (or an invalid date) clears the box.
    void setValue(const QVariant& value);

    QCheckBox* checkBox() const { return m_check; }
    QDateEdit* dateEdit() const { return m_date; }

signals:
    // The calendar is about to drop down.
    void DropDown();
    // The user clicked the control (its box or its date).
    void Click();
    void ValueChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The value of the date field while there is no date.
    static QDate noDate();

    QCheckBox* m_check;
    QDateEdit* m_date;
};
