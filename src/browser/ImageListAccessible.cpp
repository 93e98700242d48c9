#include "browser/ImageListAccessible.h"

#include "browser/CImageListCtrl.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace {

// One cell. It follows its index, not a record: after a rescan index 3 is whatever the list
// shows third, which is what a reader moving through the list expects.
class ItemAccessible : public QAccessibleInterface {
public:
    ItemAccessible(CImageListCtrl* list, int index) : m_list(list), m_index(index) {}

    bool isValid() const override { return m_list && m_index < m_list->GetItemCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_list.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid() || t != QAccessible::Name)
            return {};
        return m_list->items().at(m_index).displayName;
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = m_list->itemRect(m_index);
        return QRect(m_list->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.multiSelectable = true;
        state.selected = m_list->items().isSelected(m_index);
        state.focused = m_list->hasFocus() && m_list->GetFocusedItem() == m_index;
        state.invisible = !m_list->itemRect(m_index).intersects(m_list->viewport()->rect());
        state.offscreen = state.invisible;
        return state;
    }

private:
    QPointer<CImageListCtrl> m_list;
    int m_index;
};

class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(CImageListCtrl* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~ListAccessible() override
    {
        for (const QAccessible::Id id : m_items)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return list()->GetItemCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (static_cast<std::size_t>(index) >= m_items.size())
            m_items.resize(static_cast<std::size_t>(index) + 1, 0);
        QAccessible::Id& id = m_items[static_cast<std::size_t>(index)];
        // Qt's cache owns the item once registered; this interface deletes it when it goes.
        if (!id)
            id = QAccessible::registerAccessibleInterface(new ItemAccessible(list(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i] && QAccessible::accessibleInterface(m_items[i]) == child)
                return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return child(list()->itemAt(list()->viewport()->mapFromGlobal(QPoint(x, y))));
    }
    QAccessibleInterface* focusChild() const override
    {
        return list()->hasFocus() ? child(list()->GetFocusedItem()) : nullptr;
    }

private:
    CImageListCtrl* list() const { return static_cast<CImageListCtrl*>(widget()); }

    mutable std::vector<QAccessible::Id> m_items;
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("CImageListCtrl") && object && object->isWidgetType())
        return new ListAccessible(static_cast<CImageListCtrl*>(object));
    return nullptr;
}

}  // namespace

namespace imagelist {

void installAccessible()
{
    // Once per process: the factory list is Qt's own.
    static const bool installed = (QAccessible::installFactory(makeAccessible), true);
    Q_UNUSED(installed);
}

}  // namespace imagelist
