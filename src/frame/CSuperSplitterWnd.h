#pragma once
// A splitter whose bar is 6 pixels wide between columns and 7 high between rows, and whose
// panes cannot be dragged below their minimum sizes. One pane can be told to keep its size
// when the splitter is resized, so the other absorbs the change.

#include <QSplitter>

class CSuperSplitterWnd : public QSplitter {
    Q_OBJECT
public:
    explicit CSuperSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Minimum sizes of the first and second pane along the splitter (-1: none).
    void setMinimumPaneSizes(int first, int second);
    // Which pane keeps its size when the splitter grows or shrinks.
    void setFixedPane(int index);
    // Size of the first pane; the second gets the rest.
    void setFirstPaneSize(int size);
    int firstPaneSize() const;
    int secondPaneSize() const;
};
