#include "support/Controls.h"

#include <QPushButton>

void click(const QWidget& window, const char* name)
{
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}

void click(const QWidget* window, const char* name)
{
    click(*window, name);
}

void openFolder(const QWidget& window, const QString& name)
{
    auto* list = control<QListWidget>(window, "Dir1");
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    // A click, then the second press as a double-click, as the system delivers it.
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QTreeWidgetItem* treeNode(const QTreeWidget* tree, const QStringList& path)
{
    QTreeWidgetItem* found = nullptr;
    for (const QString& text : path) {
        const int n = found ? found->childCount() : tree->topLevelItemCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < n && !next; ++i) {
            QTreeWidgetItem* child = found ? found->child(i) : tree->topLevelItem(i);
            if (child->text(0) == text)
                next = child;
        }
        if (!next)
            return nullptr;
        found = next;
    }
    return found;
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}
