#include "browser/CImageListCtrl.h"
#include "app/WaitCursor.h"

#include "app/CPixaneApp.h"
#include "app/MessageBoxSeam.h"
#include "app/ProfileFile.h"
#include "browser/BrowserEvents.h"
#include "browser/CFileNameEdit.h"
#include "browser/HoverText.h"
#include "browser/ImageListAccessible.h"
#include "browser/ThumbnailLoader.h"
#include "platform/FileOperations.h"
#include "platform/FolderWatcher.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileIconProvider>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr const char* kAppTitle = "Kelvra Photo Viewer";

QString settingsPathFor(const CImageListCtrl::Options& options)
{
    if (!options.settingsPath.isEmpty())
        return options.settingsPath;
    if (CPixaneApp* app = CPixaneApp::instance())
        return app->settingsPath();
    return {};
}

}  // namespace

CImageListCtrl::CImageListCtrl(Options options, QWidget* parent)
    : QAbstractScrollArea(parent), m_options(std::move(options))
{
    // Before anything makes Qt look up (and keep) the list's interface.
    imagelist::installAccessible();
    if (m_options.shell) {
        m_shell = m_options.shell;
    } else {
        m_ownShell = std::make_unique<ShellNamespace>();
        m_shell = m_ownShell.get();
    }
    const QString settingsPath = settingsPathFor(m_options);
    if (!settingsPath.isEmpty())
        m_settings = ThumbSettings::read(ProfileFile(settingsPath));
    m_metrics = cellMetricsFor(m_settings.thumbWidth);
    m_folderPicture = makeFolderPicture();
    makeCellPictures(devicePixelRatioF());

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Thumbnails"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, CellColors::Background);
    pal.setColor(QPalette::Window, CellColors::Background);
    pal.setColor(QPalette::Text, CellColors::Text);
    setPalette(pal);

    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(100);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] { m_host->refreshStatusBar(); });

    const ThumbnailOptions thumbOptions{m_options.useThumbnailCache};
    m_loader = std::make_unique<ThumbnailLoader>(this, [thumbOptions](const QByteArray& path, int w, int h) {
        return MakeThumbnail(path, w, h, thumbOptions);
    });
    m_watcher = std::make_unique<FolderWatcher>(this, WM_FOLDER_CHANGED);
}

CImageListCtrl::~CImageListCtrl()
{
    // Threads first: neither may post to a half-destroyed list.
    m_loader.reset();
    m_watcher.reset();
    const QString settingsPath = settingsPathFor(m_options);
    if (!settingsPath.isEmpty()) {
        ProfileFile file(settingsPath);
        m_settings.write(file);
    }
}

// ---- browsing ------------------------------------------------------------------------------

bool CImageListCtrl::BrowseTo(const ItemIdList& folder, int source)
{
    WaitCursor wait;
    FolderItemList fresh;
    // A folder that cannot be read leaves what is shown untouched.
    if (!fresh.populate(*m_shell, folder, m_options.showHiddenFiles))
        return false;
    if (m_editor)
        EndLabelEdit(false);
    m_loader->clear();
    m_items = std::move(fresh);
    m_lastHint = {-1, -1};

    m_folder = folder;
    m_source = source;
    m_folderPath = m_shell->pathFromIdList(folder).value_or(QByteArray());
    SetFrameTitle();
    m_watcher->setFolder(m_folderPath);

    // No photo sizes are known yet right after browsing.
    if (m_settings.sortType == SortByPhotoSize)
        m_settings.sortType = SortByName;
    m_items.SortItems(m_settings.sortType, m_settings.sortDirection);
    verticalScrollBar()->setValue(0);
    updateScrollBars();
    if (m_items.GetItemCount() > 0)
        m_items.setFocusedItem(0);
    focusChanged();
    m_host->refreshStatusBar();
    viewport()->update();
    return true;
}

