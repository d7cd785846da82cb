#include "gui/lists/frmAdd.h"

#include "gui/shell/Action.h"
#include "gui/shell/FormPosition.h"
#include "gui/shell/MainVellaro.h"

#include <QLineEdit>
#include <QPushButton>

frmAdd::frmAdd(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAdd"));
    setWindowTitle(QStringLiteral("Add"));
    setModal(true);

    txtItem = new QLineEdit(this);
    txtItem->setObjectName(QStringLiteral("txtItem"));
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    // 4680 by 1440 twips: one text box with the two buttons below its right end.
    setFixedSize(312, 96);
    txtItem->setGeometry(12, 14, 288, 24);
    cmdSave->setGeometry(124, 56, 84, 26);
    cmdCancel->setGeometry(216, 56, 84, 26);
    setTabOrder(txtItem, cmdSave);
    setTabOrder(cmdSave, cmdCancel);

    connect(cmdSave, &QPushButton::clicked, this, &frmAdd::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAdd::reject);
    InstallHelpKey(this, HelpContextID);
    // The text box keeps its key releases to itself, so it asks for help on its own.
    InstallHelpKey(txtItem, HelpContextID);
}

frmAdd::~frmAdd() = default;

void frmAdd::setTitle(const QString& title)
{
    setWindowTitle(title);
}

QString frmAdd::Item() const
{
    return txtItem->text();
}

void frmAdd::setItem(const QString& item)
{
    txtItem->setText(item);
}

void frmAdd::showEvent(QShowEvent* event)
{
    if (!m_placed) {
        m_placed = true;
        RunAction([this] { RestoreFormPosition(this); });
    }
    txtItem->setFocus();
    txtItem->selectAll();
    QDialog::showEvent(event);
}

void frmAdd::cmdSave_Click()
{
    accept();
}

void frmAdd::reject()
{
    // Every way of leaving without Save cancels: an Edit must never take the text as a new name.
    txtItem->clear();
    m_Cancelled = true;
    QDialog::reject();
}

void frmAdd::done(int result)
{
    SaveFormPosition(this);
    QDialog::done(result);
}
