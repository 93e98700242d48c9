// Text art: the picture drawn with characters, denser characters for darker areas, as text
// shows dark on a light page. Each character stands for the mean luminance of a cell of the
// picture; cells are twice as tall as wide because characters are.

#include "imaging/effects/PixelAccess.h"
#include "imaging/fipSuperImage.h"

#include <memory>
#include <string_view>
#include <vector>

BOOL fipSuperImage::convertToAsciiText(char* buffer, std::size_t size) const {
    using namespace kelvra::fx;
    if (!buffer || size == 0)
        return FALSE;
    buffer[0] = '\0';
    if (!isBitmap(_dib))
        return FALSE;

    const unsigned width = getWidth(), height = getHeight();
    constexpr unsigned kWidestLine = 120;
    const auto rowsFor = [&](unsigned columns) {
        const double rows = std::round(double(columns) * height / width / 2.0);
        return unsigned(std::clamp(rows, 1.0, double(height)));
    };
    // As many columns as fit with the picture's proportions; a picture too tall even for one
    // column is squeezed to the rows that fit.
    unsigned columns = std::min(width, kWidestLine);
    while (columns > 1 && std::size_t(rowsFor(columns)) * (columns + 1) + 1 > size)
        --columns;
    const unsigned rows = unsigned(std::min<std::size_t>(rowsFor(columns), (size - 1) / (columns + 1)));
    if (rows == 0)
        return FALSE;

    // Luminance needs colours; other depths are read through a 24-bit copy.
    const unsigned bpp = getBPP();
    std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)> copy(nullptr, &FreeImage_Unload);
    FIBITMAP* source = _dib;
    if (bpp != 24 && bpp != 32) {
        copy.reset(FreeImage_ConvertTo24Bits(_dib));
        if (!copy)
            return FALSE;
        source = copy.get();
    }
    const unsigned step = FreeImage_GetBPP(source) / 8;

    static constexpr std::string_view kRamp = "@%#*+=-:. ";
    std::vector<std::uint64_t> sums(columns);
    std::vector<std::uint64_t> counts(columns);
    std::vector<unsigned> columnOf(width);
    for (unsigned x = 0; x < width; ++x)
        columnOf[x] = unsigned(std::uint64_t(x) * columns / width);
    char* out = buffer;
    for (unsigned r = 0; r < rows; ++r) {
        std::fill(sums.begin(), sums.end(), 0);
        std::fill(counts.begin(), counts.end(), 0);
        const unsigned top = unsigned(std::uint64_t(r) * height / rows);
        const unsigned bottom = unsigned(std::uint64_t(r + 1) * height / rows);
        for (unsigned v = top; v < bottom; ++v) {
            const BYTE* p = FreeImage_GetScanLine(source, int(height - 1 - v));
            for (unsigned x = 0; x < width; ++x, p += step) {
                sums[columnOf[x]] += luminance(p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]);
                ++counts[columnOf[x]];
            }
        }
        for (unsigned c = 0; c < columns; ++c) {
            const std::uint64_t mean = counts[c] ? sums[c] / counts[c] : 255;
            *out++ = kRamp[std::size_t(mean * kRamp.size() / 256)];
        }
        *out++ = '\n';
    }
    *out = '\0';
    return TRUE;
}
