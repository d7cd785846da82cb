#pragma once

#include "data/FillTargets.h"

#include <QComboBox>
#include <QListWidget>

// The record sets' fills reaching the windows' plain combos and list boxes.

class ComboItems final : public ListTarget
{
public:
    explicit ComboItems(QComboBox* combo) : m_combo(combo) {}
    void AddItem(const QString& text) override { m_combo->addItem(text); }

private:
    QComboBox* m_combo;
};

class ListBoxItems final : public ListTarget
{
public:
    explicit ListBoxItems(QListWidget* list) : m_list(list) {}
    void AddItem(const QString& text) override { m_list->addItem(text); }

private:
    QListWidget* m_list;
};
