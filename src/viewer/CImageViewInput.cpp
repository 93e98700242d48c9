// The viewer's mouse and keys: the tools' drags, the wheel, the context menu and the keys
// that become commands.
#include "viewer/CImageView.h"

#include "viewer/ViewerCommands.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

// ---- Mouse ----------------------------------------------------------------------------------

void CImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_leftButtonDown = true;
        m_pressPoint = m_lastPoint = p;
        m_selectionAtPress = m_selection;
        m_hitPart = HitNone;
        if (m_edit.tool == ViewTool::Select) {
            const QRect frame = m_geometry.imageToClient(m_selection);
            if (!frame.isEmpty())
                m_hitPart = trackerHitTest(frame, p);
        }
        updateCursor(p);
    } else if (event->button() == Qt::RightButton) {
        m_rightButtonDown = true;
        m_rightPressPoint = p;
    }
    event->accept();
}

void CImageView::dragSelection(QPoint p)
{
    if (!m_image)
        return;
    const SelBox extent = imageExtentOnScreen();
    const SelBox atPress = SelBox::fromRect(m_geometry.imageToClient(m_selectionAtPress));
    const double ratio = selectionRatio();
    SelBox frame;
    if (m_hitPart == HitNone) {
        frame = dragNewFrame(m_pressPoint, p, ratio, extent);
    } else if (m_hitPart <= HitBottomLeft) {
        frame = dragCorner(atPress, m_hitPart, p, ratio, extent);
    } else if (m_hitPart <= HitLeft) {
        frame = dragEdge(atPress, m_hitPart, p, ratio, extent);
    } else {
        const MovedFrame moved = moveFrame(atPress, m_pressPoint, p, extent);
        m_pressPoint = moved.press;
        frame = moved.frame;
    }
    const QRect selection = frame.isEmpty() ? QRect() : m_geometry.clientToImage(frame.toRect());
    if (selection != m_selection) {
        m_selection = selection;
        viewport()->repaint();
    }
}

void CImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (p == m_lastPoint)
        return;
    if (m_cursorHidden)
        m_cursorHidden = false;
    if (fullScreenMode())
        m_cursorTimer.start(kCursorHideMs, this);
    if (m_leftButtonDown) {
        const QSize client = m_geometry.clientSize();
        const QSize zoomed = m_geometry.zoomedSize();
        const bool exceeds = zoomed.width() > client.width() || zoomed.height() > client.height();
        if (m_edit.tool == ViewTool::Pan && exceeds) {
            SetScrollPosition(m_geometry.scrollX() - (p.x() - m_lastPoint.x()),
                              m_geometry.scrollY() - (p.y() - m_lastPoint.y()));
            viewport()->repaint();
        } else if (m_edit.tool == ViewTool::Select) {
            dragSelection(p);
        }
    }
    m_lastPoint = p;
    updateCursor(p);
    emit statusRefreshRequested();
}

void CImageView::zoomStepAt(QPoint clientPoint, bool in)
{
    const double x = ClientToImageX(clientPoint.x());
    const double y = ClientToImageY(clientPoint.y());
    if (in)
        OnZoomIn();
    else
        OnZoomOut();
    const QSize client = m_geometry.clientSize();
    SetScrollPosition(m_geometry.scrollX() - (client.width() * 0.5 - ImageToClientX(x)),
                      m_geometry.scrollY() - (client.height() * 0.5 - ImageToClientY(y)));
    viewport()->update();
}

void CImageView::zoomStepKeeping(QPoint clientPoint, bool in)
{
    if (!hasImage())
        return;
    const double x = ClientToImageX(clientPoint.x());
    const double y = ClientToImageY(clientPoint.y());
    if (in)
        OnZoomIn();
    else
        OnZoomOut();
    SetScrollPosition(m_geometry.scrollX() + (ImageToClientX(x) - clientPoint.x()),
                      m_geometry.scrollY() + (ImageToClientY(y) - clientPoint.y()));
    viewport()->update();
}

void CImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_leftButtonDown) {
        if (m_image) {
            if (m_edit.tool == ViewTool::Select) {
                // A click away from the frame drops the selection.
                if (!m_geometry.imageToClient(m_selection).isEmpty() && m_hitPart == HitNone && p == m_pressPoint)
                    setSelection(QRect());
            } else if (m_edit.tool == ViewTool::Zoom && m_geometry.visiblePart().destination.contains(m_pressPoint)) {
                zoomStepAt(m_pressPoint, true);
            }
        }
        m_lastPoint = m_pressPoint = p;
        m_selectionAtPress = QRect();
        m_leftButtonDown = false;
        updateCursor(p);
    } else if (event->button() == Qt::RightButton && m_rightButtonDown) {
        m_rightButtonDown = false;
        if (m_image && m_edit.tool == ViewTool::Zoom
            && m_geometry.visiblePart().destination.contains(m_rightPressPoint))
            zoomStepAt(m_rightPressPoint, false);
        else
            showContextMenu(p);
    }
    event->accept();
}

