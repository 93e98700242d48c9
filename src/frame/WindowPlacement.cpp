#include "frame/WindowPlacement.h"

#include <algorithm>

std::optional<QRect> WindowPlacement::restoredRect(const QList<QRect>& screens) const
{
    if (!usable())
        return std::nullopt;
    // The stored numbers may be anything that passed the checksum: work in 64 bits.
    const long long l = left, t = top, w = static_cast<long long>(right) - left,
                    h = static_cast<long long>(bottom) - top;
    const QRect* best = nullptr;
    long long bestArea = 0;
    for (const QRect& s : screens) {
        const long long ix = std::min<long long>(l + w, s.x() + s.width()) - std::max<long long>(l, s.x());
        const long long iy = std::min<long long>(t + h, s.y() + s.height()) - std::max<long long>(t, s.y());
        if (ix > 0 && iy > 0 && ix * iy > bestArea) {
            bestArea = ix * iy;
            best = &s;
        }
    }
    if (!best)
        return std::nullopt;
    // No larger than the screen's work area, and wholly on it.
    const long long cw = std::min<long long>(w, best->width());
    const long long ch = std::min<long long>(h, best->height());
    const long long x = std::clamp<long long>(l, best->x(), best->x() + best->width() - cw);
    const long long y = std::clamp<long long>(t, best->y(), best->y() + best->height() - ch);
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(cw), static_cast<int>(ch));
}
