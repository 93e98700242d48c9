#pragma once
// The favorites' category folders as a tree: the favorites folder at the root, its real
// sub-folders below, never files. It follows changes made outside the program (folder names
// only) and carries the favorites' folder commands. `CFavoritesTree` (the left pane's) adds
// the link to the list, the history and the address bar; the add dialog uses this one alone.

#include <QTimer>
#include <QTreeWidget>

#include <functional>

class TreeWatcher;

class CSuperFavoritesTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CSuperFavoritesTree(QWidget* parent = nullptr);
    ~CSuperFavoritesTree() override;

    // Fills from the favorites folder (made when missing; when it cannot be, the tree stays
    // empty), root expanded and selected.
    void initialize(const QString& favoritesFolder);
    const QString& favoritesFolder() const { return m_folder; }

    // The folder an item stands for: the favorites folder's parent and the texts from the root.
    QString pathOf(const QTreeWidgetItem* item) const;
    // Nothing for a path outside the favorites folder.
    QTreeWidgetItem* findItemByPath(const QString& path) const;
    QTreeWidgetItem* root() const { return topLevelItem(0); }
    // Brings the tree in line with the folders on disk below `item` (the root when null).
    void refresh(QTreeWidgetItem* item = nullptr);

    // The tree's commands: the popup ids act on the context item, the shared ids on the
    // selection.
    static bool handlesCommand(int id);
    bool isCommandEnabled(int id) const;
    bool runCommand(int id);
    QTreeWidgetItem* contextItem() const { return m_contextItem; }
    void setContextItem(QTreeWidgetItem* item) { m_contextItem = item; }
    // "New Folder" under `item`: made on disk, shown, and its name opened for editing.
    QTreeWidgetItem* createFolderUnder(QTreeWidgetItem* item);
    bool beginRename(QTreeWidgetItem* item);
    bool isEditingLabel() const { return state() == QAbstractItemView::EditingState; }

    // The owner of the paste's questions and the popup menu.
    void setContextMenuHandler(std::function<void(const QPoint& globalPos)> handler) { m_contextMenu = std::move(handler); }
    void setPasteOwner(QWidget* owner) { m_pasteOwner = owner; }

signals:
    // The folders on disk changed and the tree followed.
    void refreshed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fill(const QString& folder, QTreeWidgetItem* parent);
    void finishRename(QTreeWidgetItem* item, const QString& text);
    QTreeWidgetItem* commandItem(int id, int* shared) const;
    void onFolderChanged();
    void watchAll();

    QString m_folder;
    QTreeWidgetItem* m_contextItem = nullptr;
    TreeWatcher* m_watcher = nullptr;
    QTimer m_pause;          // changes within it fold into one refresh at its end
    bool m_changedInPause = false;
    QWidget* m_pasteOwner = nullptr;
    std::function<void(const QPoint&)> m_contextMenu;
};
