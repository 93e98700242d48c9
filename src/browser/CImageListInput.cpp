// Keyboard, mouse, renaming and menus of `CImageListCtrl`.
#include "browser/CImageListCtrl.h"

#include "browser/BrowserEvents.h"
#include "browser/CFileNameEdit.h"
#include "browser/ThumbnailCache.h"
#include "platform/FileOperations.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

// ---- keyboard -----------------------------------------------------------------------------

void CImageListCtrl::keyPressEvent(QKeyEvent* e)
{
    if (m_editIndex >= 0)
        return QAbstractScrollArea::keyPressEvent(e);
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        switch (e->key()) {
        case Qt::Key_A: runCommand(cmd::SelectAll); return;
        case Qt::Key_C: runCommand(cmd::Copy); return;
        case Qt::Key_V: runCommand(cmd::Paste); return;
        case Qt::Key_X: runCommand(cmd::Cut); return;
        default: break;
        }
    }
    if (mods == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: runCommand(cmd::ViewAndEdit); return;
        case Qt::Key_Delete: runCommand(cmd::Delete); return;
        case Qt::Key_F2: runCommand(cmd::Rename); return;
        case Qt::Key_Plus:
            if (keypad) { runCommand(cmd::SortForward); return; }
            break;
        case Qt::Key_Minus:
            if (keypad) { runCommand(cmd::SortBackward); return; }
            break;
        default: break;
        }
    }
    // Movement keys.
    const int count = m_items.GetItemCount();
    const int focused = m_items.GetFocusedItem();
    int target = -1;
    const int cols = columns();
    const int pageItems = std::max(1, viewport()->height() / std::max(1, m_metrics.cellHeight)) * cols;
    switch (e->key()) {
    case Qt::Key_Left: target = focused - 1; break;
    case Qt::Key_Right: target = focused + 1; break;
    case Qt::Key_Up: target = focused - cols; break;
    case Qt::Key_Down: target = focused < 0 ? 0 : std::min(focused + cols, count - 1); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = count - 1; break;
    case Qt::Key_PageUp: target = std::max(0, focused - pageItems); break;
    case Qt::Key_PageDown: target = std::min(count - 1, focused + pageItems); break;
    default: break;
    }
    if (target >= 0 && target < count) {
        if (mods & Qt::ShiftModifier) {
            const int anchor = std::max(0, m_items.firstSelected() < 0 ? focused : m_items.firstSelected());
            m_items.selectOnlyRange(anchor, target);
            setFocusedItem(target);
            ensureVisible(target);
            selectionChanged();
        } else if (mods & Qt::ControlModifier) {
            setFocusedItem(target);
            ensureVisible(target);
        } else {
            selectOnly(target);
        }
        return;
    }
    if (e->key() == Qt::Key_Space && focused >= 0 && mods == Qt::ControlModifier) {
        m_items.setSelected(focused, !m_items.isSelected(focused));
        selectionChanged();
        return;
    }
    // Type-ahead on the first character of the names.
    const QString text = e->text();
    if (mods != Qt::ControlModifier && text.size() == 1 && text.front().isPrint() && !text.front().isSpace()) {
        const int match = m_items.typeAheadMatch(text.front());
        if (match >= 0)
            selectOnly(match);
        return;
    }
    QAbstractScrollArea::keyPressEvent(e);
}

// ---- mouse --------------------------------------------------------------------------------

void CImageListCtrl::mousePressEvent(QMouseEvent* e)
{
    if (m_editor)
        EndLabelEdit(true);
    setFocus(Qt::MouseFocusReason);
    const int index = itemAt(e->position().toPoint());
    const auto mods = e->modifiers();
    if (index < 0) {
        if (!(mods & (Qt::ControlModifier | Qt::ShiftModifier))) {
            m_items.clearSelection();
            selectionChanged();
        }
        return;
    }
    if (e->button() == Qt::RightButton) {
        if (!m_items.isSelected(index))
            selectOnly(index);
        else
            setFocusedItem(index);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (mods & Qt::ShiftModifier) {
        const int anchor = m_items.firstSelected() >= 0 ? m_items.firstSelected() : index;
        m_items.selectOnlyRange(anchor, index);
        setFocusedItem(index);
        selectionChanged();
    } else if (mods & Qt::ControlModifier) {
        m_items.setSelected(index, !m_items.isSelected(index));
        setFocusedItem(index);
        selectionChanged();
    } else {
        selectOnly(index);
    }
}

void CImageListCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const int index = itemAt(e->position().toPoint());
    if (index >= 0 && e->button() == Qt::LeftButton)
        OpenItem(index);
}

// ---- renaming -----------------------------------------------------------------------------

bool CImageListCtrl::eventFilter(QObject* watched, QEvent* e)
{
    if (m_editor && watched == m_editor) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            EndLabelEdit(false);
            return true;
        }
        if (e->type() == QEvent::FocusOut) {
            EndLabelEdit(true);
            return false;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, e);
}

