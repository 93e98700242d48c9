#include "viewer/SelectionLogic.h"

#include <algorithm>
#include <cmath>

namespace {

int roundHalfUp(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

struct Preset {
    int id;
    double portrait;
    double landscape;
};

constexpr Preset kPresets[] = {
    {33398, 1.0, 1.0},
    {33399, 0.5, 2.0},
    {33401, 0.75, 1.3333333333333333},
    {33402, 0.6923076923076923, 1.4444444444444444},
    {33403, 0.6666666666666666, 1.5},
    {33404, 0.7222222222222222, 1.3846153846153846},
    {33405, 0.8, 1.25},
};

}  // namespace

SelBox SelBox::spanning(QPoint a, QPoint b)
{
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

int dragDirection(QPoint pointer, QPoint anchor)
{
    return (pointer.x() < anchor.x() ? 1 : 0) + (pointer.y() < anchor.y() ? 2 : 0);
}

bool isInRatio(int w, int h, double ratio)
{
    if (ratio == 0)
        return true;
    return w == static_cast<int>(ratio * h + 0.5) || h == static_cast<int>(w / ratio + 0.5);
}

SelBox ConstrainToRatio(SelBox r, int direction, double ratio, const SelBox& extent)
{
    r.left = std::clamp(r.left, extent.left, std::max(extent.left, extent.right));
    r.right = std::clamp(r.right, extent.left, std::max(extent.left, extent.right));
    r.top = std::clamp(r.top, extent.top, std::max(extent.top, extent.bottom));
    r.bottom = std::clamp(r.bottom, extent.top, std::max(extent.top, extent.bottom));
    if (ratio == 0)
        return r;
    const int w = r.width(), h = r.height();
    if (isInRatio(w, h, ratio))
        return r;
    const int hw = static_cast<int>(w / ratio + 0.5);  // the height the width asks for
    const int wh = static_cast<int>(ratio * h + 0.5);  // the width the height asks for
    const bool anchorLeft = direction == 0 || direction == 2;
    const bool anchorTop = direction == 0 || direction == 1;
    if (wh < w) {
        if (anchorLeft)
            r.right = r.left + wh;
        else
            r.left = r.right - wh;
    } else if (hw < h) {
        if (anchorTop)
            r.bottom = r.top + hw;
        else
            r.top = r.bottom - hw;
    }
    return r;
}

SelBox dragNewFrame(QPoint press, QPoint pointer, double ratio, const SelBox& extent)
{
    return ConstrainToRatio(SelBox::spanning(press, pointer), dragDirection(pointer, press), ratio, extent);
}

SelBox dragCorner(const SelBox& f, int corner, QPoint pointer, double ratio, const SelBox& extent)
{
    QPoint anchor;
    switch (corner) {
    case HitTopLeft: anchor = QPoint(f.right, f.bottom); break;
    case HitTopRight: anchor = QPoint(f.left, f.bottom); break;
    case HitBottomRight: anchor = QPoint(f.left, f.top); break;
    default: anchor = QPoint(f.right, f.top); break;
    }
    return dragNewFrame(anchor, pointer, ratio, extent);
}

SelBox dragEdge(const SelBox& f, int edge, QPoint p, double ratio, const SelBox& extent)
{
    SelBox r = f;
    int direction = 0;
    switch (edge) {
    case HitTop:
        r.top = std::min(p.y(), f.bottom);
        r.bottom = std::max(p.y(), f.bottom);
        direction = p.y() < f.bottom ? 3 : 1;
        break;
    case HitRight:
        r.left = std::min(p.x(), f.left);
        r.right = std::max(p.x(), f.left);
        direction = p.x() < f.left ? 1 : 0;
        break;
    case HitBottom:
        r.top = std::min(p.y(), f.top);
        r.bottom = std::max(p.y(), f.top);
        direction = p.y() < f.top ? 2 : 0;
        break;
    default:
        r.left = std::min(p.x(), f.right);
        r.right = std::max(p.x(), f.right);
        direction = p.x() < f.right ? 3 : 2;
        break;
    }
    if (ratio != 0 && !isInRatio(r.width(), r.height(), ratio)) {
        // The other axis follows the dragged one; the constraint then trims what overflows.
        switch (edge) {
        case HitTop: r.left = r.right - roundHalfUp(ratio * r.height()); break;
        case HitRight: r.bottom = r.top + roundHalfUp(r.width() / ratio); break;
        case HitBottom: r.right = r.left + roundHalfUp(ratio * r.height()); break;
        default: r.top = r.bottom - roundHalfUp(r.width() / ratio); break;
        }
    }
    return ConstrainToRatio(r, direction, ratio, extent);
}

MovedFrame moveFrame(const SelBox& f, QPoint press, QPoint pointer, const SelBox& extent)
{
    int dx = pointer.x() - press.x();
    int dy = pointer.y() - press.y();
    // How far past an image edge the pointer asked for; the press point absorbs it.
    int cutX = 0, cutY = 0;
    if (f.left + dx < extent.left)
        cutX = extent.left - (f.left + dx);
    else if (f.right + dx > extent.right)
        cutX = extent.right - (f.right + dx);
    if (f.top + dy < extent.top)
        cutY = extent.top - (f.top + dy);
    else if (f.bottom + dy > extent.bottom)
        cutY = extent.bottom - (f.bottom + dy);
    dx += cutX;
    dy += cutY;
    return {SelBox{f.left + dx, f.top + dy, f.right + dx, f.bottom + dy}, QPoint(press.x() - cutX, press.y() - cutY)};
}

double effectiveRatio(RatioType type, double storedRatio, QSize image)
{
    switch (type) {
    case RatioType::Free: return 0;
    case RatioType::SameAsImage:
        return image.height() > 0 ? static_cast<double>(image.width()) / image.height() : 0;
    case RatioType::Fixed: return storedRatio;
    }
    return 0;
}

std::optional<double> ratioPreset(int commandId, SelOrientation orientation)
{
    for (const Preset& p : kPresets)
        if (p.id == commandId)
            return orientation == SelOrientation::Portrait ? p.portrait : p.landscape;
    return std::nullopt;
}

bool matchesPreset(double ratio, double preset)
{
    return std::abs(ratio - preset) < 0.00001;
}

QRect swapSelectionOrientation(const QRect& selection, QSize image, SelOrientation to)
{
    if (selection.isEmpty())
        return selection;
    int left = selection.x();
    const int top = selection.y();
    const int newWidth = selection.height();
    const int newHeight = selection.width();
    if (to == SelOrientation::Landscape && left + newWidth > image.width())
        left = std::max(0, image.width() - newWidth);
    const int right = std::min(left + newWidth, image.width());
    const int bottom = std::min(top + newHeight, image.height());
    return QRect(left, top, right - left, bottom - top);
}
