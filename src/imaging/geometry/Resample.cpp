#include "imaging/geometry/Resample.h"

#include "imaging/ImageLibrary.h"
#include "imaging/geometry/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace Resample {
namespace {

constexpr int kShift = 14;
constexpr int kOne = 1 << kShift;

struct Kernel {
    double width;
    double (*f)(double);
};

double box(double x) { return std::fabs(x) <= 0.5 ? 1.0 : 0.0; }
double triangle(double x) { x = std::fabs(x); return x < 1 ? 1 - x : 0; }
double bspline(double x)
{
    x = std::fabs(x);
    if (x < 1)
        return 0.5 * x * x * x - x * x + 2.0 / 3.0;
    if (x < 2) {
        const double t = 2 - x;
        return t * t * t / 6.0;
    }
    return 0;
}
double mitchell(double x)
{
    constexpr double B = 1.0 / 3.0, C = 1.0 / 3.0;
    constexpr double p0 = (6 - 2 * B) / 6, p2 = (-18 + 12 * B + 6 * C) / 6, p3 = (12 - 9 * B - 6 * C) / 6;
    constexpr double q0 = (8 * B + 24 * C) / 6, q1 = (-12 * B - 48 * C) / 6, q2 = (6 * B + 30 * C) / 6,
                     q3 = (-B - 6 * C) / 6;
    x = std::fabs(x);
    if (x < 1)
        return p0 + x * x * (p2 + x * p3);
    if (x < 2)
        return q0 + x * (q1 + x * (q2 + x * q3));
    return 0;
}
double catmullRom(double x)
{
    x = std::fabs(x);
    if (x < 1)
        return 0.5 * (2 + x * x * (-5 + x * 3));
    if (x < 2)
        return 0.5 * (4 + x * (-8 + x * (5 - x)));
    return 0;
}
double sinc(double x)
{
    x *= M_PI;
    return x != 0 ? std::sin(x) / x : 1.0;
}
double lanczos3(double x) { return std::fabs(x) < 3 ? sinc(x) * sinc(x / 3) : 0; }

Kernel kernelFor(FREE_IMAGE_FILTER filter)
{
    switch (filter) {
    case FILTER_BOX: return {0.5, box};
    case FILTER_BILINEAR: return {1, triangle};
    case FILTER_BSPLINE: return {2, bspline};
    case FILTER_BICUBIC: return {2, mitchell};
    case FILTER_CATMULLROM: return {2, catmullRom};
    case FILTER_LANCZOS3: return {3, lanczos3};
    }
    return {1, triangle};
}

// For each destination index: the first source index and its fixed-point weights.
struct Weights {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::int32_t> w;  // `taps` per destination index
    int taps = 0;
};

Weights weights(unsigned srcSize, unsigned dstSize, Kernel k)
{
    const double scale = double(dstSize) / srcSize;
    const double width = scale < 1 ? k.width / scale : k.width;
    const double fscale = scale < 1 ? scale : 1.0;
    Weights t;
    t.taps = 2 * int(std::ceil(width)) + 2;
    t.first.resize(dstSize);
    t.count.resize(dstSize);
    t.w.assign(std::size_t(dstSize) * t.taps, 0);
    std::vector<double> d(std::size_t(t.taps));
    for (unsigned u = 0; u < dstSize; ++u) {
        const double center = (u + 0.5) / scale;
        const int left = std::max(0, int(center - width + 0.5));
        const int right = std::min(int(center + width + 0.5), int(srcSize));
        int n = std::min(right - left, t.taps);
        double total = 0;
        for (int i = 0; i < n; ++i) {
            d[std::size_t(i)] = fscale * k.f(fscale * (left + i + 0.5 - center));
            total += d[std::size_t(i)];
        }
        // Trailing zero weights cost time and nothing else.
        while (n > 1 && d[std::size_t(n - 1)] == 0)
            --n;
        int lead = 0;
        while (lead < n - 1 && d[std::size_t(lead)] == 0)
            ++lead;
        t.first[u] = left + lead;
        t.count[u] = n - lead;
        std::int32_t sum = 0;
        for (int i = lead; i < n; ++i) {
            const auto v = std::int32_t(std::lround(total != 0 ? d[std::size_t(i)] / total * kOne : 0));
            t.w[std::size_t(u) * t.taps + (i - lead)] = v;
            sum += v;
        }
        // The rounding remainder goes to the largest weight, so flat areas stay flat.
        if (n > lead) {
            auto* row = &t.w[std::size_t(u) * t.taps];
            *std::max_element(row, row + (n - lead)) += kOne - sum;
        }
    }
    return t;
}

inline std::uint8_t clampByte(std::int32_t acc)
{
    acc = (acc + kOne / 2) >> kShift;
    return std::uint8_t(std::clamp(acc, 0, 255));
}

// One row of the horizontal pass; the channel count is a constant so the taps' loop unrolls.
template <unsigned Channels>
void horizontalRow(const BYTE* s, BYTE* m, unsigned width, const Weights& wx)
{
    for (unsigned x = 0; x < width; ++x) {
        std::int32_t acc[Channels] = {};
        const std::int32_t* w = &wx.w[std::size_t(x) * wx.taps];
        const BYTE* p = s + std::size_t(wx.first[x]) * Channels;
        const int n = wx.count[x];
        for (int i = 0; i < n; ++i, p += Channels)
            for (unsigned c = 0; c < Channels; ++c)
                acc[c] += w[i] * p[c];
        for (unsigned c = 0; c < Channels; ++c)
            m[std::size_t(x) * Channels + c] = clampByte(acc[c]);
    }
}

// Adds each block's row of `factor` pixels of one source row into its output pixel's sums.
template <unsigned Channels>
void blockRow(const BYTE* s, std::uint32_t* acc, unsigned width, unsigned factor)
{
    for (unsigned x = 0; x < width; ++x, acc += Channels)
        for (unsigned i = 0; i < factor; ++i, s += Channels)
            for (unsigned c = 0; c < Channels; ++c)
                acc[c] += s[c];
}

}  // namespace

