#include "StatusBarModel.h"

#include <QSize>

#include <algorithm>
#include <cmath>

namespace StatusBarModel {

double zoomFromSlider(int position)
{
    position = std::clamp(position, 0, 100);
    if (position > 50)
        return (position - 50) * 0.3 + 1.0;
    return position * 0.0186 + 0.07;
}

int sliderFromZoom(double zoom)
{
    if (zoom >= 16.0)
        return 100;
    if (zoom < 0.07)
        return 0;
    const double position = zoom <= 1.0 ? (zoom - 0.07) * 53.76344086021506
                                        : (zoom - 1.0) * 3.3333333333333335 + 50.0;
    return static_cast<int>(std::lround(position));
}

int thumbnailSizeFromSlider(int position)
{
    position = std::clamp(position, 0, 100);
    return static_cast<int>(std::lround(position * 0.01 * 164 + 36));
}

int sliderFromThumbnailSize(int size)
{
    size = std::clamp(size, 36, 200);
    return static_cast<int>(std::lround((size - 36) * 0.6097560975609756));
}

Panes browserPanes(const BrowserFacts& f)
{
    Panes panes;
    if (f.selectedCount >= 1)
        panes.push_back(QStringLiteral("Selected %1%2%3)")
                            .arg(f.selectedCount)
                            .arg(f.selectedCount > 1 ? QStringLiteral(" objects (") : QStringLiteral(" object ("))
                            .arg(f.selectedSizeText));
    else
        panes.push_back(QStringLiteral("Total %1%2%3)")
                            .arg(f.itemCount)
                            .arg(f.itemCount > 1 ? QStringLiteral(" objects (") : QStringLiteral(" object ("))
                            .arg(f.totalSizeText));
    panes.push_back(f.hasFocusedItem ? f.focusedName : f.folderName);
    if (f.modified.isValid() && f.modified.toSecsSinceEpoch() != 0)
        panes.push_back(QStringLiteral("Modified Date: ")
                        + f.modified.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    else
        panes.push_back(std::nullopt);
    panes.push_back(f.hasFocusedItem ? std::optional<QString>(f.focusedSizeText) : std::nullopt);
    if (f.hasFocusedItem && f.width > 0 && f.height > 0)
        panes.push_back(QStringLiteral("%1x%2").arg(f.width).arg(f.height));
    else
        panes.push_back(std::nullopt);
    return panes;
}

Panes viewerPanes(const ViewerFacts& f)
{
    // A reduced image stands for the file: what the user reads is in the file's pixels.
    const bool reduced = f.width > 0 && f.height > 0 && !f.fullSize.isEmpty() && f.fullSize != QSize(f.width, f.height);
    const auto toFileX = [&](int x) {
        return reduced ? static_cast<int>(static_cast<qint64>(x) * f.fullSize.width() / f.width) : x;
    };
    const auto toFileY = [&](int y) {
        return reduced ? static_cast<int>(static_cast<qint64>(y) * f.fullSize.height() / f.height) : y;
    };
    Panes panes;
    panes.push_back(QStringLiteral("%1/%2").arg(f.ordinal).arg(f.imageCount));
    panes.push_back(f.fileName);
    panes.push_back(f.sizeText);
    panes.push_back(QStringLiteral("%1x%2x%3b").arg(toFileX(f.width)).arg(toFileY(f.height)).arg(f.bpp));
    QString cursor = QStringLiteral("X:%1, Y:%2").arg(toFileX(f.cursorX)).arg(toFileY(f.cursorY));
    if (f.selection)
        cursor += QStringLiteral(" - %1x%2").arg(toFileX(f.selection->width())).arg(toFileY(f.selection->height()));
    panes.push_back(cursor);
    panes.push_back(QStringLiteral("%1%").arg(static_cast<long long>(std::trunc(f.zoom * 100.0 + 0.5))));
    return panes;
}

std::vector<int> paneWidths(const std::vector<std::optional<int>>& textWidths, int available)
{
    std::vector<int> widths;
    int left = std::max(available, 0);
    for (const auto& w : textWidths) {
        const int width = w ? std::min(*w, left) : 0;
        widths.push_back(width);
        left -= width;
    }
    return widths;
}

}  // namespace StatusBarModel
