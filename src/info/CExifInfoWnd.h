#pragma once
// The strip under the histogram: up to seven short camera facts of the focused file.

#include "info/ExifTexts.h"

#include <QWidget>

class CExifInfoWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 74;
    explicit CExifInfoWnd(QWidget* parent = nullptr);
    // Empty or none clears; the caller repaints.
    void SetFile(const QString& path);
    const ExifTexts& texts() const { return m_texts; }

    // The texts as drawn, each with the rectangle it is drawn in (before eliding).
    struct Cell {
        QRect rect;
        QString text;
    };
    static std::vector<Cell> layout(const ExifTexts& texts, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ExifTexts m_texts;
};