void CImageListCtrl::SetFrameTitle()
{
    const QString name = m_folderPath.isEmpty() && m_folder.isRoot() && m_items.GetItemCount() == 0
                             ? QString()
                             : m_shell->displayName(m_folder);
    m_host->setFrameTitle(name.isEmpty() ? QString::fromLatin1(kAppTitle)
                                         : name + QStringLiteral(" - ") + QString::fromLatin1(kAppTitle));
}

bool CImageListCtrl::BrowseToPath(const QString& path, int source)
{
    return BrowseTo(m_shell->idListFromPath(QFile::encodeName(path)), source);
}

void CImageListCtrl::Rescan()
{
    // An open rename outlives the rescan while its item is still there: the watcher rescans for
    // every change in the folder, the program's own new folder among them, and the typed name
    // must not be thrown away for that.
    const QByteArray editedPath = m_editor && m_items.isValidIndex(m_editIndex) ? m_items.at(m_editIndex).nativePath
                                                                                : QByteArray();
    const int focusedBefore = m_items.GetFocusedItem();
    const auto result = m_items.rescan(*m_shell, m_folder, m_options.showHiddenFiles);
    if (result.changed) {
        m_lastHint = {-1, -1};
        updateScrollBars();
        viewport()->update();
        m_host->itemsChanged();
    }
    if (m_editor) {
        const int edited = editedPath.isEmpty() ? -1 : m_items.findByNativePath(editedPath);
        if (edited < 0) {
            EndLabelEdit(false);
        } else {
            m_editIndex = edited;
            placeEditor();
        }
    }
    if (m_items.GetFocusedItem() != focusedBefore)
        focusChanged();
    m_host->refreshStatusBar();
}

void CImageListCtrl::OpenItem(int index)
{
    if (!m_items.isValidIndex(index))
        return;
    const FolderItem& item = m_items.at(index);
    if (item.kind != ItemKind::Folder && item.countsAsImage()) {
        bool opened = false;
        {
            WaitCursor wait;
            opened = m_host->openImageInViewer(index, item.path);
        }
        if (!opened)
            MessageBoxSeam::show({this, QString::fromLatin1(kAppTitle), QStringLiteral("Can not open this item."),
                                  QMessageBox::Warning, QMessageBox::Ok});
        return;
    }
    if (item.kind == ItemKind::Shortcut && item.browsableFolder) {
        const ItemIdList target = m_shell->idListFromPath(item.nativeTargetPath);
        if (!m_host->selectFolderInTree(target, 0))
            BrowseTo(target, 0);
        return;
    }
    if (item.kind != ItemKind::Folder) {
        // A shortcut whose target has gone is shown, but there is nothing to open.
        if (QFileInfo(item.path).isSymLink() && !QFileInfo::exists(item.path)) {
            MessageBoxSeam::show({this, QString::fromLatin1(kAppTitle), QStringLiteral("Can not open this item."),
                                  QMessageBox::Warning, QMessageBox::Ok});
            return;
        }
        m_host->openWithDefaultProgram(item.path);
        return;
    }
    const ItemIdList folder = item.absoluteIdList;
    if (!m_host->selectFolderInTree(folder, m_source))
        BrowseTo(folder, m_source);
}

// ---- events from the threads --------------------------------------------------------------

