#pragma once

#include "gui/shell/Action.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

#include <functional>
#include <utility>

// Controls made with the name that tests and people find them by.

inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, const QString& tip = {})
{
    auto* item = new QPushButton(caption, parent);
    item->setObjectName(QString::fromLatin1(name));
    item->setToolTip(tip);
    return item;
}

inline QLineEdit* NamedTextBox(QWidget* parent, const char* name, const QString& tip = {})
{
    auto* item = new QLineEdit(parent);
    item->setObjectName(QString::fromLatin1(name));
    item->setToolTip(tip);
    return item;
}

// A dialog's "&OK" and "&Cancel" at the right of a row: Enter presses OK, and each runs its handler
// as one action.
inline QHBoxLayout* OkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel, std::function<void()> onOk,
                                std::function<void()> onCancel)
{
    ok = NamedButton(dialog, "cmdOK", QStringLiteral("&OK"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, [onOk = std::move(onOk)] { RunAction(onOk); });
    cancel = NamedButton(dialog, "cmdCancel", QStringLiteral("&Cancel"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dialog, [onCancel = std::move(onCancel)] { RunAction(onCancel); });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}
