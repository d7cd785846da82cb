#pragma once

#include "support/ModalAnswer.h"

#include <QListWidget>
#include <QStringList>
#include <QTest>
#include <QTreeWidget>

// Windows' controls reached by their object names and worked with the mouse, as a user works them.

template <typename T> T* control(const QWidget& window, const char* name)
{
    return window.findChild<T*>(QString::fromLatin1(name));
}
template <typename T> T* control(const QWidget* window, const char* name)
{
    return control<T>(*window, name);
}

// Clicks the window's push button of this name with the mouse.
void click(const QWidget& window, const char* name);
void click(const QWidget* window, const char* name);

// Opens the folder of this name in the window's folder list ("Dir1") with a double-click.
void openFolder(const QWidget& window, const QString& name);

// The node at this path of texts from the tree's top level, or null.
QTreeWidgetItem* treeNode(const QTreeWidget* tree, const QStringList& path);

// The entries' texts, in the list's order.
QStringList itemTexts(const QListWidget* list);

// Runs the dialog as its owners do, with act doing what the user does while it waits; a step that
// fails never leaves the test waiting on the dialog.
template <typename Dialog, typename Act> void runModal(Dialog& dialog, Act&& act)
{
    bool modal = false;
    whenModalShows([&](QWidget* shown) {
        modal = shown == &dialog;
        if (modal)
            act(dialog);
        if (dialog.isVisible())
            dialog.reject();
    });
    dialog.exec();
    QVERIFY(modal);
}
