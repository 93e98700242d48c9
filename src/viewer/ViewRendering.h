#pragma once
// The drawing decisions of `CImageView` that need no window: which of the three paths draws
// a view, where the selection frame's handles go and which cursor a place gets.
#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QRect>
#include <QSize>

#include "viewer/ZoomGeometry.h"

#include <array>

class QPainter;

enum class DrawPath { None, Cache, Stretch, Direct };

inline constexpr long long kMaxCachePixels = 16'000'000;
inline constexpr unsigned kViewerBackground = 0x8A8A8A;
inline constexpr unsigned kFullScreenBackground = 0x000000;
inline constexpr int kTrackerHandleSize = 6;

// The cache for reduced views (smooth, made once per zoom and image), a fast stretch of the
// visible part otherwise, a plain copy at 100%. `zoomed` counts device pixels.
DrawPath chooseDrawPath(double zoom, QSize zoomed, bool sliderDragging);
// The device size of the reduction a view with `geometry` shows `image` at once it has
// applied its zoom type to it (as it does to every image it opens); empty when it draws
// that image without one.
QSize predictedReductionSize(ViewGeometry geometry, QSize image);

// The eight handle squares, inside the normalised rectangle: corners top-left, top-right,
// bottom-right, bottom-left, then the midpoints of the top, right, bottom and left edges.
std::array<QRect, 8> trackerHandles(const QRect& frame);
// Part of the frame under `point`: 0..3 corners, 4..7 edges (in the order above), 8 inside,
// -1 outside.
int trackerHitTest(const QRect& frame, QPoint point);
// A one-pixel outline that inverts what is under it, so it shows on any image, and the
// black handles.
void drawTracker(QPainter& painter, const QRect& frame);

// Nearest-neighbour stretch of `source` (top-down image pixels) of a bottom-up 24-bit BGR
// buffer to a `size` image in the painter's format: the first paint of a large image just
// opened, before the whole of it is converted.
QImage stretchBottomUpBgr(const uchar* bits, QSize image, qsizetype pitch, const QRectF& source, QSize size);
// The same for bottom-up 1, 4 or 8-bit rows of palette indices, `palette` holding the
// 2^bpp colours: an image just made grey or black and white is shown without a 32-bit copy.
QImage stretchBottomUpIndexed(const uchar* bits, int bpp, const QRgb* palette, QSize image, qsizetype pitch,
                              const QRectF& source, QSize size);

enum class ViewTool { Pan = 0, Select = 1, Zoom = 2 };

enum class CursorKind { Hidden, Default, Pan, PanDown, Select, Zoom, Move, SizeFDiag, SizeBDiag, SizeHor, SizeVer };

struct CursorInputs {
    bool cursorHidden = false;
    bool overScrollBarOrMenu = false;
    bool hasImage = false;
    ViewTool tool = ViewTool::Pan;
    bool imageFitsClient = true;  // the zoomed image fits the client area on both axes
    bool leftButtonDown = false;
    QRect selectionOnScreen;      // empty when there is no selection
    QRect drawnRect;
    QPoint point;
};
CursorKind chooseCursor(const CursorInputs& in);
