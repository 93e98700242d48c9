#pragma once
// The label editor of the folder trees: the file-name edit, and ending the edit renames on
// disk (through `finish`) rather than writing the text into the item.

#include "browser/CFileNameEdit.h"

#include <QModelIndex>
#include <QStyledItemDelegate>

#include <functional>
#include <utility>

class TreeRenameDelegate : public QStyledItemDelegate {
public:
    using Finish = std::function<void(const QModelIndex& index, const QString& text)>;
    TreeRenameDelegate(QObject* tree, Finish finish) : QStyledItemDelegate(tree), m_finish(std::move(finish)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return new CFileNameEdit(parent);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* edit = static_cast<CFileNameEdit*>(editor);
        edit->setText(index.data(Qt::DisplayRole).toString());
        edit->selectAll();
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        m_finish(index, static_cast<CFileNameEdit*>(editor)->text());
    }

private:
    Finish m_finish;
};
