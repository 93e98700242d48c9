#pragma once
// `CImageView`: the viewer pane. It holds one image of the folder (`ViewedImage`), loads the
// next one ahead (`PreloadSlot`), keeps the `UndoHistory`, owns the zoom geometry and draws.
// The decisions live in plain classes (ViewGeometry, UndoHistory, PreloadSlot, ViewRendering);
// this widget turns events into calls on them and paints their results.
#include "viewer/EditViewSettings.h"
#include "viewer/ImageSequence.h"
#include "viewer/IncrementalReduction.h"
#include "viewer/PreloadSlot.h"
#include "viewer/UndoHistory.h"
#include "viewer/ViewRendering.h"
#include "viewer/WheelSteps.h"
#include "viewer/ViewerStepping.h"
#include "viewer/ZoomGeometry.h"

#include "viewer/SelectionLogic.h"
#include "viewer/ViewerDialogs.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QCursor>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CDlgSetZoomLevel;
class fipSuperImage;

struct ViewerSettings {
    QString tempFolder;  // undo snapshots go here
    QString configPath;  // Config.ini ("ZoomInfo")
};

class CImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CImageView(ViewerSettings settings, QWidget* parent = nullptr);
    ~CImageView() override;

    // The folder's list; not owned, must outlive the view or be reset first.
    void setSequence(const ImageSequence* sequence) { m_sequence = sequence; }
    // The list gained, lost or reordered items: the list index follows the open item, so
    // stepping goes on from the image shown.
    void SequenceChanged();

    // ---- Viewed image ----------------------------------------------------------------
    bool OpenImageAt(int index, int page);
    void ReleaseImage();
    bool TakeUndoSnapshot();
    void RefreshAfterChange();
    void MarkChanged();
    // MarkChanged after the whole image was flipped: the smooth reduction shown is flipped
    // too, so the next paint needs no new one.
    void MarkMirrored(bool vertically);
    void Undo();
    void Redo();
    bool canUndo() const;
    bool canRedo() const;
    void UpdateTitle();
    QString titleText() const;
    void StartPreload();

    fipSuperImage* image() { return m_image.get(); }
    const fipSuperImage* image() const { return m_image.get(); }
    bool hasImage() const { return m_image != nullptr; }
    // Changes whenever the image is given up (closed, or replaced by another one).
    std::uint64_t imageSerial() const { return m_imageSerial; }
    const QString& filePath() const { return m_filePath; }
    const QString& itemFolder() const { return m_itemFolder; }
    const QString& itemPath() const { return m_itemPath; }
    int listIndex() const { return m_listIndex; }
    int pageIndex() const { return m_pageIndex; }
    int pageCount() const { return m_pageCount; }
    // The file's own pixel size while the image stands for the file unedited; empty otherwise.
    // Larger than the image when the file was opened reduced for the memory budget.
    QSize fileImageSize() const { return m_matchesFile ? m_fullSize : QSize(); }
    bool isModified() const { return m_modified; }
    void setModified(bool modified)
    {
        m_modified = modified;
        m_matchesFile = m_matchesFile && !modified;
    }
    const UndoHistory& undoHistory() const { return m_undo; }
    const PreloadSlot& preloadSlot() const { return m_preload; }
    // Waits for the look-ahead thread (tests and benches that need a settled slot).
    void waitForPreload() { m_preload.wait(); }

    // ---- Steps decoded off the window thread (CImageViewStepping.cpp) -------------------
    // While a step is pending, the list index, path and title are the step's target already
    // and the picture shown is the last one that finished; every command but the image steps
    // first waits for the target (`settleStep`).
    bool stepPending() const { return m_stepper.pending() || m_stepFromPreload; }
    void settleStep();
    const StepDecoder& stepDecoder() const { return m_stepper; }
    // Steps to files of at least this many bytes decode in the background; smaller ones
    // decode at once, quicker than a repaint would come.
    void setBackgroundStepBytes(qint64 bytes) { m_backgroundStepBytes = bytes; }

    // ---- Zoom and scrolling (CImageViewZoom.cpp) ---------------------------------------
    void SetZoom(double zoom);
    void FitImage();
    void FitWidth();
    void FitHeight();
    void ActualSize();
    void ZoomLock();
    void SetZoomFromFrame(double zoom);
    void SetScrollPosition(double x, double y);
    // The menu commands, with their do-nothing cases.
    void OnZoomIn();
    void OnZoomOut();
    void OnActualSize();
    void OnFitImage();
    void OnFitWidth();
    void OnFitHeight();
    void OnZoomLock();
    void OnFixedZoomLevel(double level);
    void OnZoomTo();
    bool canZoomIn() const;
    bool canZoomOut() const;
    // Applies a "Set Zoom Level" dialog that was accepted.
    void applyZoomDialog(const CDlgSetZoomLevel& dialog);
    double ClientToImageX(double x) const { return m_geometry.clientToImageX(x); }
    double ClientToImageY(double y) const { return m_geometry.clientToImageY(y); }
    double ImageToClientX(double x) const { return m_geometry.imageToClientX(x); }
    double ImageToClientY(double y) const { return m_geometry.imageToClientY(y); }
    const ViewGeometry& zoomGeometry() const { return m_geometry; }
    double zoom() const { return m_geometry.zoom(); }
    ZoomType zoomType() const { return m_geometry.zoomType(); }

    // ---- Drawing ---------------------------------------------------------------------
    void DeleteDrawingCache();
    // Paints the client area (what the viewport shows) with `painter`.
    void renderTo(QPainter& painter);
    void buildDrawingCache();
    // One turn of the reduction cache's making (`WM_BUILD_DRAWING_CACHE`): large photos a band
    // at a time, other images at once.
    void continueDrawingCache();
    // Takes a reduction made elsewhere (a decoding thread) as the cache when it has the size
    // the view now needs.
    void adoptReduction(QImage reduced);
    // How a decoding thread sizes the reduction for an image this view will show next.
    ReductionSize reductionForNextImage() const;
    // Follows the screen's device pixel ratio; true when it changed.
    bool syncDeviceRatio();
    bool hasDrawingCache() const;
    DrawPath lastDrawPath() const { return m_lastPath; }
    QRect drawnRect() const { return m_drawnRect; }
    QColor backgroundColor() const;

    // ---- State the frame and the tools set -------------------------------------------
    void setViewerModeActive(bool active) { m_viewerModeActive = active; }
    bool viewerModeActive() const { return m_viewerModeActive; }
    void setFullScreenMode(bool fullScreen);
    bool fullScreenMode() const { return m_geometry.fullScreen(); }
    void setZoomSliderDragging(bool dragging);
    void setCursorHidden(bool hidden);
    void setTool(ViewTool tool);
    ViewTool tool() const { return m_edit.tool; }
    // The selection in image pixels; empty for none.
    void setSelection(const QRect& selection);
    const QRect& selection() const { return m_selection; }
    CursorKind cursorKindAt(QPoint clientPoint) const;

    // ---- Commands (CImageViewCommands.cpp) ----------------------------------------------
    // A viewer command from a menu, an accelerator, a key or the wheel; true when it is one of
    // the viewer's (a disabled one is then swallowed without effect).
    bool OnCommand(int id);
    void OnUpdateCommand(int id, bool& enabled, std::optional<bool>& checked) const;
    // Replaces the dialogs (tests answer them here).
    void setDialogs(ViewerDialogs dialogs) { m_dialogs = std::move(dialogs); }
    // The frame builds the context menu; called with the global point while it tracks.
    void setContextMenuHandler(std::function<void(QPoint globalPos)> handler) { m_contextMenu = std::move(handler); }
    bool contextMenuOpen() const { return m_contextMenuOpen; }

    // 1 to go on (saved or discarded), 0 to stay.
    int QuerySaveChanges();
    bool SaveImageAs(const QString& path, int flags);
    void ReloadImage();
    // Runs the open dialog in `folder`; the chosen file, after the viewed image was given up
    // (saved or discarded and released). Nothing when cancelled at either point.
    std::optional<QString> OpenFileDialog(const QString& folder);

    // Tools and selection
    void SetSelectionRatio(double value, RatioType type);
    void SetOrientation(SelOrientation orientation);
    double storedRatio() const { return m_edit.ratio; }
    double selectionRatio() const;  // the effective ratio
    RatioType ratioType() const { return m_edit.ratioType; }
    SelOrientation orientation() const { return m_edit.orientation; }
    std::uint32_t cutColor() const { return m_edit.cutColor; }
    // Where the image lies in client pixels; the selection is kept inside it.
    SelBox imageExtentOnScreen() const;

    // Timers: 1 hides the cursor in full screen, 2 steps the quick slide show.
    bool quickSlideShowRunning() const { return m_quickSlideShow; }
    bool cursorHidden() const { return m_cursorHidden; }
    bool cursorTimerActive() const { return m_cursorTimer.isActive(); }
    void onCursorTimer();
    void onQuickSlideTimer();

