#pragma once
// The favorites tree of the left pane: selecting a category shows its shortcuts in the list
// (navigation source 1), records it in the history and puts it in the address bar.

#include "browser/CSuperFavoritesTree.h"
#include "platform/ItemIdList.h"

#include <functional>

// What the tree needs from the frame around it.
struct FavoritesTreeHooks {
    std::function<ItemIdList(const QString& path)> idListOf;
    std::function<QString(const ItemIdList&)> pathOf;
    std::function<bool(const ItemIdList&)> listShows;
    std::function<bool(const ItemIdList&)> browse;       // with source 1
    std::function<int()> listSource;                     // the list's navigation source
    std::function<void(const ItemIdList&)> pushHistory;  // with source 1
    std::function<void(const ItemIdList&)> showAddress;  // unless the address bar names it
};

class CFavoritesTree : public CSuperFavoritesTree {
    Q_OBJECT
public:
    explicit CFavoritesTree(QWidget* parent = nullptr);

    void setHooks(FavoritesTreeHooks hooks) { m_hooks = std::move(hooks); }
    // Fills the tree; selection changes navigate only from then on.
    void initializeFavorites(const QString& favoritesFolder);
    bool isReady() const { return m_ready; }

    // The list, the history and the address bar go to the folder, and its item is selected.
    void SelectFavorite(const ItemIdList& folder, bool recordHistory);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void onCurrentChanged(QTreeWidgetItem* current);

    FavoritesTreeHooks m_hooks;
    bool m_ready = false;
};
