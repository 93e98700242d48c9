#include "slideshow/CSlideView.h"

#include "app/WaitCursor.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ImageLoading.h"
#include "viewer/ImageSequence.h"
#include "viewer/ViewRendering.h"
#include "viewer/ViewerEvents.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimerEvent>

#include <cmath>

namespace {

// The smooth copy of a slide whose first paint was a quick stretch.
constexpr QEvent::Type WM_SMOOTH_SLIDE = static_cast<QEvent::Type>(QEvent::User + 1160);

}  // namespace

CSlideView::CSlideView(QWidget* parent, slideshow::Timings timings) : QWidget(parent), m_timings(timings)
{
    setObjectName(QStringLiteral("SlideView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_toolBar = new CSlideToolBar(this);
    m_toolBar->hide();
    connect(m_toolBar, &CSlideToolBar::command, this, &CSlideView::onToolBarCommand);
    latchButtons();
}

CSlideView::~CSlideView()
{
    // The loader writes into the slot until it ends; nothing here may go before it.
    m_preload.wait();
}

void CSlideView::releaseImage()
{
    m_image.reset();
    m_display = QImage();
    m_fitted = QImage();
    m_fittedIsQuick = false;
    m_pageCount = 0;
}

bool CSlideView::OpenSlideAt(int index)
{
    releaseImage();
    m_listIndex = index;
    m_pageIndex = 0;
    m_filePath.clear();
    m_itemPath.clear();
    const auto item = m_sequence && index >= 0 ? m_sequence->itemAt(index) : std::nullopt;
    if (item && !item->targetPath.isEmpty()) {
        m_filePath = item->targetPath;
        m_itemPath = item->itemPath;
        if (m_preload.isRunning() && m_preload.path() == m_filePath && m_preload.page() == 0)
            m_preload.waitForImage();
        if (auto preloaded = m_preload.take(m_filePath, 0)) {
            m_image = std::move(preloaded->loaded.image);
            m_pageCount = preloaded->loaded.pageCount;
            m_display = std::move(preloaded->display);
            // Used by the paint when the fit is still the one it was made for.
            m_fitted = std::move(preloaded->reduced);
            m_fileStamp = preloaded->stamp;
        } else {
            ++m_directLoads;
            m_fileStamp = FileStamp::of(m_filePath);
            LoadedImage loaded = LoadImageFile(m_filePath, 0);
            m_image = std::move(loaded.image);
            m_pageCount = loaded.pageCount;
        }
        if (m_image && !m_image->isValid())
            releaseImage();
    }
    StartPreload();
    const slideshow::StepStates steps = slideshow::stepStates(m_sequence, m_listIndex);
    m_toolBar->setStepsEnabled(steps.previous, steps.next);
    return m_image != nullptr;
}

void CSlideView::StartPreload()
{
    if (!m_sequence)
        return;
    const int next = m_sequence->nextImage(m_listIndex);
    const auto item = next >= 0 ? m_sequence->itemAt(next) : std::nullopt;
    if (!item || item->targetPath.isEmpty())
        return;
    m_preload.wait();
    if (m_preload.holds(item->targetPath, 0))
        return;
    m_preload.start(item->targetPath, 0, this, deviceClientSize());
}

void CSlideView::SequenceChanged()
{
    if (m_sequence && !m_itemPath.isEmpty()) {
        const int found = m_sequence->findItem(m_itemPath);
        // A slide whose file left the folder keeps its place: the show goes on from there.
        if (found >= 0)
            m_listIndex = found;
    }
    const slideshow::StepStates steps = slideshow::stepStates(m_sequence, m_listIndex);
    m_toolBar->setStepsEnabled(steps.previous, steps.next);
}

void CSlideView::beginShow()
{
    m_showActive = true;
    show();
    setFocus(Qt::OtherFocusReason);
    m_cursorHidden = false;
    unsetCursor();
    m_toolBar->setGeometry(slideshow::toolBarRect(size()));
    m_toolBar->show();
    m_toolBar->raise();
    m_hideTimer.start(m_timings.hideMs, this);
    play();
}

void CSlideView::endShow()
{
    m_showActive = false;
    m_hideTimer.stop();
    m_advanceTimer.stop();
    m_playing = false;
    latchButtons();
    releaseImage();
    // Fails while the loader still decodes; its WM_PRELOAD_DONE frees the slot then.
    m_preload.free();
    m_toolBar->hide();
    m_cursorHidden = false;
    unsetCursor();
    hide();
}

void CSlideView::latchButtons()
{
    m_toolBar->setPlaying(m_playing);
}

void CSlideView::play()
{
    m_playing = true;
    m_advanceTimer.start(m_timings.advanceMs, this);
    latchButtons();
    if (m_toolBar->isVisible())
        m_toolBar->repaint();
}

void CSlideView::pause()
{
    m_playing = false;
    m_advanceTimer.stop();
    latchButtons();
}

void CSlideView::stepTo(int index)
{
    if (m_playing)
        m_advanceTimer.start(m_timings.advanceMs, this);
    WaitCursor wait;
    OpenSlideAt(index);
    update();
}

void CSlideView::nextSlide()
{
    const int next = slideshow::advanceTarget(m_sequence, m_listIndex);
    if (next != -1)
        stepTo(next);
}

void CSlideView::previousSlide()
{
    const int previous = m_sequence ? m_sequence->previousImage(m_listIndex) : -1;
    if (previous == -1)
        return;
    if (m_playing)
        m_advanceTimer.start(m_timings.advanceMs, this);
    WaitCursor wait;
    // The slide left behind waits in the slot, so that Next brings it back without a decode.
    if (m_image && !m_filePath.isEmpty() && m_preload.free()) {
        PreloadedImage left;
        left.loaded.image = std::move(m_image);
        left.loaded.pageCount = m_pageCount;
        left.loaded.fullSize = QSize(static_cast<int>(left.loaded.image->getWidth()),
                                     static_cast<int>(left.loaded.image->getHeight()));
        left.display = std::move(m_display);
        if (!m_fittedIsQuick)
            left.reduced = std::move(m_fitted);
        left.stamp = m_fileStamp;
        m_preload.put(m_filePath, m_pageIndex, std::move(left));
    }
    OpenSlideAt(previous);
    update();
}

void CSlideView::onAdvanceTimer()
{
    m_advanceTimer.stop();
    m_playing = false;
    const int next = slideshow::advanceTarget(m_sequence, m_listIndex);
    if (next == -1) {
        // The show stops at the last image; it does not wrap.
        pause();
        return;
    }
    stepTo(next);
    m_playing = true;
    m_advanceTimer.start(m_timings.advanceMs, this);
}

void CSlideView::onHideTimer()
{
    // While the pointer rests on the bar the timer keeps firing and nothing hides.
    if (m_toolBar->containsMouse())
        return;
    m_hideTimer.stop();
    m_cursorHidden = true;
    m_toolBar->hide();
    setCursor(Qt::BlankCursor);
}

void CSlideView::showCursorAndToolBar()
{
    if (!m_cursorHidden)
        return;
    m_cursorHidden = false;
    unsetCursor();
    m_toolBar->show();
    m_toolBar->raise();
}

void CSlideView::onToolBarCommand(int id)
{
    switch (id) {
    case slideshow::PlayButton:
        if (!m_playing)
            play();
        break;
    case slideshow::PauseButton:
        if (m_playing)
            pause();
        break;
    case slideshow::PreviousButton: previousSlide(); break;
    case slideshow::NextButton: nextSlide(); break;
    case slideshow::ExitButton: emit exitRequested(); break;
    default: break;
    }
}

bool CSlideView::event(QEvent* event)
{
    if (event->type() == WM_PRELOAD_DONE) {
        // After the show nobody will step to it: give the memory back.
        if (!m_showActive)
            m_preload.free();
        return true;
    }
    if (event->type() == WM_SMOOTH_SLIDE) {
        m_smoothRequested = false;
        if (m_image && m_fittedIsQuick) {
            const qreal ratio = m_fitted.devicePixelRatio();
            m_fitted = smoothCopy(m_fitted.size());
            m_fitted.setDevicePixelRatio(ratio);
            m_fittedIsQuick = false;
            update();
        }
        return true;
    }
    return QWidget::event(event);
}

void CSlideView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_advanceTimer.timerId())
        onAdvanceTimer();
    else if (event->timerId() == m_hideTimer.timerId())
        onHideTimer();
    else
        QWidget::timerEvent(event);
}

