#pragma once
// `CSuperBitmapButton`: a flat picture button with normal, hover, pressed and disabled looks.
// It tracks the mouse itself, reports a click to its parent by its command id, can be held
// down (latched) to show a state, and never keeps the keyboard focus.
#include "slideshow/SlideShowLogic.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>

class CSuperBitmapButton : public QWidget {
    Q_OBJECT
public:
    CSuperBitmapButton(int id, slideshow::Glyph glyph, bool hasDisabledLook, QWidget* parent = nullptr);

    int id() const { return m_id; }
    // As a click with the mouse: the command, when the button is enabled.
    void click();
    void setLatched(bool latched);
    bool latched() const { return m_latched; }
    bool hover() const { return m_hover; }
    bool pressed() const { return m_pressed; }
    // The picture the button shows now.
    slideshow::Look look() const;
    // Where the keyboard focus goes when the button is given it.
    void setFocusHome(QWidget* home) { m_focusHome = home; }

signals:
    // The button was pressed and released over itself.
    void command(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Draws the pictures for the screen's pixel density when it is not the one they have.
    void makePictures();

    int m_id;
    slideshow::Glyph m_glyph;
    bool m_hasDisabled;
    std::array<QPixmap, 4> m_pictures;
    qreal m_picturesRatio = 0;
    bool m_hover = false;
    bool m_tracking = false;
    bool m_pressed = false;
    bool m_latched = false;
    QPointer<QWidget> m_focusHome;
};