bool CImageListCtrl::event(QEvent* e)
{
    switch (static_cast<int>(e->type())) {
    case WM_THUMBNAIL_READY:
        handleThumbnailReady(e);
        return true;
    case WM_FOLDER_CHANGED:
        handleFolderChanged();
        return true;
    case WM_WALLPAPER_DONE:
        setBusy(false);
        return true;
    case WM_EDIT_LABEL:
        BeginLabelEdit(static_cast<EditLabelEvent*>(e)->index);
        return true;
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(e);
        const int index = itemAt(viewport()->mapFrom(this, help->pos()));
        if (index >= 0)
            QToolTip::showText(help->globalPos(), HoverText(m_items.at(index)), this, itemRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    default:
        return QAbstractScrollArea::event(e);
    }
}

void CImageListCtrl::handleThumbnailReady(QEvent* e)
{
    auto* ready = static_cast<ThumbnailReadyEvent*>(e);
    if (ready->generation != m_loader->generation())
        return;  // made for a folder no longer shown
    const int index = m_items.findByNativePath(ready->path);
    if (index < 0)
        return;  // the record went away (or was replaced) meanwhile
    FolderItem& item = m_items.at(index);
    if (ready->image.isValid()) {
        item.thumbnail = std::move(ready->image);
        item.width = ready->fullWidth;
        item.height = ready->fullHeight;
        item.needsThumbnail = false;
        item.thumbnailFailed = false;
    } else {
        item.thumbnailFailed = true;
    }
    updateItem(index);
}

void CImageListCtrl::setBusy(bool busy)
{
    m_busy = busy;
    if (busy)
        viewport()->setCursor(Qt::BusyCursor);
    else
        viewport()->unsetCursor();
}

void CImageListCtrl::handleFolderChanged()
{
    Rescan();
    m_watcher->refreshDone();
}

// ---- selection and focus ------------------------------------------------------------------

void CImageListCtrl::setFocusedItem(int index)
{
    const int before = m_items.GetFocusedItem();
    m_items.setFocusedItem(index);
    if (before != m_items.GetFocusedItem()) {
        updateItem(before);
        updateItem(m_items.GetFocusedItem());
        focusChanged();
    }
}

void CImageListCtrl::selectOnly(int index)
{
    m_items.clearSelection();
    m_items.setSelected(index, true);
    setFocusedItem(index);
    ensureVisible(index);
    selectionChanged();
}

void CImageListCtrl::focusChanged()
{
    const int focused = m_items.GetFocusedItem();
    if (focused >= 0 && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent moved(this, QAccessible::Focus);
        moved.setChild(focused);
        QAccessible::updateAccessibility(&moved);
    }
    if (focused >= 0 && !m_items.at(focused).targetPath.isEmpty())
        m_host->focusedPathChanged(m_items.at(focused).targetPath);
    else
        m_host->focusedPathChanged(QString());
    m_host->refreshStatusBar();
}

void CImageListCtrl::selectionChanged()
{
    m_statusTimer.start();
    viewport()->update();
}

void CImageListCtrl::runSelectionCommand(int id)
{
    switch (id) {
    case cmd::SelectAll: m_items.selectAll(); break;
    case cmd::SelectAllFiles: m_items.selectAllFiles(); break;
    case cmd::SelectAllImages: m_items.selectAllImages(); break;
    case cmd::InvertSelection: m_items.invertSelection(); break;
    case cmd::ClearSelection: m_items.clearSelection(); break;
    default: return;
    }
    selectionChanged();
}

// ---- geometry -----------------------------------------------------------------------------

int CImageListCtrl::columns() const
{
    return std::max(1, viewport()->width() / std::max(1, m_metrics.cellWidth));
}

QRect CImageListCtrl::itemRect(int index) const
{
    if (!m_items.isValidIndex(index))
        return {};
    const int cols = columns();
    return QRect((index % cols) * m_metrics.cellWidth, (index / cols) * m_metrics.cellHeight - verticalScrollBar()->value(),
                 m_metrics.cellWidth, m_metrics.cellHeight);
}

int CImageListCtrl::itemAt(const QPoint& pos) const
{
    if (pos.x() < 0 || pos.y() < 0)
        return -1;
    const int col = pos.x() / m_metrics.cellWidth;
    if (col >= columns())
        return -1;
    const int row = (pos.y() + verticalScrollBar()->value()) / m_metrics.cellHeight;
    const int index = row * columns() + col;
    return m_items.isValidIndex(index) ? index : -1;
}

std::pair<int, int> CImageListCtrl::visibleRange() const
{
    const int count = m_items.GetItemCount();
    if (count == 0)
        return {-1, -1};
    const int cols = columns();
    const int top = verticalScrollBar()->value();
    const int firstRow = top / m_metrics.cellHeight;
    const int lastRow = (top + std::max(1, viewport()->height()) - 1) / m_metrics.cellHeight;
    const int first = std::min(firstRow * cols, count - 1);
    const int last = std::min((lastRow + 1) * cols - 1, count - 1);
    return {first, last};
}

void CImageListCtrl::updateScrollBars()
{
    const int rows = (m_items.GetItemCount() + columns() - 1) / columns();
    const int contentHeight = rows * m_metrics.cellHeight;
    verticalScrollBar()->setRange(0, std::max(0, contentHeight - viewport()->height()));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height()));
    verticalScrollBar()->setSingleStep(std::max(1, m_metrics.cellHeight / 3));
}

