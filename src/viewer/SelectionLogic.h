#pragma once
// The selection rectangle's rules without a window: holding it to a width-to-height ratio,
// drawing, corner and edge drags, moving it inside the image, the ratio presets and the
// orientation switch. Rectangles are edges (left, top, right, bottom), right and bottom
// exclusive, so a width is right - left.
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

struct SelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const SelBox&) const = default;

    static SelBox fromRect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
    QRect toRect() const { return QRect(left, top, right - left, bottom - top); }
    // Both corners, ordered.
    static SelBox spanning(QPoint a, QPoint b);
};

// 0 right-down, 1 left-down, 2 right-up, 3 left-up: where the pointer is from the anchor.
int dragDirection(QPoint pointer, QPoint anchor);

// Clamps `box` into `extent`, then shrinks it (never enlarges) to `ratio` keeping the corner
// at the anchor given by `direction`. A ratio of 0 only clamps.
SelBox ConstrainToRatio(SelBox box, int direction, double ratio, const SelBox& extent);

// Whether `w` x `h` already counts as being in `ratio` (either rounding way).
bool isInRatio(int w, int h, double ratio);

// Hit parts of the frame, as `trackerHitTest` reports them.
enum HitPart { HitNone = -1, HitTopLeft = 0, HitTopRight, HitBottomRight, HitBottomLeft, HitTop, HitRight,
               HitBottom, HitLeft, HitInside };

// The frame while the pointer drags, all in client pixels. `frameAtPress` is the frame when
// the button went down (normalised).
SelBox dragNewFrame(QPoint press, QPoint pointer, double ratio, const SelBox& extent);
SelBox dragCorner(const SelBox& frameAtPress, int corner, QPoint pointer, double ratio, const SelBox& extent);
SelBox dragEdge(const SelBox& frameAtPress, int edge, QPoint pointer, double ratio, const SelBox& extent);

// Moving the whole frame. The press point is shifted by whatever the image edge cut off, so
// the frame comes back with the pointer at once.
struct MovedFrame {
    SelBox frame;
    QPoint press;
};
MovedFrame moveFrame(const SelBox& frameAtPress, QPoint press, QPoint pointer, const SelBox& extent);

enum class RatioType { Free = 0, SameAsImage = 1, Fixed = 2 };
enum class SelOrientation { Portrait = 0, Landscape = 1 };

// Width / height the selection is held to; 0 for free.
double effectiveRatio(RatioType type, double storedRatio, QSize image);

// The preset behind a ratio command for the orientation, or nothing for other ids.
std::optional<double> ratioPreset(int commandId, SelOrientation orientation);
bool matchesPreset(double ratio, double preset);

// Width and height swapped at the same top-left, kept inside the image. For landscape the
// left edge first moves so the new width fits when it would not.
QRect swapSelectionOrientation(const QRect& selection, QSize image, SelOrientation to);
