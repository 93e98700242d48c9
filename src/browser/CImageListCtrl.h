#pragma once
// `CImageListCtrl`: the thumbnail list of browser mode. A thin widget over `FolderItemList`
// (records, selection, queries), the loader and watcher threads, and `paintCell`.
// Everything the list needs from the panes around it goes through `ImageListHost`, which the
// main frame implements; without a host the list works on its own.

#include "app/CommandIds.h"
#include "browser/CFileNameEdit.h"
#include "browser/CellPainter.h"
#include "browser/FolderItemList.h"
#include "browser/ThumbSettings.h"
#include "browser/ThumbnailMaker.h"

#include <QAbstractScrollArea>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <memory>

class FolderWatcher;
class ThumbnailLoader;

// The list's context menus: on the background, an image, another file, a folder.
enum class ListMenu { Background, Photo, File, Folder };

class ImageListHost {
public:
    virtual ~ImageListHost() = default;
    // Opens the item in the viewer and switches to viewer mode; false when it cannot.
    virtual bool openImageInViewer(int /*index*/, const QString& /*path*/) { return false; }
    // The tree that is the navigation source selects the folder (and so browses there);
    // false when there is no such tree: the list then browses by itself.
    virtual bool selectFolderInTree(const ItemIdList& /*folder*/, int /*source*/) { return false; }
    virtual void openWithDefaultProgram(const QString& /*path*/) {}
    virtual void setFrameTitle(const QString& /*title*/) {}
    // The focused item's path for the histogram and EXIF panels; empty clears them.
    virtual void focusedPathChanged(const QString& /*path*/) {}
    virtual void refreshStatusBar() {}
    // A rescan added, removed or renamed items: indices held elsewhere may have moved.
    virtual void itemsChanged() {}
    virtual bool isSizeSliderDragging() const { return false; }
    // Commands the list's keys ask for that belong to other panes (clipboard, delete...).
    virtual void runCommand(int /*id*/) {}
    // Opens the menu at the point; the host owns the menu data and carries out the commands.
    virtual void showContextMenu(ListMenu /*menu*/, QPoint /*globalPos*/) {}
};

