#include "slideshow/CSuperBitmapButton.h"

#include "slideshow/SlideButtonArt.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

CSuperBitmapButton::CSuperBitmapButton(int id, slideshow::Glyph glyph, bool hasDisabledLook, QWidget* parent)
    : QWidget(parent), m_id(id), m_glyph(glyph), m_hasDisabled(hasDisabledLook)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSuperBitmapButton::setLatched(bool latched)
{
    if (m_latched == latched)
        return;
    m_latched = latched;
    update();
}

slideshow::Look CSuperBitmapButton::look() const
{
    slideshow::LookInputs in;
    in.enabled = isEnabled();
    in.hasDisabled = m_hasDisabled;
    in.latched = m_latched;
    in.pressed = m_pressed;
    in.hover = m_hover;
    return slideshow::chooseLook(in);
}

void CSuperBitmapButton::makePictures()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_picturesRatio)
        return;
    m_picturesRatio = ratio;
    using slideshow::Look;
    for (Look look : {Look::Normal, Look::Pressed, Look::Hover, Look::Disabled})
        m_pictures[static_cast<std::size_t>(look)] =
            look == Look::Disabled && !m_hasDisabled ? QPixmap() : slideshow::drawButtonPicture(m_glyph, look, size(), ratio);
}

void CSuperBitmapButton::paintEvent(QPaintEvent*)
{
    makePictures();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_pictures[static_cast<std::size_t>(look())]);
}

void CSuperBitmapButton::mouseMoveEvent(QMouseEvent* event)
{
    // Qt reports the leave by itself; the flag keeps the record of the first move.
    m_tracking = true;
    const bool hover = rect().contains(event->position().toPoint());
    if (hover != m_hover) {
        m_hover = hover;
        update();
    }
}

void CSuperBitmapButton::leaveEvent(QEvent*)
{
    m_hover = false;
    m_tracking = false;
    update();
}

void CSuperBitmapButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_hover = rect().contains(event->position().toPoint());
    update();
}

void CSuperBitmapButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    const bool inside = rect().contains(event->position().toPoint());
    update();
    if (inside)
        emit command(m_id);
}

void CSuperBitmapButton::focusInEvent(QFocusEvent*)
{
    QWidget* home = m_focusHome ? m_focusHome.data() : QApplication::activeWindow();
    if (home && home != this)
        home->setFocus(Qt::OtherFocusReason);
}

void CSuperBitmapButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