bool rescale(const fipImage& src, fipImage& dst, unsigned width, unsigned height, FREE_IMAGE_FILTER filter,
             bool useCores)
{
    const unsigned bpp = src.getBitsPerPixel();
    const bool grey8 = bpp == 8 && src.getColorType() == FIC_MINISBLACK;
    if (src.getImageType() != FIT_BITMAP || !(grey8 || bpp == 24 || bpp == 32) || width == 0 || height == 0)
        return false;
    const unsigned channels = bpp / 8;
    const unsigned sw = src.getWidth(), sh = src.getHeight();
    if (width > sw || height > sh)
        return false;
    const Kernel k = kernelFor(filter);
    const Weights wx = weights(sw, width, k);
    const Weights wy = weights(sh, height, k);

    // Horizontal pass into a byte image of the new width and the old height, then vertical.
    fipImage mid(FIT_BITMAP, width, sh, bpp);
    std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)> out(FreeImage_Allocate(int(width), int(height), int(bpp)),
                                                               &FreeImage_Unload);
    if (!mid.isValid() || !out)
        return false;
    geometry::parallelRows(sh, [&](unsigned b, unsigned e) {
        for (unsigned y = b; y < e; ++y) {
            const BYTE* s = src.getScanLine(y);
            BYTE* m = mid.getScanLine(y);
            // A side that keeps its size is not filtered: smoothing kernels would blur it.
            if (width == sw)
                std::copy(s, s + std::size_t(sw) * channels, m);
            else if (channels == 1)
                horizontalRow<1>(s, m, width, wx);
            else if (channels == 3)
                horizontalRow<3>(s, m, width, wx);
            else
                horizontalRow<4>(s, m, width, wx);
        }
    }, useCores);
    const std::size_t rowBytes = std::size_t(width) * channels;
    geometry::parallelRows(height, [&](unsigned b, unsigned e) {
        std::vector<std::int32_t> acc(rowBytes);
        for (unsigned y = b; y < e; ++y) {
            BYTE* o = FreeImage_GetScanLine(out.get(), int(y));
            if (height == sh) {
                std::copy(mid.getScanLine(y), mid.getScanLine(y) + rowBytes, o);
                continue;
            }
            std::fill(acc.begin(), acc.end(), 0);
            const std::int32_t* w = &wy.w[std::size_t(y) * wy.taps];
            for (int i = 0; i < wy.count[y]; ++i) {
                const BYTE* m = mid.getScanLine(unsigned(wy.first[y] + i));
                const std::int32_t wi = w[i];
                for (std::size_t x = 0; x < rowBytes; ++x)
                    acc[x] += wi * m[x];
            }
            for (std::size_t x = 0; x < rowBytes; ++x)
                o[x] = clampByte(acc[x]);
        }
    }, useCores);
    if (grey8)
        ImageLibrary::setGreyRamp(out.get());
    FreeImage_CloneMetadata(out.get(), const_cast<fipImage&>(src));
    FreeImage_SetDotsPerMeterX(out.get(), FreeImage_GetDotsPerMeterX(const_cast<fipImage&>(src)));
    FreeImage_SetDotsPerMeterY(out.get(), FreeImage_GetDotsPerMeterY(const_cast<fipImage&>(src)));
    dst = out.release();
    return true;
}

