#include "CSuperSplitterWnd.h"

#include <QList>

#include <algorithm>

CSuperSplitterWnd::CSuperSplitterWnd(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent)
{
    setHandleWidth(orientation == Qt::Horizontal ? 6 : 7);
    setChildrenCollapsible(false);
    setOpaqueResize(true);
}

void CSuperSplitterWnd::setMinimumPaneSizes(int first, int second)
{
    const int sizes[2] = {first, second};
    for (int i = 0; i < 2 && i < count(); ++i) {
        QWidget* pane = widget(i);
        const int size = std::max(sizes[i], 0);
        if (orientation() == Qt::Horizontal)
            pane->setMinimumWidth(size);
        else
            pane->setMinimumHeight(size);
    }
}

void CSuperSplitterWnd::setFixedPane(int index)
{
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, i == index ? 0 : 1);
}

void CSuperSplitterWnd::setFirstPaneSize(int size)
{
    const int total = (orientation() == Qt::Horizontal ? width() : height()) - handleWidth();
    setSizes({size, std::max(total - size, 0)});
}

int CSuperSplitterWnd::firstPaneSize() const
{
    return sizes().value(0);
}

int CSuperSplitterWnd::secondPaneSize() const
{
    return sizes().value(1);
}