class CImageListCtrl : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct Options {
        QString settingsPath;   // Config.ini; empty: the application's
        bool showHiddenFiles = false;
        bool useThumbnailCache = true;
        ShellNamespace* shell = nullptr;  // empty: the running system's
    };
    explicit CImageListCtrl(Options options, QWidget* parent = nullptr);
    ~CImageListCtrl() override;

    // Null leaves the list on its own (a host that does nothing).
    void setHost(ImageListHost* host) { m_host = host ? host : &m_noHost; }

    // ---- browsing --------------------------------------------------------------------
    bool BrowseTo(const ItemIdList& folder, int source);
    bool BrowseToPath(const QString& path, int source = 0);
    void Rescan();
    void OpenItem(int index);
    // Tells the host the frame title for the shown folder (also when the frame comes back to
    // browser mode).
    void SetFrameTitle();
    const ItemIdList& currentFolder() const { return m_folder; }
    QString currentFolderPath() const { return QFile::decodeName(m_folderPath); }
    int navigationSource() const { return m_source; }

    // ---- records and queries (FolderItemList holds them all) ------------------------
    const FolderItemList& items() const { return m_items; }
    int GetItemCount() const { return m_items.GetItemCount(); }
    int GetNextImage(int index) const { return m_items.GetNextImage(index); }
    int GetPreviousImage(int index) const { return m_items.GetPreviousImage(index); }
    int GetImageOrdinal(int index) const { return m_items.GetImageOrdinal(index); }
    int GetImageCount() const { return m_items.GetImageCount(); }
    int GetSelectedImageCount() const { return m_items.GetSelectedImageCount(); }
    QStringList GetAllImagePaths() const { return m_items.GetAllImagePaths(); }
    QStringList GetSelectedImagePaths() const { return m_items.GetSelectedImagePaths(); }
    QStringList GetSelectedPaths() const { return m_items.GetSelectedPaths(); }
    QStringList GetAllDisplayNames() const { return m_items.GetAllDisplayNames(); }
    std::uint64_t GetTotalFileSize() const { return m_items.GetTotalFileSize(); }
    std::uint64_t GetSelectedFileSize() const { return m_items.GetSelectedFileSize(); }
    int GetFocusedItem() const { return m_items.GetFocusedItem(); }
    int FindItemByPath(const QString& path) const { return m_items.FindItemByPath(path); }
    int FindItemIndex(const FolderItem* item) const { return m_items.FindItemIndex(item); }

    // ---- selection and focus -----------------------------------------------------------
    void setFocusedItem(int index);
    void selectOnly(int index);
    void runSelectionCommand(int id);
    void ensureVisible(int index);

    // ---- sorting and sizes ---------------------------------------------------------------
    const ThumbSettings& settings() const { return m_settings; }
    void setSort(int sortType, int sortDirection);
    void SortItems();
    void SetThumbnailSize(int width, int height);
    const CellMetrics& metrics() const { return m_metrics; }
    QRect itemRect(int index) const;  // in viewport coordinates
    int itemAt(const QPoint& viewportPos) const;
    std::pair<int, int> visibleRange() const;  // first, last; (-1, -1) when empty
    // `QueueThumbnails`: items first..last that want a thumbnail go to the loader's head.
    void QueueThumbnails(int first, int last);
    bool thumbnailsIdle() const;

    // ---- wallpaper job ---------------------------------------------------------------------
    // While a wallpaper job runs the pointer over the list shows that work is going on;
    // `WM_WALLPAPER_DONE` clears it.
    void setBusy(bool busy);
    bool isBusy() const { return m_busy; }

    // ---- renaming ------------------------------------------------------------------------
    bool mayRename(int index) const;
    bool BeginLabelEdit(int index);
    // Ends editing with `text` as typed (accept) or cancels it; true when a rename happened.
    bool EndLabelEdit(bool accept);
    int editIndex() const { return m_editIndex; }
    CFileNameEdit* labelEditor() const { return m_editor; }

    // ---- menus ---------------------------------------------------------------------------
    // Which context menu the item (or -1: the list's background) gets.
    ListMenu contextMenuKind(int index) const;
    void runCommand(int id);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateScrollBars();
    int columns() const;
    void updateItem(int index);
    // The rename editor over the label of the item it edits.
    void placeEditor();
    void focusChanged();
    void selectionChanged();
    void clearList();
    void handleThumbnailReady(QEvent* event);
    void handleFolderChanged();
    QImage iconFor(const FolderItem& item);
    // The scaled folder picture and the shortcut overlay for a screen of this density.
    void makeCellPictures(qreal ratio);
    void requestVisibleThumbnails();

    Options m_options;
    std::unique_ptr<ShellNamespace> m_ownShell;
    ShellNamespace* m_shell = nullptr;
    ImageListHost m_noHost;
    ImageListHost* m_host = &m_noHost;

    FolderItemList m_items;
    ItemIdList m_folder;
    QByteArray m_folderPath;
    int m_source = 0;
    ThumbSettings m_settings;
    CellMetrics m_metrics;
    QImage m_folderPicture;
    QImage m_scaledFolderPicture;
    QImage m_shortcutOverlay;
    QHash<QString, QImage> m_iconCache;
    QImage m_cellBuffer;
    std::pair<int, int> m_lastHint{-1, -1};

    bool m_busy = false;
    int m_editIndex = -1;
    QString m_editOriginal;
    QPointer<CFileNameEdit> m_editor;
    QTimer m_statusTimer;

    std::unique_ptr<ThumbnailLoader> m_loader;
    std::unique_ptr<FolderWatcher> m_watcher;
};
