#pragma once
// The item a folder tree's context menu is for, and where the menu opens: under the mouse, or
// for the keyboard's menu key at the current item's left edge.

#include <QContextMenuEvent>
#include <QPoint>
#include <QTreeWidget>

struct TreeMenuTarget {
    QTreeWidgetItem* item = nullptr;
    QPoint at;  // in the tree's viewport
};

inline TreeMenuTarget treeMenuTarget(const QTreeWidget& tree, const QContextMenuEvent& event)
{
    if (event.reason() != QContextMenuEvent::Keyboard)
        return {tree.itemAt(event.pos()), event.pos()};
    TreeMenuTarget target{tree.currentItem(), event.pos()};
    if (target.item) {
        const QRect r = tree.visualItemRect(target.item);
        target.at = QPoint(r.left(), r.center().y());
    }
    return target;
}
