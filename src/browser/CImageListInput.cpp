// Keyboard, mouse, renaming and menus of `CImageListCtrl`.
#include "browser/CImageListCtrl.h"

#include "browser/BrowserEvents.h"
#include "browser/CFileNameEdit.h"
#include "platform/FileOperations.h"

#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
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
        case Qt::Key_A: runCommand(ListCommand::SelectAll); return;
        case Qt::Key_C: runCommand(ListCommand::Copy); return;
        case Qt::Key_V: runCommand(ListCommand::Paste); return;
        case Qt::Key_X: runCommand(ListCommand::Cut); return;
        default: break;
        }
    }
    if (mods == Qt::NoModifier) {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: runCommand(ListCommand::ViewAndEdit); return;
        case Qt::Key_Delete: runCommand(ListCommand::Delete); return;
        case Qt::Key_F2: runCommand(ListCommand::Rename); return;
        case Qt::Key_Plus:
            if (keypad) { runCommand(ListCommand::SortForward); return; }
            break;
        case Qt::Key_Minus:
            if (keypad) { runCommand(ListCommand::SortBackward); return; }
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
    const QRect r = itemRect(index);
    editor->setGeometry(r.left() + 1, r.bottom() - 17, r.width() - 2, 18);
    connect(editor, &QLineEdit::returnPressed, this, [this] { EndLabelEdit(true); });
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus();
    updateItem(index);
    return true;
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
    bool renamed = false;
    // A name with a slash would move the file elsewhere; treat it as a failed rename.
    if (!newName.contains(QLatin1Char('/')) && !std::any_of(text.begin(), text.end(), &CFileNameEdit::isRefused))
        renamed = FileOperations::RenamePath(item.nativePath, joinPath(folderOf(item.nativePath), QFile::encodeName(newName)));
    if (renamed) {
        Rescan();
        return true;
    }
    QCoreApplication::postEvent(this, new EditLabelEvent(index));
    return false;
}

// ---- menus and commands -------------------------------------------------------------------