void CImageView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnCommand(vcmd::Browse);
    event->accept();
}

void CImageView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // Ctrl+wheel zooms, keeping the image point under the cursor where it is.
        m_stepWheel.reset();
        const QPoint at = event->position().toPoint();  // the viewport's own coordinates
        for (int steps = m_zoomWheel.add(delta); steps != 0; steps += steps > 0 ? -1 : 1)
            zoomStepKeeping(at, steps > 0);
        emit commandStatesChanged();
        event->accept();
        return;
    }
    m_zoomWheel.reset();
    for (int steps = m_stepWheel.add(delta); steps != 0; steps += steps > 0 ? -1 : 1)
        OnCommand(steps < 0 ? vcmd::NextImage : vcmd::PreviousImage);
    event->accept();
}

void CImageView::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse's menu comes with the right button's release (the zoom tool uses it inside
    // the image); only the keyboard's is shown from here, at the cursor.
    if (event->reason() != QContextMenuEvent::Mouse)
        showContextMenu(viewport()->mapFromGlobal(QCursor::pos()));
    event->accept();
}

void CImageView::showContextMenu(QPoint clientPoint)
{
    if (hasImage() && m_edit.tool == ViewTool::Zoom && m_geometry.visiblePart().destination.contains(clientPoint))
        return;
    m_cursorTimer.stop();
    setCursorHidden(false);
    m_contextMenuOpen = true;
    if (m_contextMenu)
        m_contextMenu(viewport()->mapToGlobal(clientPoint));
    m_contextMenuOpen = false;
    if (fullScreenMode())
        m_cursorTimer.start(kCursorHideMs, this);
}

// ---- Keys -----------------------------------------------------------------------------------

int CImageView::keyCommand(const QKeyEvent& event) const
{
    const Qt::KeyboardModifiers mods = event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    const int key = event.key();
    // The zoom keys Linux users expect, beside the plain ones: Ctrl+Plus (also typed as
    // Ctrl+Shift+= or Ctrl+=), Ctrl+Minus, Ctrl+0, and "+" typed with Shift.
    if (mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier)) {
        switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal: return vcmd::ZoomIn;
        case Qt::Key_Minus: return mods == Qt::ControlModifier ? vcmd::ZoomOut : 0;
        case Qt::Key_0: return mods == Qt::ControlModifier ? vcmd::ActualSize : 0;
        default: break;
        }
    }
    if (mods == Qt::ShiftModifier && key == Qt::Key_Plus)
        return vcmd::ZoomIn;
    if (mods == Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_A: return vcmd::SelectAll;
        case Qt::Key_C: return vcmd::Copy;
        case Qt::Key_V: return vcmd::Paste;
        case Qt::Key_X: return vcmd::Cut;
        case Qt::Key_Y: return vcmd::Redo;
        case Qt::Key_Z: return vcmd::Undo;
        default: return 0;
        }
    }
    if (mods != Qt::NoModifier)
        return 0;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: return vcmd::Browse;
    case Qt::Key_PageUp:
    case Qt::Key_Left: return vcmd::PreviousImage;
    case Qt::Key_PageDown:
    case Qt::Key_Right: return vcmd::NextImage;
    case Qt::Key_End: return vcmd::LastImage;
    case Qt::Key_Home: return vcmd::FirstImage;
    case Qt::Key_Delete: return vcmd::Delete;
    case Qt::Key_8: return keypad ? 0 : vcmd::FitImage;
    case Qt::Key_Asterisk: return keypad ? vcmd::FitImage : 0;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return vcmd::ZoomIn;
    case Qt::Key_Minus: return vcmd::ZoomOut;
    case Qt::Key_Slash: return vcmd::ActualSize;
    default: return 0;
    }
}

void CImageView::keyPressEvent(QKeyEvent* event)
{
    const int id = keyCommand(*event);
    if (id == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (OnCommand(id))
        emit commandStatesChanged();
    else
        emit commandRequested(id);
    if (id == vcmd::FitImage)  // this key also goes on
        QAbstractScrollArea::keyPressEvent(event);
    else
        event->accept();
}

void CImageView::keyReleaseEvent(QKeyEvent* event)
{
    // The key held for a burst of steps is up: no more steps come, so the last one's decode
    // need not wait to see whether the next repeat supersedes it.
    if (!event->isAutoRepeat() && stepPending())
        m_stepper.endBurst();
    QAbstractScrollArea::keyReleaseEvent(event);
}
