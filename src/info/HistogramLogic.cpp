#include "info/HistogramLogic.h"

#include "imaging/fipSuperImage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace histogram {

namespace {

constexpr FREE_IMAGE_COLOR_CHANNEL kPanelLibraryChannels[4] = {FICC_BLACK, FICC_RED, FICC_GREEN, FICC_BLUE};
constexpr FREE_IMAGE_COLOR_CHANNEL kDialogLibraryChannels[4] = {FICC_RED, FICC_GREEN, FICC_BLUE, FICC_BLACK};

uint64_t sum(const Counts& counts)
{
    return std::accumulate(counts.begin(), counts.end(), uint64_t{0});
}

void capAt(Counts& counts, uint64_t cap)
{
    for (uint32_t& c : counts)
        if (c > cap)
            c = static_cast<uint32_t>(cap);
}

bool fill(const fipSuperImage& image, FREE_IMAGE_COLOR_CHANNEL channel, Counts& counts)
{
    counts.fill(0);
    std::array<DWORD, 256> raw{};
    if (!image.getHistogram(raw.data(), channel))
        return false;
    std::copy(raw.begin(), raw.end(), counts.begin());
    return true;
}

// Red, green and blue of a 24- or 32-bit image in one pass over its pixels, with the counts
// getHistogram gives each; false for other images.
bool fillColours(const fipSuperImage& image, Counts* red, Counts* green, Counts* blue)
{
    const unsigned bpp = image.getBPP();
    if (image.getImageType() != FIT_BITMAP || (bpp != 24 && bpp != 32))
        return false;
    std::array<Counts, 3> counts{};
    const unsigned width = image.getWidth(), height = image.getHeight(), step = bpp / 8;
    for (unsigned y = 0; y < height; ++y) {
        const BYTE* p = image.getScanLine(y);
        for (unsigned x = 0; x < width; ++x, p += step) {
            ++counts[0][p[FI_RGBA_RED]];
            ++counts[1][p[FI_RGBA_GREEN]];
            ++counts[2][p[FI_RGBA_BLUE]];
        }
    }
    Counts* targets[3] = {red, green, blue};
    for (size_t c = 0; c < 3; ++c)
        if (targets[c])
            *targets[c] = counts[c];
    return true;
}

}  // namespace

void capAtFourTimesAverage(Counts& counts)
{
    capAt(counts, sum(counts) / 256 * 4);
}

PanelData panelData(const fipSuperImage& image)
{
    PanelData data;
    for (size_t c = 0; c < 4; ++c) {
        fill(image, kPanelLibraryChannels[c], data.counts[c]);
        capAtFourTimesAverage(data.counts[c]);
        data.maxima[c] = *std::max_element(data.counts[c].begin(), data.counts[c].end());
    }
    return data;
}

QColor panelPen(unsigned mask)
{
    switch (mask & 15u) {
    case 1: return QColor(0x80, 0x80, 0x80);
    case 2: return QColor(0xFF, 0x00, 0x00);
    case 4: return QColor(0x00, 0xFF, 0x00);
    case 8: return QColor(0x00, 0x00, 0xFF);
    case 3: return QColor(0xAA, 0x55, 0x55);
    case 5: return QColor(0x55, 0xAA, 0x55);
    case 9: return QColor(0x55, 0x55, 0xAA);
    case 6: return QColor(0x55, 0xAA, 0x00);
    case 10: return QColor(0x55, 0x00, 0xAA);
    case 12: return QColor(0x00, 0x55, 0xAA);
    case 7: return QColor(0x6E, 0x92, 0x49);
    case 11: return QColor(0x6E, 0x49, 0x92);
    case 13: return QColor(0x49, 0x6E, 0x92);
    case 14: return QColor(0x24, 0x4A, 0x92);
    default: return QColor(0x55, 0x66, 0x88);
    }
}