signals:
    // After every `SetZoom`: the status bar refreshes its panes and slider.
    void zoomChanged(double zoom);
    // The pixels or the image changed: the viewer histogram recomputes.
    void imageChanged();
    // The viewer gave up its image for Browse: the frame switches to browser mode.
    void browseRequested();
    // The viewer's full screen went on or off: the frame enters or leaves its layout.
    void fullScreenLayoutRequested(bool on);
    // A key asked for a command the viewer does not handle itself (Delete, for one).
    void commandRequested(int id);
    // The viewed file went to the trash; the list drops its item.
    void fileDeleted(const QString& path);
    // The cursor position or selection changed: the status bar panes refresh.
    void statusRefreshRequested();
    // A key ran one of the viewer's commands: the frame's command states (menus, tool bar,
    // shortcuts) are stale, e.g. Crop after Ctrl+A.
    void commandStatesChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The cursor hides after this long without movement in full screen.
    static constexpr int kCursorHideMs = 2000;

    void afterGeometryChange();
    void syncScrollBars();
    void onScrollBarMoved();
    void updateCursor(QPoint clientPoint);
    QCursor cursorFor(CursorKind kind) const;
    const QImage& displayImage();
    // 24-bit images can be stretched straight from the library's rows.
    bool canStretchFromImageBits() const;
    void stretchFromImageBits(QPainter& painter, const VisiblePart& part) const;
    // Makes the reduction cache after this paint, then repaints.
    void requestDeferredDrawingWork();

    bool isEnabled(int id) const;
    void showContextMenu(QPoint clientPoint);
    void zoomStepAt(QPoint clientPoint, bool in);
    void zoomStepKeeping(QPoint clientPoint, bool in);
    void dragSelection(QPoint point);
    // Saves or discards a modified image and releases it; false to stay.
    bool leaveImage();
    // Before writing over the open file: asks when it changed on disk since it was read, and
    // when it was opened reduced to fit in memory.
    bool mayOverwriteViewedFile();
    void stepToImage(int index);
    // Starts a step to `index` that decodes in the background; false when it should not.
    bool beginBackgroundStep(int index);
    // Makes `opened` the viewed image of the current target (the tail of `OpenImageAt`).
    void showOpened(PreloadedImage opened);
    // Shows an earlier target's image while the newest still decodes.
    void showInterim(PreloadedImage interim);
    void onStepDecoded();
    bool onPreloadDoneForStep();
    void abandonSteps();
    void stepToPage(int page);
    void stepPrevious();
    void toggleQuickSlideShow();
    void toggleFullScreen();
    void browse();
    void closeImage();
    void saveAs();
    void cropToSelection();
    void cutSelection();
    void copySelection();
    void pasteImage();
    void chooseCutColor();
    // The file commands on the open file (CImageViewFileCommands.cpp).
    void print();
    void deleteFile();
    void renameFile();
    void copyFileToFolder();
    void moveFileToFolder();
    int keyCommand(const QKeyEvent& event) const;

    ViewerSettings m_settings;
    const ImageSequence* m_sequence = nullptr;

    // ViewedImage
    QString m_filePath;
    QString m_itemFolder;
    QString m_itemPath;  // the list item's own path (a link's, where the file is its target)
    int m_listIndex = -1;
    std::unique_ptr<fipSuperImage> m_image;
    std::uint64_t m_imageSerial = 0;
    int m_pageIndex = 0;
    int m_pageCount = 0;
    QSize m_fullSize;
    bool m_modified = false;
    // The image holds exactly the pixels of the file at `m_filePath`: saving there would
    // change nothing, and a step back may keep it for a quick return.
    bool m_matchesFile = false;
    // The file when the image was read from it (or last saved there).
    FileStamp m_fileStamp;
    UndoHistory m_undo;
    PreloadSlot m_preload;
    StepDecoder m_stepper{this};
    bool m_stepFromPreload = false;  // the pending target is the look-ahead's, still decoding
    qint64 m_backgroundStepBytes = 1 << 20;

    ViewGeometry m_geometry;

    // Drawing
    QImage m_display;  // the image's pixels in the painter's format, made on demand
    QImage m_cache;    // the whole zoomed image, smoothly reduced
    QString m_cacheSource;
    std::unique_ptr<IncrementalReduction> m_reduction;  // the cache being made
    bool m_cacheRequested = false;
    QRect m_drawnRect;
    DrawPath m_lastPath = DrawPath::None;
    bool m_sliderDragging = false;

    bool m_viewerModeActive = false;
    bool m_cursorHidden = false;
    bool m_leftButtonDown = false;
    bool m_rightButtonDown = false;
    QPoint m_pressPoint;
    QPoint m_rightPressPoint;
    QPoint m_lastPoint{-1, -1};
    QRect m_selectionAtPress;
    int m_hitPart = -1;
    EditViewSettings m_edit;
    ViewerDialogs m_dialogs = ViewerDialogs::standard();
    std::function<void(QPoint)> m_contextMenu;
    bool m_contextMenuOpen = false;
    WheelSteps m_stepWheel;
    WheelSteps m_zoomWheel;
    bool m_quickSlideShow = false;
    bool m_inQuerySave = false;
    QBasicTimer m_cursorTimer;
    QBasicTimer m_slideTimer;
    bool m_syncingBars = false;
    QRect m_selection;
    QCursor m_zoomCursor;
};
