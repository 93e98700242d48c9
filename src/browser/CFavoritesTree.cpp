#include "browser/CFavoritesTree.h"

#include <QMouseEvent>
#include <QScopedValueRollback>

CFavoritesTree::CFavoritesTree(QWidget* parent) : CSuperFavoritesTree(parent)
{
    setAccessibleName(QStringLiteral("Favorites"));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) { onCurrentChanged(current); });
}

void CFavoritesTree::initializeFavorites(const QString& favoritesFolder)
{
    m_ready = false;
    initialize(favoritesFolder);
    m_ready = true;
}

void CFavoritesTree::SelectFavorite(const ItemIdList& folder, bool recordHistory)
{
    if (m_hooks.listShows && !m_hooks.listShows(folder) && m_hooks.browse)
        m_hooks.browse(folder);
    if (recordHistory && m_hooks.pushHistory)
        m_hooks.pushHistory(folder);
    if (m_hooks.showAddress)
        m_hooks.showAddress(folder);
    if (!m_hooks.pathOf)
        return;
    QTreeWidgetItem* item = findItemByPath(m_hooks.pathOf(folder));
    if (item && currentItem() != item) {
        QScopedValueRollback quiet(m_ready, false);
        setCurrentItem(item);
        scrollToItem(item);
    }
}

void CFavoritesTree::onCurrentChanged(QTreeWidgetItem* current)
{
    if (!m_ready || !current || !m_hooks.idListOf)
        return;
    // The folder tree keeps the list while this tree is out of sight (its items still change).
    if (m_hooks.listSource && m_hooks.listSource() == 0 && !isVisible())
        return;
    const ItemIdList folder = m_hooks.idListOf(pathOf(current));
    if (!m_hooks.listShows || !m_hooks.listShows(folder))
        SelectFavorite(folder, true);
}

void CFavoritesTree::mousePressEvent(QMouseEvent* event)
{
    QTreeWidgetItem* before = currentItem();
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    // The branch mark left of the item folds and unfolds as usual; the icon and label open.
    const bool onLabel = item && visualItemRect(item).contains(event->position().toPoint());
    CSuperFavoritesTree::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !onLabel)
        return;
    item->setExpanded(true);
    // Back from the folder tree: the selected category shows in the list again.
    if (item == before && m_ready && m_hooks.listSource && m_hooks.listSource() == 0 && m_hooks.idListOf) {
        const ItemIdList folder = m_hooks.idListOf(pathOf(item));
        if (!m_hooks.listShows || !m_hooks.listShows(folder))
            SelectFavorite(folder, true);
    }
}
