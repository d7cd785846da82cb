#include "gui/controls/DatePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

DatePicker::DatePicker(QWidget* parent) : QWidget(parent), m_check(new QCheckBox(this)), m_date(new QDateEdit(this))
{
    m_check->setObjectName(QStringLiteral("chkDate"));
    m_date->setObjectName(QStringLiteral("dteDate"));
    m_date->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
    m_date->setCalendarPopup(true);
    // Dates go back to 1601, before any photograph; Qt's date edit starts at 1752 unless told. The
    // day before stands for no date and shows as a blank field.
    m_date->setMinimumDate(noDate());
    m_date->setSpecialValueText(QStringLiteral(" "));
    m_date->setDate(noDate());
    m_date->setEnabled(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_check);
    layout->addWidget(m_date, 1);
    setFocusProxy(m_check);

    m_date->installEventFilter(this);
    if (auto* edit = m_date->findChild<QLineEdit*>())
        edit->installEventFilter(this);
    // Whichever way the calendar opens, it is shown first.
    m_date->calendarWidget()->window()->installEventFilter(this);

    connect(m_check, &QCheckBox::toggled, this, [this](bool checked) {
        // A date entered where there was none starts from today.
        if (checked && m_date->date() == noDate()) {
            const QSignalBlocker oneChange(m_date);
            m_date->setDate(QDate::currentDate());
        }
        m_date->setEnabled(checked);
        emit ValueChanged();
    });
    connect(m_check, &QCheckBox::clicked, this, &DatePicker::Click);
    connect(m_date, &QDateEdit::dateChanged, this, [this] {
        if (m_check->isChecked())
            emit ValueChanged();
    });
}

DatePicker::~DatePicker() = default;

QDate DatePicker::noDate()
{
    return QDate(1600, 12, 31);
}

QVariant DatePicker::Value() const
{
    return m_check->isChecked() && m_date->date() != noDate() ? QVariant(m_date->date()) : QVariant();
}

void DatePicker::setValue(const QVariant& value)
{
    const QDate date = value.toDate();
    if (!date.isValid() || date < noDate().addDays(1)) {
        // No date shows an empty field, never the date of the photo shown before.
        m_check->setChecked(false);
        m_date->setDate(noDate());
        return;
    }
    // The date first: while the box is still clear it changes no value, so one change is reported.
    m_date->setDate(date);
    m_check->setChecked(true);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
        if (watched == m_date->calendarWidget()->window())
            emit DropDown();
        break;
    case QEvent::MouseButtonPress: {
        // On the press: a press on the arrow gives the mouse to the calendar, which keeps the release.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool onDate = watched == m_date || qobject_cast<QLineEdit*>(watched); // not the calendar
        if (onDate && event->spontaneous() && mouse->button() == Qt::LeftButton && m_date->isEnabled())
            emit Click();
        break;
    }
    case QEvent::KeyPress: {
        // F4 and Alt+Down open the calendar; Qt's date edit has no key for it.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens =
            key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && key->modifiers().testFlag(Qt::AltModifier));
        if (opens && m_date->isEnabled()) {
            QStyleOptionComboBox option;
            option.initFrom(m_date);
            option.editable = true;
            option.subControls = QStyle::SC_All;
            const QPoint arrow = m_date->style()
                                     ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, m_date)
                                     .center();
            QMouseEvent press(QEvent::MouseButtonPress, arrow, m_date->mapToGlobal(arrow), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(m_date, &press);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
