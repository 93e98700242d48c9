#include "ExportLogic.h"

#include "imaging/fipSuperImage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace ExportLogic {
namespace {

constexpr std::array<int, kSliderMax + 1> kSteps = {320, 480, 640, 800, 1024, 1200, 1600};

}  // namespace

int sizeForSliderPosition(int position)
{
    return kSteps[static_cast<std::size_t>(std::clamp(position, 0, kSliderMax))];
}

int sliderPositionForSize(int size)
{
    for (int i = 0; i < kSliderMax; ++i)
        if (size <= kSteps[static_cast<std::size_t>(i)])
            return i;
    return kSliderMax;
}

int numberFromDigits(const QString& digits)
{
    // Any number of digits may be typed; past the limit every value counts as beyond it.
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == u'0')
        ++first;
    const QString significant = digits.mid(first);
    return significant.size() > 5 ? kMaxSide + 1 : significant.toInt();
}

int maxSideFromText(const QString& digits)
{
    return std::clamp(numberFromDigits(digits.trimmed()), kMinSide, kMaxSide);
}

QSize exportSize(QSize size, int maxSide)
{
    if (maxSide <= 0 || size.width() <= 0 || size.height() <= 0)
        return size;
    const std::int64_t w = size.width(), h = size.height(), s = maxSide;
    // round(a * s / b) for positive values, halves away from zero.
    auto scaled = [s](std::int64_t a, std::int64_t b) {
        return static_cast<int>(std::max<std::int64_t>(1, (2 * a * s + b) / (2 * b)));
    };
    if (w < h)
        return QSize(scaled(w, h), maxSide);
    return QSize(maxSide, scaled(h, w));
}

std::vector<FormatEntry> outputFormats()
{
    std::vector<FormatEntry> entries;
    for (const FREE_IMAGE_FORMAT fif : fipSuperImage::getSupportsWritingFormats()) {
        const char* name = FreeImage_GetFormatFromFIF(fif);
        const char* description = FreeImage_GetFIFDescription(fif);
        entries.push_back({fif, QString::fromLatin1(name ? name : "") + QStringLiteral(" - ")
                                    + QString::fromLatin1(description ? description : "")});
    }
    return entries;
}

bool isExportEnabled(int selectedItems, int selectedImages, int images)
{
    return selectedItems > 0 ? selectedImages > 0 : images > 0;
}

QStringList sourcesToExport(const ExportSources& sources)
{
    return sources.hasSelection ? sources.selectedImages : sources.allImages;
}

}  // namespace ExportLogic
