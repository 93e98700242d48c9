#include "viewer/FileDialogSizing.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

void fitFileDialog(QFileDialog& dialog, QSize size)
{
    dialog.resize(size);
    // The detail view: names take the room left, the other columns what they need.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}
