#include "controls/CColorPopup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>

using namespace ColorPalette;

CColorPopup::CColorPopup(const QRect& buttonOnScreen, ColorValue initial,
                         const QString& automaticText, const QString& moreText,
                         MoreColorsChooser chooser, QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint),
      m_initial(initial),
      m_automaticText(automaticText),
      m_moreText(moreText),
      m_chooser(std::move(chooser))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFont(QApplication::font("QMessageBox"));
    m_boxes = {!m_automaticText.isEmpty(), !m_moreText.isEmpty()};
    layout();
    QScreen* screen = QGuiApplication::screenAt(buttonOnScreen.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    move(place(buttonOnScreen, size(), screen ? screen->availableGeometry() : QRect()));
    m_chosen = ColorPalette::chosenIndex(initial, m_boxes);
    m_hot = m_chosen;
}

void CColorPopup::layout()
{
    m_margin = std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    m_cell = std::max(18, 2 * m_margin + 7);
    const int width = kColumns * m_cell + 2 * m_margin;
    const int boxHeight = fontMetrics().height() + 4 * m_margin + 2;
    int y = m_margin;
    if (m_boxes.automatic) {
        m_automaticRect = QRect(m_margin, y, width - 2 * m_margin, boxHeight);
        y += boxHeight + 2 * m_margin;
    }
    m_gridOrigin = QPoint(m_margin, y);
    y += kRows * m_cell;
    if (m_boxes.more) {
        y += 2 * m_margin;
        m_moreRect = QRect(m_margin, y, width - 2 * m_margin, boxHeight);
        y += boxHeight;
    }
    setFixedSize(width, y + m_margin);
}

QRect CColorPopup::cellRect(int index) const
{
    if (index == kAutomaticBox)
        return m_automaticRect;
    if (index == kMoreBox)
        return m_moreRect;
    if (index < 0 || index >= kCellCount)
        return {};
    return QRect(m_gridOrigin.x() + (index % kColumns) * m_cell,
                 m_gridOrigin.y() + (index / kColumns) * m_cell, m_cell, m_cell);
}

int CColorPopup::indexAt(QPoint pos) const
{
    if (m_boxes.automatic && m_automaticRect.contains(pos))
        return kAutomaticBox;
    if (m_boxes.more && m_moreRect.contains(pos))
        return kMoreBox;
    const QPoint p = pos - m_gridOrigin;
    if (p.x() < 0 || p.y() < 0 || p.x() >= kColumns * m_cell || p.y() >= kRows * m_cell)
        return kNone;
    const int index = (p.y() / m_cell) * kColumns + p.x() / m_cell;
    return index < kCellCount ? index : kNone;
}

ColorValue CColorPopup::colorOf(int index) const
{
    if (index == kAutomaticBox)
        return kAutomaticColor;
    if (index >= 0 && index < kCellCount)
        return colors()[std::size_t(index)].color;
    return m_initial;
}

void CColorPopup::setHot(int index)
{
    if (index == m_hot || m_ended)
        return;
    m_hot = index;
    update();
    if (index != kNone)
        emit selectionChanged(colorOf(index));
}

void CColorPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const auto frame = [&](const QRect& r, int index) {
        if (index == m_hot)
            qDrawShadePanel(&p, r, pal, true, 1);
        else if (index == m_chosen)
            qDrawShadePanel(&p, r, pal, false, 1);
    };
    for (int i = 0; i < kCellCount; ++i) {
        const QRect r = cellRect(i);
        frame(r, i);
        const QRect swatch = r.adjusted(m_margin + 1, m_margin + 1, -m_margin - 1, -m_margin - 1);
        const ColorValue c = colors()[std::size_t(i)].color;
        p.fillRect(swatch, QColor(red(c), green(c), blue(c)));
        p.setPen(pal.color(QPalette::Dark));
        p.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    p.setPen(pal.color(QPalette::ButtonText));
    if (m_boxes.automatic) {
        frame(m_automaticRect, kAutomaticBox);
        p.drawText(m_automaticRect, Qt::AlignCenter, m_automaticText);
        QRect around = p.fontMetrics().boundingRect(m_automaticRect, Qt::AlignCenter, m_automaticText);
        around = around.adjusted(-m_margin, -1, m_margin, 1) & m_automaticRect.adjusted(2, 2, -2, -2);
        p.setPen(pal.color(QPalette::Dark));
        p.drawRect(around.adjusted(0, 0, -1, -1));
        p.setPen(pal.color(QPalette::ButtonText));
    }
    if (m_boxes.more) {
        const int lineY = m_moreRect.top() - m_margin;
        qDrawShadeLine(&p, m_margin, lineY, width() - m_margin, lineY, pal, true, 1, 0);
        frame(m_moreRect, kMoreBox);
        p.drawText(m_moreRect, Qt::AlignCenter, m_moreText);
    }
}

void CColorPopup::mouseMoveEvent(QMouseEvent* event)
{
    const int index = indexAt(event->position().toPoint());
    if (index != kNone)
        setHot(index);
}

void CColorPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside) {
        const int index = indexAt(event->position().toPoint());
        if (index == kNone)
            return;
        setHot(index);
    }
    end(inside);
}

void CColorPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: setHot(ColorPalette::move(m_hot, Arrow::Left, m_boxes)); return;
    case Qt::Key_Right: setHot(ColorPalette::move(m_hot, Arrow::Right, m_boxes)); return;
    case Qt::Key_Up: setHot(ColorPalette::move(m_hot, Arrow::Up, m_boxes)); return;
    case Qt::Key_Down: setHot(ColorPalette::move(m_hot, Arrow::Down, m_boxes)); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: end(true); return;
    case Qt::Key_Escape: end(false); return;
    default: QWidget::keyPressEvent(event);
    }
}

bool CColorPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = indexAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), QString::fromLatin1(colors()[std::size_t(index)].name),
                               this, cellRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CColorPopup::closeEvent(QCloseEvent* event)
{
    // Qt closes a popup itself on a press outside it and when the application loses
    // activation: both are a cancel.
    if (!m_ended)
        end(false);
    QWidget::closeEvent(event);
}

void CColorPopup::end(bool ok)
{
    if (m_ended)
        return;
    ColorValue color = m_initial;
    if (ok && m_hot == kMoreBox) {
        // The palette steps aside while the colour dialog is open, or the popup would keep
        // the mouse.
        hide();
        const std::optional<ColorValue> picked = m_chooser ? m_chooser(m_initial, parentWidget())
                                                           : std::nullopt;
        ok = picked.has_value();
        if (ok)
            color = *picked;
    } else if (ok && m_hot != kNone) {
        color = colorOf(m_hot);
    } else {
        ok = false;
    }
    m_ended = true;
    emit ended(color, ok);
    close();
}