void CSlideView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_toolBar->setGeometry(slideshow::toolBarRect(size()));
    m_fitted = QImage();
    m_fittedIsQuick = false;
}

void CSlideView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (point == m_lastPoint)
        return;
    m_lastPoint = point;
    if (!m_showActive)
        return;
    showCursorAndToolBar();
    m_hideTimer.start(m_timings.hideMs, this);
}

void CSlideView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape: emit exitRequested(); return;
    case Qt::Key_Space: m_playing ? pause() : play(); return;
    case Qt::Key_Right:
    case Qt::Key_PageDown: nextSlide(); return;
    case Qt::Key_Left:
    case Qt::Key_PageUp: previousSlide(); return;
    default: QWidget::keyPressEvent(event); return;
    }
}

QRect CSlideView::slideRectOnScreen() const
{
    if (!m_image)
        return {};
    const qreal ratio = devicePixelRatioF();
    const QRect r = slideshow::slideRect(QSize(static_cast<int>(m_image->getWidth()), static_cast<int>(m_image->getHeight())), deviceClientSize());
    return QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio).toAlignedRect();
}

bool CSlideView::drawsFromImageRows() const
{
    return m_image && m_image->getImageType() == FIT_BITMAP && m_image->getBPP() == 24 && m_display.isNull();
}

