#include "browser/ThumbSettings.h"

#include "app/ProfileFile.h"

#include <algorithm>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("Thumb");
}

ThumbSettings ThumbSettings::clamped() const
{
    ThumbSettings s = *this;
    s.sortType = std::clamp(sortType, 0, 4);
    s.sortDirection = std::clamp(sortDirection, 0, 1);
    s.thumbWidth = std::clamp(thumbWidth, kMinSize, kMaxSize);
    s.thumbHeight = std::clamp(thumbHeight, kMinSize, kMaxSize);
    return s;
}

ThumbSettings ThumbSettings::read(const ProfileFile& file)
{
    ThumbSettings s;
    s.sortType = file.getInt(kSection, QStringLiteral("SortType"), s.sortType);
    s.sortDirection = file.getInt(kSection, QStringLiteral("SortDirection"), s.sortDirection);
    s.thumbWidth = file.getInt(kSection, QStringLiteral("ThumbSizeWidth"), s.thumbWidth);
    s.thumbHeight = file.getInt(kSection, QStringLiteral("ThumbSizeHeight"), s.thumbHeight);
    return s.clamped();
}

void ThumbSettings::write(ProfileFile& file) const
{
    file.writeInt(kSection, QStringLiteral("SortType"), sortType);
    file.writeInt(kSection, QStringLiteral("SortDirection"), sortDirection);
    file.writeInt(kSection, QStringLiteral("ThumbSizeWidth"), thumbWidth);
    file.writeInt(kSection, QStringLiteral("ThumbSizeHeight"), thumbHeight);
}

int frameWidthFor(int size)
{
    if (size <= 30)
        return 1;
    if (size <= 80)
        return 2;
    if (size <= 120)
        return 3;
    return 4;
}

CellMetrics cellMetricsFor(int w)
{
    CellMetrics m;
    m.frameWidth = frameWidthFor(w);
    m.margin = w <= 30 ? 2 : w <= 80 ? 3 : w <= 120 ? 4 : 6;
    m.cellWidth = w + 2 * (m.frameWidth + m.margin) + 6;
    m.cellHeight = m.cellWidth + 30;
    return m;
}

int thumbSizeFromSlider(int position)
{
    const double size = std::round(position * 0.01 * 164 + 36);
    return std::clamp(static_cast<int>(size), ThumbSettings::kMinSize, ThumbSettings::kMaxSize);
}
