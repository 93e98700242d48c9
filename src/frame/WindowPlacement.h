#pragma once
// The 44-byte window placement record kept in Config.ini (MainFrame/Placement): length,
// flags, show command, minimised and maximised positions and the normal rectangle, each a
// 32-bit little-endian integer, as earlier versions wrote it.

#include <QList>
#include <QRect>

#include <cstdint>
#include <optional>

struct WindowPlacement {
    static constexpr uint32_t kLength = 44;
    enum ShowCommand : int32_t { ShowNormal = 1, ShowMinimized = 2, ShowMaximized = 3, Restore = 9 };

    uint32_t length = kLength;
    uint32_t flags = 0;
    int32_t showCmd = ShowNormal;
    int32_t minX = -1;
    int32_t minY = -1;
    int32_t maxX = -1;
    int32_t maxY = -1;
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    void setNormalRect(const QRect& rect)
    {
        left = rect.left();
        top = rect.top();
        right = rect.left() + rect.width();
        bottom = rect.top() + rect.height();
    }
    bool usable() const { return length == kLength && right > left && bottom > top; }
    // The normal rectangle fitted to the work area (`screens`' available geometries) it
    // overlaps most: made smaller where it is larger, moved to lie wholly on it. nullopt when
    // the record is unusable or meets no screen (a monitor was removed).
    std::optional<QRect> restoredRect(const QList<QRect>& screens) const;
};
static_assert(sizeof(WindowPlacement) == WindowPlacement::kLength);
