#pragma once
// `CSlideView`: the slide show's full-screen view. It shows one slide of the folder fitted on
// black, decodes the next one ahead in its own `PreloadSlot`, advances on a timer until the
// last image, and shows its floating tool bar and the cursor while the mouse moves.
#include "slideshow/CSlideToolBar.h"
#include "slideshow/SlideShowLogic.h"
#include "viewer/FileStamp.h"
#include "viewer/PreloadSlot.h"

#include <QBasicTimer>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>

class fipSuperImage;
class ImageSequence;

class CSlideView : public QWidget {
    Q_OBJECT
public:
    explicit CSlideView(QWidget* parent = nullptr, slideshow::Timings timings = {});
    ~CSlideView() override;

    // The folder's list; not owned, must outlive the view or be reset first.
    void setSequence(const ImageSequence* sequence) { m_sequence = sequence; }
    // Whether the frame is in slide-show mode: mouse moves show the tool bar only then, and a
    // look-ahead that ends outside it gives its memory back.
    void setShowActive(bool active) { m_showActive = active; }
    bool showActive() const { return m_showActive; }

    // Loads the slide of list item `index`, from the look-ahead when it holds it, and starts
    // the look-ahead of the one after. True when an image was loaded.
    bool OpenSlideAt(int index);
    // The show begins: focus, tool bar, the hiding timer, and playing.
    void beginShow();
    // The show ends: timers, image and look-ahead go; the view hides.
    void endShow();

    void play();
    void pause();
    void nextSlide();
    void previousSlide();
    // The list gained, lost or reordered items: the slide keeps its item where it can.
    void SequenceChanged();

    // Timer handlers, also called by tests.
    void onAdvanceTimer();
    void onHideTimer();

    // ---- State, for the frame and for tests ------------------------------------------
    bool playing() const { return m_playing; }
    bool cursorHidden() const { return m_cursorHidden; }
    bool hasImage() const { return m_image != nullptr; }
    const fipSuperImage* image() const { return m_image.get(); }
    const QString& filePath() const { return m_filePath; }
    int listIndex() const { return m_listIndex; }
    int pageCount() const { return m_pageCount; }
    const PreloadSlot& preloadSlot() const { return m_preload; }
    // Waits for the look-ahead thread (tests and benches that need a settled slot).
    void waitForPreload() { m_preload.wait(); }
    // Slides decoded on the window thread because the look-ahead did not hold them.
    int directLoads() const { return m_directLoads; }
    CSlideToolBar* toolBar() const { return m_toolBar; }
    // Where the slide lies in the client area (logical pixels); empty without an image.
    QRect slideRectOnScreen() const;
    // The slide on screen is the smooth reduction, not the quick stretch of a first paint.
    bool showsSmoothSlide() const { return !m_fittedIsQuick; }
    // Smooth reductions made on the window thread, not taken ready from the look-ahead.
    int windowReductions() const { return m_windowReductions; }
    bool advanceTimerActive() const { return m_advanceTimer.isActive(); }
    bool hideTimerActive() const { return m_hideTimer.isActive(); }

signals:
    // Exit was chosen (button or Escape): the frame ends the show.
    void exitRequested();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void onToolBarCommand(int id);
    void StartPreload();
    void releaseImage();
    void latchButtons();
    void stepTo(int index);
    void showCursorAndToolBar();
    // The slide in the painter's format at the size it is drawn (device pixels).
    const QImage& fittedImage(QSize deviceSize, qreal ratio);
    // 24-bit images are reduced straight from the library's rows.
    bool drawsFromImageRows() const;
    QImage smoothCopy(QSize size);
    // The client size in device pixels, the box slides are fitted into.
    QSize deviceClientSize() const;

    slideshow::Timings m_timings;
    const ImageSequence* m_sequence = nullptr;
    CSlideToolBar* m_toolBar = nullptr;
    QPoint m_lastPoint{-1, -1};
    std::unique_ptr<fipSuperImage> m_image;
    // The full-size copy the look-ahead made for images the painter cannot take directly.
    QImage m_display;
    FileStamp m_fileStamp;
    int m_pageCount = 0;
    QString m_filePath;
    QString m_itemPath;
    int m_listIndex = -1;
    int m_pageIndex = 0;
    PreloadSlot m_preload;
    bool m_playing = false;
    bool m_cursorHidden = false;
    bool m_showActive = false;
    QBasicTimer m_hideTimer;
    QBasicTimer m_advanceTimer;
    QImage m_fitted;
    bool m_fittedIsQuick = false;
    bool m_smoothRequested = false;
    int m_directLoads = 0;
    int m_windowReductions = 0;
};