QImage paintPanel(QSize size, const PanelData& data, const std::array<bool, 4>& shown)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    const int w = size.width(), h = size.height();
    QPainter painter(&image);
    painter.setPen(QColor::fromRgba(kPanelFrame));
    // A 1-pixel frame of width W − 18 covers the columns 9 .. W − 9.
    painter.drawRect(9, 9, w - 18, h - 18);
    const int plotWidth = w - 20;
    const double plotHeight = h - 20;
    const double base = h - 10;
    if (std::accumulate(data.maxima.begin(), data.maxima.end(), uint64_t{0}) == 0 || plotWidth <= 0)
        return image;
    uint32_t range = 0;
    for (size_t c = 0; c < 4; ++c)
        if (shown[c])
            range = std::max(range, data.maxima[c]);
    if (range == 0)
        return image;
    for (int i = 0; i <= plotWidth; ++i) {
        const int bin = i * 255 / plotWidth;
        const double f = i * 255.0 / plotWidth;
        std::array<std::pair<double, int>, 4> heights{};
        for (int c = 0; c < 4; ++c) {
            double height = 0;
            if (shown[static_cast<size_t>(c)]) {
                const Counts& counts = data.counts[static_cast<size_t>(c)];
                const double here = counts[static_cast<size_t>(bin)];
                const double next = bin < 255 ? counts[static_cast<size_t>(bin) + 1] : here;
                height = plotHeight / range * (here + (f - bin) * (next - here));
            }
            heights[static_cast<size_t>(c)] = {height, c};
        }
        // Tallest first; equal heights keep the channel order, and each line covers the
        // previous ones from the base up, so the order of equal lines never shows.
        std::stable_sort(heights.begin(), heights.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        const double x = i + 10;
        unsigned mask = 0;
        for (const auto& [height, channel] : heights) {
            mask |= 1u << channel;
            if (height <= 0)
                continue;
            painter.setPen(panelPen(mask));
            painter.drawLine(QLineF(x, base, x, base - height));
        }
    }
    return image;
}

bool DialogData::computeShown(const fipSuperImage* image, const std::array<bool, 4>& shown)
{
    if (!image || !image->isValid())
        return false;
    bool changed = false;
    // Two or three colours wanted at once come from one pass over a large image.
    const auto wanted = [&](size_t c) { return shown[c] && !m_computed[c]; };
    if (int(wanted(DlgRed)) + int(wanted(DlgGreen)) + int(wanted(DlgBlue)) >= 2
        && fillColours(*image, wanted(DlgRed) ? &m_counts[DlgRed] : nullptr,
                       wanted(DlgGreen) ? &m_counts[DlgGreen] : nullptr, wanted(DlgBlue) ? &m_counts[DlgBlue] : nullptr)) {
        for (size_t c : {size_t(DlgRed), size_t(DlgGreen), size_t(DlgBlue)})
            if (wanted(c))
                m_computed[c] = changed = true;
    }
    for (size_t c = 0; c < 4; ++c) {
        if (shown[c] && !m_computed[c]) {
            fill(*image, kDialogLibraryChannels[c], m_counts[c]);
            m_computed[c] = true;
            changed = true;
        }
    }
    if (!changed)
        return false;
    uint64_t total = 0, n = 0;
    for (size_t c = 0; c < 4; ++c) {
        if (m_computed[c]) {
            total += sum(m_counts[c]);
            n += 256;
        }
    }
    const uint64_t cap = total / n * 4;
    m_maximum = 0;
    for (Counts& counts : m_counts) {
        capAt(counts, cap);
        m_maximum = std::max(m_maximum, *std::max_element(counts.begin(), counts.end()));
    }
    return true;
}

void DialogData::reset()
{
    for (Counts& counts : m_counts)
        counts.fill(0);
    m_computed.fill(false);
    m_maximum = 0;
}

QColor dialogColor(int channel)
{
    switch (channel) {
    case DlgRed: return QColor(234, 26, 26);
    case DlgGreen: return QColor(25, 201, 25);
    case DlgBlue: return QColor(29, 53, 234);
    default: return QColor(93, 93, 93);
    }
}

QImage DialogData::paint(QSize size, const std::array<bool, 4>& shown) const
{
    const int w = std::max(1, size.width()), h = std::max(1, size.height());
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (m_maximum == 0)
        return image;
    // Each channel's bar covers the column's lowest h pixels; where bars overlap, the later
    // channel is blended half over what the earlier ones left, in the order red, green, blue,
    // grey. Working per column gives the same pixels as merging whole pictures.
    std::array<int, 4> heights{};
    for (int x = 0; x < w; ++x) {
        const int bin = w > 1 ? static_cast<int>(std::lround(double(x) / (w - 1) * 255)) : 0;
        for (size_t c = 0; c < 4; ++c) {
            heights[c] = 0;
            if (shown[c] && m_computed[c])
                heights[c] = static_cast<int>(std::lround(double(m_counts[c][static_cast<size_t>(bin)]) * h / m_maximum));
        }
        for (int y = std::max(0, h - *std::max_element(heights.begin(), heights.end())); y < h; ++y) {
            bool any = false;
            int r = 255, g = 255, b = 255;
            for (size_t c = 0; c < 4; ++c) {
                if (y < h - heights[c])
                    continue;
                const QColor colour = dialogColor(static_cast<int>(c));
                if (!any) {
                    r = colour.red(), g = colour.green(), b = colour.blue();
                    any = true;
                    continue;
                }
                r = ((colour.red() - r) * 128 + r * 256) / 256;
                g = ((colour.green() - g) * 128 + g * 256) / 256;
                b = ((colour.blue() - b) * 128 + b * 256) / 256;
            }
            if (any)
                reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qRgb(r, g, b);
        }
    }
    return image;
}

}  // namespace histogram
