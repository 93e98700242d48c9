#pragma once
// The folder tree: the namespace from the virtual root down, folders only, each level read
// when it is first expanded. Selecting a folder here is the one road by which the list, the
// address bar and the frame's history learn of a new folder (`SelectFolder`).

#include "platform/ShellNamespace.h"

#include <QTreeWidget>

#include <functional>
#include <memory>

class CAddressComboEx;
class TreeWatcher;

// What the tree needs from the frame around it.
struct ShellTreeHooks {
    std::function<bool(const ItemIdList&)> listShows;           // the list shows this folder
    std::function<bool(const ItemIdList&)> browse;              // the list browses there
    std::function<void(const ItemIdList&)> pushHistory;
    std::function<void()> rescanList;
    std::function<void(const QPoint& globalPos)> contextMenu;   // the context item is set
};

class CShellTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CShellTree(QWidget* parent = nullptr);
    ~CShellTree() override;

    void setHooks(ShellTreeHooks hooks) { m_hooks = std::move(hooks); }
    void setAddressBar(CAddressComboEx* combo) { m_address = combo; }
    // Fills the tree: the root, its children and Computer's volumes; watches the mount table.
    void initialize(ShellNamespace shell, bool showHidden);
    const ShellNamespace& shell() const { return m_shell; }

    QTreeWidgetItem* SelectFolder(const ItemIdList& folder, bool recordHistory);
    QTreeWidgetItem* FindItem(const ItemIdList& folder, bool expand);
    void RefreshNode(QTreeWidgetItem* item);

    static ItemIdList idListOf(const QTreeWidgetItem* item);
    static QByteArray pathOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* contextItem() const { return m_contextItem; }
    bool isReady() const { return m_ready; }

    // Commands: the tree popup ids act on the context item, the shared ids on the selection.
    bool handlesCommand(int id) const;
    bool isCommandEnabled(int id) const;
    bool runCommand(int id);
    // Starts renaming the item when its folder may be renamed.
    bool beginRename(QTreeWidgetItem* item);
    // Scrolls so the item's row and, as far as the pane allows, its name are in view.
    void reveal(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidgetItem* makeItem(const ItemIdList& absolute, const ShellItem* info);
    void enumerate(QTreeWidgetItem* item);
    bool isEnumerated(const QTreeWidgetItem* item) const;
    void onCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void onFolderChanged(const QByteArray& folder);
    void onMountsChanged();
    QTreeWidgetItem* commandItem(int id, int* sharedId) const;
    bool mayRename(const QTreeWidgetItem* item) const;
    void finishRename(QTreeWidgetItem* item, const QString& text);
    QStringList childNames(const QTreeWidgetItem* item) const;

    ShellNamespace m_shell;
    bool m_showHidden = false;
    bool m_ready = false;
    QTreeWidgetItem* m_contextItem = nullptr;
    ShellTreeHooks m_hooks;
    CAddressComboEx* m_address = nullptr;
    TreeWatcher* m_watcher = nullptr;
};
