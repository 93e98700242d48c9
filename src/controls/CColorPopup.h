#pragma once
// The palette that drops down from a CColorButton: 40 named colours in a grid, an
// "Automatic" box above and a "More Colors..." box below. It reports to the button only.

#include "controls/ColorPalette.h"

#include <QWidget>

#include <functional>
#include <optional>

class CColorPopup : public QWidget {
    Q_OBJECT
public:
    // Chooses a colour in the standard colour dialog; nullopt when the user cancels.
    using MoreColorsChooser = std::function<std::optional<ColorValue>(ColorValue initial, QWidget* parent)>;

    CColorPopup(const QRect& buttonOnScreen, ColorValue initial, const QString& automaticText,
                const QString& moreText, MoreColorsChooser chooser, QWidget* owner);

    int hotIndex() const { return m_hot; }
    int chosenIndex() const { return m_chosen; }
    // The cell or box under a point of the popup, or kNone.
    int indexAt(QPoint pos) const;
    QRect cellRect(int index) const;

signals:
    void selectionChanged(ColorValue color);
    void ended(ColorValue color, bool ok);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void layout();
    void setHot(int index);
    ColorValue colorOf(int index) const;
    void end(bool ok);

    ColorValue m_initial;
    QString m_automaticText;
    QString m_moreText;
    MoreColorsChooser m_chooser;
    ColorPalette::Boxes m_boxes;
    int m_chosen = ColorPalette::kNone;
    int m_hot = ColorPalette::kNone;
    int m_cell = 18;
    int m_margin = 2;
    QRect m_automaticRect;
    QRect m_moreRect;
    QPoint m_gridOrigin;
    bool m_ended = false;
};