std::unique_ptr<QMenu> CImageListCtrl::buildContextMenu(int index)
{
    auto menu = std::make_unique<QMenu>(this);
    auto add = [&](QMenu* into, const QString& text, int id) {
        QAction* action = into->addAction(text);
        action->setData(id);
        bool enabled = m_host->isCommandEnabled(id);
        switch (id) {
        case ListCommand::ViewAndEdit:
        case ListCommand::Open:
        case ListCommand::SelectAll:
        case ListCommand::SelectAllFiles:
        case ListCommand::SelectAllImages:
        case ListCommand::InvertSelection:
        case ListCommand::Refresh:
            enabled = true;
            break;
        case ListCommand::ClearSelection:
            enabled = m_items.selectedCount() > 0;
            break;
        case ListCommand::Rename:
            enabled = mayRename(m_items.GetFocusedItem());
            break;
        default:
            break;
        }
        action->setEnabled(enabled);
        return action;
    };
    auto addFileCommands = [&](QMenu* into) {
        add(into, QStringLiteral("Cu&t"), ListCommand::Cut);
        add(into, QStringLiteral("&Copy"), ListCommand::Copy);
        add(into, QStringLiteral("&Paste"), ListCommand::Paste);
        add(into, QStringLiteral("&Delete"), ListCommand::Delete);
        add(into, QStringLiteral("Rena&me"), ListCommand::Rename);
        into->addSeparator();
        add(into, QStringLiteral("Copy to &Folder..."), ListCommand::CopyToFolder);
        add(into, QStringLiteral("Mo&ve to Folder..."), ListCommand::MoveToFolder);
    };
    auto addOpenWith = [&](QMenu* into) {
        QMenu* openWith = into->addMenu(QStringLiteral("Open Wit&h"));
        add(openWith, QStringLiteral("Associated &Program"), ListCommand::AssociatedProgram);
        add(openWith, QStringLiteral("Associated &Editor"), ListCommand::AssociatedEditor);
        add(into, QStringLiteral("Add to &Favorites..."), ListCommand::AddToFavorites);
        add(into, QStringLiteral("&Locate on Disk"), ListCommand::LocateOnDisk);
    };

    const FolderItem* item = m_items.isValidIndex(index) ? &m_items.at(index) : nullptr;
    if (!item) {
        menu->setTitle(QStringLiteral("ListCtrl Popup Menu - SYS"));
        QMenu* sortBy = menu->addMenu(QStringLiteral("Sort &By"));
        auto* keys = new QActionGroup(sortBy);
        const std::pair<const char*, int> sorts[] = {{"File &Name", ListCommand::SortFileName},
                                                     {"File &Size", ListCommand::SortFileSize},
                                                     {"File &Type", ListCommand::SortFileType},
                                                     {"&Modified Date", ListCommand::SortModifiedDate},
                                                     {"&Photo Size", ListCommand::SortPhotoSize}};
        const int sortIds[] = {ListCommand::SortFileName, ListCommand::SortFileSize, ListCommand::SortFileType,
                               ListCommand::SortModifiedDate, ListCommand::SortPhotoSize};
        for (const auto& [text, id] : sorts) {
            QAction* a = sortBy->addAction(QString::fromLatin1(text));
            a->setData(id);
            a->setCheckable(true);
            a->setChecked(sortIds[m_settings.sortType] == id);
            keys->addAction(a);
        }
        sortBy->addSeparator();
        auto* directions = new QActionGroup(sortBy);
        for (int d = 0; d < 2; ++d) {
            QAction* a = sortBy->addAction(d == 0 ? QStringLiteral("Sort &Forward") : QStringLiteral("Sort &Backward"));
            a->setData(d == 0 ? ListCommand::SortForward : ListCommand::SortBackward);
            a->setCheckable(true);
            a->setChecked(m_settings.sortDirection == d);
            directions->addAction(a);
        }
        menu->addSeparator();
        add(menu.get(), QStringLiteral("&Paste"), ListCommand::Paste);
        add(menu.get(), QStringLiteral("&New Folder"), ListCommand::NewFolder);
        menu->addSeparator();
        add(menu.get(), QStringLiteral("Select &All"), ListCommand::SelectAll);
        add(menu.get(), QStringLiteral("Select All &Files"), ListCommand::SelectAllFiles);
        add(menu.get(), QStringLiteral("Select All &Images"), ListCommand::SelectAllImages);
        add(menu.get(), QStringLiteral("In&vert Selection"), ListCommand::InvertSelection);
        add(menu.get(), QStringLiteral("&Clear Selection"), ListCommand::ClearSelection);
        menu->addSeparator();
        add(menu.get(), QStringLiteral("&Refresh"), ListCommand::Refresh);
        add(menu.get(), QStringLiteral("P&roperties..."), ListCommand::Properties);
    } else if (item->countsAsImage() || item->targetIsImage) {
        menu->setTitle(QStringLiteral("ListCtrl Popup Menu - Photo"));
        add(menu.get(), QStringLiteral("&View and Edit"), ListCommand::ViewAndEdit);
        add(menu.get(), QStringLiteral("View in &Full Screen"), ListCommand::FullScreen);
        add(menu.get(), QStringLiteral("&Slide Show"), ListCommand::SlideShow);
        menu->addSeparator();
        add(menu.get(), QStringLiteral("Rotate &Left"), ListCommand::RotateLeft);
        add(menu.get(), QStringLiteral("Rotate &Right"), ListCommand::RotateRight);
        add(menu.get(), QStringLiteral("Rotate &180 Degrees"), ListCommand::Rotate180);
        menu->addSeparator();
        addOpenWith(menu.get());
        QMenu* wallpaper = menu->addMenu(QStringLiteral("Set &Wallpaper"));
        add(wallpaper, QStringLiteral("&Center"), ListCommand::WallpaperCenter);
        add(wallpaper, QStringLiteral("&Tile"), ListCommand::WallpaperTile);
        add(wallpaper, QStringLiteral("&Stretch"), ListCommand::WallpaperStretch);
        wallpaper->addSeparator();
        add(wallpaper, QStringLiteral("&Restore"), ListCommand::WallpaperRestore);
        menu->addSeparator();
        addFileCommands(menu.get());
        menu->addSeparator();
        add(menu.get(), QStringLiteral("Copy &Image to Clipboard"), ListCommand::CopyImageToClipboard);
        add(menu.get(), QStringLiteral("&Print..."), ListCommand::Print);
        add(menu.get(), QStringLiteral("&Email Images..."), ListCommand::EmailImages);
        add(menu.get(), QStringLiteral("E&xport..."), ListCommand::Export);
        menu->addSeparator();
        add(menu.get(), QStringLiteral("P&roperties..."), ListCommand::Properties);
    } else if (item->kind != ItemKind::Folder) {
        menu->setTitle(QStringLiteral("ListCtrl Popup Menu - File"));
        addOpenWith(menu.get());
        menu->addSeparator();
        addFileCommands(menu.get());
        menu->addSeparator();
        add(menu.get(), QStringLiteral("P&roperties..."), ListCommand::Properties);
    } else {
        menu->setTitle(QStringLiteral("ListCtrl Popup Menu - Folder"));
        add(menu.get(), QStringLiteral("&Browse"), ListCommand::Open);
        menu->addSeparator();
        addFileCommands(menu.get());
        menu->addSeparator();
        add(menu.get(), QStringLiteral("Add to &Favorites..."), ListCommand::AddToFavorites);
        add(menu.get(), QStringLiteral("&Locate on Disk"), ListCommand::LocateOnDisk);
        add(menu.get(), QStringLiteral("P&roperties..."), ListCommand::Properties);
    }
    return menu;
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
    std::unique_ptr<QMenu> menu = buildContextMenu(index);
    if (QAction* chosen = menu->exec(at))
        runCommand(chosen->data().toInt());
}

void CImageListCtrl::runCommand(int id)
{
    switch (id) {
    case ListCommand::SortFileName: setSort(SortByName, m_settings.sortDirection); return;
    case ListCommand::SortFileSize: setSort(SortBySize, m_settings.sortDirection); return;
    case ListCommand::SortFileType: setSort(SortByType, m_settings.sortDirection); return;
    case ListCommand::SortModifiedDate: setSort(SortByDate, m_settings.sortDirection); return;
    case ListCommand::SortPhotoSize: setSort(SortByPhotoSize, m_settings.sortDirection); return;
    case ListCommand::SortForward: setSort(m_settings.sortType, SortForward); return;
    case ListCommand::SortBackward: setSort(m_settings.sortType, SortBackward); return;
    case ListCommand::Refresh: Rescan(); return;
    case ListCommand::SelectAll:
    case ListCommand::SelectAllFiles:
    case ListCommand::SelectAllImages:
    case ListCommand::InvertSelection:
    case ListCommand::ClearSelection: runSelectionCommand(id); return;
    case ListCommand::ViewAndEdit:
    case ListCommand::Open: OpenItem(m_items.GetFocusedItem()); return;
    case ListCommand::Rename: BeginLabelEdit(m_items.GetFocusedItem()); return;
    default: m_host->runCommand(id); return;
    }
}