void CImageListCtrl::ensureVisible(int index)
{
    const QRect r = itemRect(index);
    if (r.isNull())
        return;
    if (r.top() < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + r.top());
    else if (r.bottom() > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + r.bottom() - viewport()->height() + 1);
}

void CImageListCtrl::updateItem(int index)
{
    const QRect r = itemRect(index);
    if (!r.isNull())
        viewport()->update(r);
}

void CImageListCtrl::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    updateScrollBars();
    const int first = m_items.firstSelected();
    if (first >= 0)
        ensureVisible(first);
}

void CImageListCtrl::scrollContentsBy(int, int)
{
    placeEditor();
    viewport()->update();
}

// ---- sorting and sizes --------------------------------------------------------------------

void CImageListCtrl::setSort(int sortType, int sortDirection)
{
    WaitCursor wait;
    m_settings.sortType = std::clamp(sortType, 0, 4);
    m_settings.sortDirection = std::clamp(sortDirection, 0, 1);
    SortItems();
    viewport()->update();
}

void CImageListCtrl::SortItems()
{
    m_items.SortItems(m_settings.sortType, m_settings.sortDirection);
    m_lastHint = {-1, -1};
}

void CImageListCtrl::SetThumbnailSize(int width, int height)
{
    ThumbSettings next = m_settings;
    next.thumbWidth = width;
    next.thumbHeight = height;
    m_settings = next.clamped();
    m_metrics = cellMetricsFor(m_settings.thumbWidth);
    makeCellPictures(devicePixelRatioF());
    m_lastHint = {-1, -1};
    updateScrollBars();
    viewport()->update();
}

void CImageListCtrl::QueueThumbnails(int first, int last)
{
    if (last < first)
        return;
    std::vector<ThumbnailLoader::Request> requests;
    for (int i = std::max(0, first); i <= last && i < m_items.GetItemCount(); ++i) {
        const FolderItem& item = m_items.at(i);
        if (item.needsThumbnail && !item.thumbnailFailed)
            requests.push_back({item.nativePath, item.nativeTargetPath, item.lastWriteTime, item.size});
    }
    // Made at the screen's pixel density, so they are sharp where a cell pixel is several.
    const qreal scale = devicePixelRatioF();
    if (!requests.empty())
        m_loader->queue(requests, qRound(m_settings.thumbWidth * scale), qRound(m_settings.thumbHeight * scale));
}

bool CImageListCtrl::thumbnailsIdle() const
{
    return m_loader->idle();
}

void CImageListCtrl::requestVisibleThumbnails()
{
    const auto range = visibleRange();
    if (range.first < 0 || range == m_lastHint)
        return;
    m_lastHint = range;
    // The visible cells and as many beyond them.
    const int beyond = range.second + (range.second - range.first + 1);
    QueueThumbnails(range.first, std::min(beyond, m_items.GetItemCount() - 1));
}

// ---- painting -----------------------------------------------------------------------------