bool CImageListCtrl::mayRename(int index) const
{
    if (!m_items.isValidIndex(index))
        return false;
    const FolderItem& item = m_items.at(index);
    return (item.attributes & ShellAttr::CanRename) && item.fileSystem && !item.nativePath.isEmpty()
           && item.nativePath != "/";
}

bool CImageListCtrl::BeginLabelEdit(int index)
{
    if (m_editor)
        EndLabelEdit(false);
    if (!mayRename(index)) {
        QApplication::beep();
        m_editIndex = -1;
        return false;
    }
    m_editIndex = index;
    ensureVisible(index);
    const FolderItem& item = m_items.at(index);
    QString name = item.displayName;
    if (item.kind != ItemKind::Folder) {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            name = name.left(dot);
    }
    m_editOriginal = name;
    auto* editor = new CFileNameEdit(viewport());  // owned by the viewport
    m_editor = editor;
    editor->setFont(cellFont());
    editor->setText(name);
    editor->selectAll();
    placeEditor();
    connect(editor, &QLineEdit::returnPressed, this, [this] { EndLabelEdit(true); });
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus();
    updateItem(index);
    return true;
}

void CImageListCtrl::placeEditor()
{
    if (!m_editor)
        return;
    const QRect r = itemRect(m_editIndex);
    m_editor->setGeometry(r.left() + 1, r.bottom() - 17, r.width() - 2, 18);
}

bool CImageListCtrl::EndLabelEdit(bool accept)
{
    if (!m_editor || m_editIndex < 0)
        return false;
    const int index = m_editIndex;
    const QString text = m_editor->text().trimmed();
    CFileNameEdit* editor = m_editor;
    m_editor = nullptr;
    m_editIndex = -1;
    editor->hide();
    editor->deleteLater();
    setFocus();
    updateItem(index);
    if (!accept || text.isEmpty() || text == m_editOriginal || !m_items.isValidIndex(index))
        return false;
    const FolderItem& item = m_items.at(index);
    QString newName = text;
    if (item.kind != ItemKind::Folder) {
        const int dot = item.displayName.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            newName += item.displayName.mid(dot);
    }
    // A pasted name can hold what the edit refuses to type; that is a failed rename too.
    const bool renamed = !std::any_of(text.begin(), text.end(), &CFileNameEdit::isRefused)
                         && !FileOperations::RenameInFolder(item.nativePath, QFile::encodeName(newName)).isEmpty();
    if (renamed) {
        // The shared cache knows the file by its old name, which now means nothing or another file.
        ThumbnailCache::forget(item.nativePath);
        Rescan();
        return true;
    }
    QCoreApplication::postEvent(this, new EditLabelEvent(index));
    return false;
}

// ---- menus and commands -------------------------------------------------------------------

ListMenu CImageListCtrl::contextMenuKind(int index) const
{
    if (!m_items.isValidIndex(index))
        return ListMenu::Background;
    const FolderItem& item = m_items.at(index);
    if (item.countsAsImage() || item.targetIsImage)
        return ListMenu::Photo;
    return item.kind == ItemKind::Folder ? ListMenu::Folder : ListMenu::File;
}

void CImageListCtrl::contextMenuEvent(QContextMenuEvent* e)
{
    int index = -1;
    QPoint at = e->globalPos();
    if (e->reason() == QContextMenuEvent::Keyboard) {
        index = m_items.firstSelected();
        if (index >= 0)
            at = viewport()->mapToGlobal(itemRect(index).adjusted(0, 0, 0, -17).center());
    } else {
        index = itemAt(viewport()->mapFrom(this, e->pos()));
    }
    // The host owns the menus, so their items are the program's commands with their states.
    m_host->showContextMenu(contextMenuKind(index), at);
}

void CImageListCtrl::runCommand(int id)
{
    switch (id) {
    case cmd::SortByName: setSort(SortByName, m_settings.sortDirection); return;
    case cmd::SortBySize: setSort(SortBySize, m_settings.sortDirection); return;
    case cmd::SortByType: setSort(SortByType, m_settings.sortDirection); return;
    case cmd::SortByDate: setSort(SortByDate, m_settings.sortDirection); return;
    case cmd::SortByPhotoSize: setSort(SortByPhotoSize, m_settings.sortDirection); return;
    case cmd::SortForward: setSort(m_settings.sortType, SortForward); return;
    case cmd::SortBackward: setSort(m_settings.sortType, SortBackward); return;
    case cmd::Refresh: Rescan(); return;
    case cmd::SelectAll:
    case cmd::SelectAllFiles:
    case cmd::SelectAllImages:
    case cmd::InvertSelection:
    case cmd::ClearSelection: runSelectionCommand(id); return;
    case cmd::ViewAndEdit:
    case cmd::Open: OpenItem(m_items.GetFocusedItem()); return;
    case cmd::Rename: BeginLabelEdit(m_items.GetFocusedItem()); return;
    default: m_host->runCommand(id); return;
    }
}