QSize CSlideView::deviceClientSize() const
{
    const qreal ratio = devicePixelRatioF();
    return QSize(static_cast<int>(std::lround(width() * ratio)), static_cast<int>(std::lround(height() * ratio)));
}

QImage CSlideView::smoothCopy(QSize size)
{
    ++m_windowReductions;
    return reducedDisplayImage(*m_image, m_display, size);
}

const QImage& CSlideView::fittedImage(QSize deviceSize, qreal ratio)
{
    // Also the look-ahead's reduced copy, which knows nothing of the screen's pixel ratio.
    if (!m_fitted.isNull() && m_fitted.size() == deviceSize) {
        if (m_fitted.devicePixelRatio() != ratio)
            m_fitted.setDevicePixelRatio(ratio);
        return m_fitted;
    }
    const QSize imageSize(static_cast<int>(m_image->getWidth()), static_cast<int>(m_image->getHeight()));
    if (drawsFromImageRows() && deviceSize != imageSize) {
        // A new slide appears at once, stretched straight from the library's rows; the
        // smooth copy replaces it right after this paint.
        m_fitted = stretchBottomUpBgr(m_image->accessPixels(), imageSize,
                                      static_cast<qsizetype>(m_image->getScanWidth()),
                                      QRectF(QPointF(0, 0), QSizeF(imageSize)), deviceSize);
        m_fittedIsQuick = true;
        if (!m_smoothRequested) {
            m_smoothRequested = true;
            QCoreApplication::postEvent(this, new QEvent(WM_SMOOTH_SLIDE));
        }
    } else {
        m_fitted = smoothCopy(deviceSize);
        m_fittedIsQuick = false;
    }
    // The reduced copy is all a fixed fit needs; the full-size one would double the memory.
    m_display = QImage();
    m_fitted.setDevicePixelRatio(ratio);
    return m_fitted;
}

void CSlideView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_image) {
        painter.fillRect(rect(), Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, tr("No image available."));
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QRect r = slideshow::slideRect(QSize(static_cast<int>(m_image->getWidth()), static_cast<int>(m_image->getHeight())), deviceClientSize());
    const QImage& picture = fittedImage(r.size(), ratio);
    const QRectF placed(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio);
    painter.drawImage(placed.topLeft(), picture);
    // The four margins.
    const QRectF all(rect());
    painter.fillRect(QRectF(0, 0, all.width(), placed.top()), Qt::black);
    painter.fillRect(QRectF(0, placed.bottom(), all.width(), all.height() - placed.bottom()), Qt::black);
    painter.fillRect(QRectF(0, placed.top(), placed.left(), placed.height()), Qt::black);
    painter.fillRect(QRectF(placed.right(), placed.top(), all.width() - placed.right(), placed.height()), Qt::black);
}
