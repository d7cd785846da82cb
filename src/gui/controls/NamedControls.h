#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QString>

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