void CImageListCtrl::makeCellPictures(qreal ratio)
{
    // At the screen's pixels, so they are as sharp as the thumbnails beside them.
    m_shortcutOverlay = makeShortcutOverlay(ratio);
    m_scaledFolderPicture = m_folderPicture.scaled(QSize(m_settings.thumbWidth, m_settings.thumbHeight) * ratio,
                                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_scaledFolderPicture.setDevicePixelRatio(ratio);
}

QImage CImageListCtrl::iconFor(const FolderItem& item)
{
    const qreal ratio = devicePixelRatioF();
    const QString key = (item.kind == ItemKind::Folder ? QStringLiteral("/folder") : extensionOf(item.targetPath).toLower())
                        + u'@' + QString::number(ratio);
    auto it = m_iconCache.constFind(key);
    if (it != m_iconCache.constEnd())
        return it.value();
    QIcon icon;
    if (item.kind == ItemKind::Folder) {
        icon = QIcon::fromTheme(QStringLiteral("folder"));
    } else {
        static const QMimeDatabase mimes;
        const QMimeType type = mimes.mimeTypeForFile(QStringLiteral("x.") + key, QMimeDatabase::MatchExtension);
        icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    }
    if (icon.isNull())
        icon = QFileIconProvider().icon(item.kind == ItemKind::Folder ? QFileIconProvider::Folder : QFileIconProvider::File);
    QImage image = icon.pixmap(QSize(32, 32), ratio).toImage();
    m_iconCache.insert(key, image);
    return image;
}

void CImageListCtrl::paintEvent(QPaintEvent* e)
{
    QPainter painter(viewport());
    painter.fillRect(e->rect(), CellColors::Background);
    if (m_items.GetItemCount() == 0) {
        paintEmptyText(painter, viewport()->rect());
        return;
    }
    const auto [first, last] = visibleRange();
    const bool hasFocus = this->hasFocus() || (m_editor && m_editor->hasFocus());
    const QSize cell(m_metrics.cellWidth, m_metrics.cellHeight);
    const qreal scale = devicePixelRatioF();
    if (m_cellBuffer.deviceIndependentSize() != QSizeF(cell) || m_cellBuffer.devicePixelRatio() != scale) {
        m_cellBuffer = QImage(cell * scale, QImage::Format_RGB32);
        m_cellBuffer.setDevicePixelRatio(scale);
    }
    if (m_scaledFolderPicture.devicePixelRatio() != scale)
        makeCellPictures(scale);
    for (int i = first; i <= last && i >= 0; ++i) {
        const QRect r = itemRect(i);
        if (!r.intersects(e->rect()))
            continue;
        FolderItem& item = m_items.at(i);
        const QImage icon = item.thumbnail.isValid() || item.browsableFolder ? QImage() : iconFor(item);
        CellInput in;
        in.cell = cell;
        in.thumbBox = QSize(m_settings.thumbWidth, m_settings.thumbHeight);
        in.deviceScale = scale;
        in.thumbnail = &item.thumbnail;
        in.fullWidth = item.width;
        in.fullHeight = item.height;
        in.folderPicture = &m_scaledFolderPicture;
        in.icon = &icon;
        in.shortcutOverlay = &m_shortcutOverlay;
        in.browsableFolder = item.browsableFolder;
        in.shortcut = item.kind == ItemKind::Shortcut;
        in.selected = m_items.isSelected(i);
        in.listHasFocus = hasFocus;
        in.focused = m_items.GetFocusedItem() == i;
        in.editing = m_editIndex == i;
        in.label = item.displayName;
        CellPaintResult result;
        {
            // Each cell is drawn off screen and copied in one transfer.
            QPainter cellPainter(&m_cellBuffer);
            result = paintCell(cellPainter, in);
        }
        painter.drawImage(r.topLeft(), m_cellBuffer);
        if (result.wantsNewThumbnail && !m_host->isSizeSliderDragging() && !item.thumbnailFailed) {
            item.needsThumbnail = true;
            QueueThumbnails(i, i);
        }
    }
    requestVisibleThumbnails();
}

void CImageListCtrl::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    viewport()->update();
}

void CImageListCtrl::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    viewport()->update();
}