bool startBlocks(const fipImage& src, fipImage& blocks, unsigned factor)
{
    const unsigned bpp = src.getBitsPerPixel();
    const bool grey8 = bpp == 8 && src.getColorType() == FIC_MINISBLACK;
    if (src.getImageType() != FIT_BITMAP || !(grey8 || bpp == 24 || bpp == 32) || factor < 2)
        return false;
    const unsigned width = src.getWidth() / factor, height = src.getHeight() / factor;
    if (width == 0 || height == 0)
        return false;
    std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)> out(FreeImage_Allocate(int(width), int(height), int(bpp)),
                                                               &FreeImage_Unload);
    if (!out)
        return false;
    if (grey8)
        ImageLibrary::setGreyRamp(out.get());
    blocks = out.release();
    return true;
}

void shrinkBlockRows(const fipImage& src, fipImage& blocks, unsigned factor, unsigned first, unsigned end)
{
    const unsigned channels = src.getBitsPerPixel() / 8;
    const unsigned width = blocks.getWidth();
    end = std::min(end, blocks.getHeight());
    const std::size_t rowBytes = std::size_t(width) * channels;
    const std::uint32_t area = factor * factor;
    std::vector<std::uint32_t> acc(rowBytes);
    for (unsigned y = first; y < end; ++y) {
        std::fill(acc.begin(), acc.end(), 0u);
        for (unsigned dy = 0; dy < factor; ++dy) {
            const BYTE* s = src.getScanLine(y * factor + dy);
            if (channels == 1)
                blockRow<1>(s, acc.data(), width, factor);
            else if (channels == 3)
                blockRow<3>(s, acc.data(), width, factor);
            else
                blockRow<4>(s, acc.data(), width, factor);
        }
        BYTE* o = blocks.getScanLine(y);
        for (std::size_t i = 0; i < rowBytes; ++i)
            o[i] = BYTE((acc[i] + area / 2) / area);
    }
}

bool shrinkByBlocks(const fipImage& src, fipImage& dst, unsigned factor, bool useCores)
{
    fipImage blocks;
    if (!startBlocks(src, blocks, factor))
        return false;
    geometry::parallelRows(blocks.getHeight(),
                           [&](unsigned b, unsigned e) { shrinkBlockRows(src, blocks, factor, b, e); }, useCores);
    dst = std::move(blocks);
    return true;
}

}  // namespace Resample
