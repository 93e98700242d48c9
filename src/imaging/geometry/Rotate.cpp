#include "imaging/geometry/Rotate.h"

#include "imaging/geometry/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace Rotate {
namespace {

using Bitmap = std::unique_ptr<FIBITMAP, decltype(&FreeImage_Unload)>;

constexpr int kWeightBits = 10;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;
constexpr int kFractionBits = 32;

// Where output pixel (X, Y) samples the source: x = ax * X + bx(Y), y = ay * X + by(Y), in
// scanline coordinates (the library's rows run bottom-up, so do ours).
struct Mapping {
    double ax = 0, ay = 0;
    double o3 = 0, o2 = 0, c1 = 0, tanHalf = 0;
    unsigned width = 0, height = 0;

    void rowStart(unsigned Y, double& bx, double& by) const
    {
        // The library's three shears composed: the last one moves row Y by o3 + Y·tan(θ/2),
        // the vertical one column X by o2 − X·sin θ, the first row y by c1 + y·tan(θ/2).
        const double p = -o3 - Y * tanHalf;
        by = Y - o2 + ay * p;
        bx = p - tanHalf * by - c1;
    }
};

// The geometry of the library's rotation by a residual angle in (-45, 45] (or its equivalent
// near 360): output size and the offsets of its three shears, computed as it computes them so
// sizes agree to the pixel.
Mapping mappingFor(double angle, unsigned w, unsigned h)
{
    const double kPi = 3.1415926535897932384626433832795;
    const double rad = angle * kPi / 180.0;
    const double sinE = std::sin(rad), tanHalf = std::tan(rad / 2), cosE = std::cos(rad);
    Mapping m;
    const unsigned width1 = w + unsigned(double(h) * std::fabs(tanHalf) + 0.5);
    m.height = unsigned(double(w) * std::fabs(sinE) + double(h) * cosE + 0.5) + 1;
    m.width = unsigned(double(h) * std::fabs(sinE) + double(w) * cosE + 0.5) + 1;
    m.c1 = tanHalf >= 0 ? 0.5 * tanHalf : (0.5 - double(h)) * tanHalf;
    m.o2 = sinE > 0 ? (w - 1.0) * sinE : -sinE * (double(w) - double(width1));
    m.o3 = sinE >= 0 ? (w - 1.0) * sinE * -tanHalf : tanHalf * ((w - 1.0) * -sinE + (1.0 - double(m.height)));
    m.tanHalf = tanHalf;
    m.ax = 1 - tanHalf * sinE;
    m.ay = sinE;
    return m;
}

inline std::int64_t toFixed(double v) { return std::llround(std::ldexp(v, kFractionBits)); }

template <unsigned Channels>
void rotateRows(const BYTE* bits, unsigned pitch, unsigned w, unsigned h, const Mapping& m, FIBITMAP* out,
                unsigned begin, unsigned end)
{
    const auto pixel = [&](int x, int y, unsigned c) -> std::int32_t {
        // Outside the picture the library blends towards its black background.
        if (unsigned(x) >= w || unsigned(y) >= h)
            return 0;
        return bits[std::size_t(y) * pitch + std::size_t(x) * Channels + c];
    };
    const std::int64_t dx = toFixed(m.ax), dy = toFixed(m.ay);
    for (unsigned Y = begin; Y < end; ++Y) {
        double bx = 0, by = 0;
        m.rowStart(Y, bx, by);
        std::int64_t fx = toFixed(bx), fy = toFixed(by);
        BYTE* o = FreeImage_GetScanLine(out, int(Y));
        for (unsigned X = 0; X < m.width; ++X, fx += dx, fy += dy, o += Channels) {
            const int ix = int(fx >> kFractionBits), iy = int(fy >> kFractionBits);
            const std::int32_t wx = std::int32_t((fx >> (kFractionBits - kWeightBits)) & (kWeightOne - 1));
            const std::int32_t wy = std::int32_t((fy >> (kFractionBits - kWeightBits)) & (kWeightOne - 1));
            if (unsigned(ix) < w - 1 && unsigned(iy) < h - 1) {
                const BYTE* p0 = bits + std::size_t(iy) * pitch + std::size_t(ix) * Channels;
                const BYTE* p1 = p0 + pitch;
                for (unsigned c = 0; c < Channels; ++c) {
                    const std::int32_t top = p0[c] * (kWeightOne - wx) + p0[c + Channels] * wx;
                    const std::int32_t bottom = p1[c] * (kWeightOne - wx) + p1[c + Channels] * wx;
                    o[c] = BYTE((top * (kWeightOne - wy) + bottom * wy + (1 << (2 * kWeightBits - 1))) >>
                                (2 * kWeightBits));
                }
            } else if (ix < -1 || iy < -1 || ix >= int(w) || iy >= int(h)) {
                for (unsigned c = 0; c < Channels; ++c)
                    o[c] = 0;
            } else {
                for (unsigned c = 0; c < Channels; ++c) {
                    const std::int32_t top = pixel(ix, iy, c) * (kWeightOne - wx) + pixel(ix + 1, iy, c) * wx;
                    const std::int32_t bottom =
                        pixel(ix, iy + 1, c) * (kWeightOne - wx) + pixel(ix + 1, iy + 1, c) * wx;
                    o[c] = BYTE((top * (kWeightOne - wy) + bottom * wy + (1 << (2 * kWeightBits - 1))) >>
                                (2 * kWeightBits));
                }
            }
        }
    }
}

}  // namespace

bool rotate(const fipImage& src, fipImage& dst, double degrees)
{
    FIBITMAP* dib = const_cast<fipImage&>(src);
    const unsigned bpp = src.getBitsPerPixel();
    const bool grey8 = bpp == 8 && src.getColorType() == FIC_MINISBLACK;
    if (!dib || src.getImageType() != FIT_BITMAP || !(grey8 || bpp == 24 || bpp == 32) || !std::isfinite(degrees) ||
        std::fabs(degrees) > 1e6)
        return false;
    // The library's reduction of the angle, step by step, so a turn lands on the same side of
    // each 45-degree boundary. Its rows run bottom-up, hence the sign.
    double angle = -degrees;
    while (angle >= 360)
        angle -= 360;
    while (angle < 0)
        angle += 360;
    double quarter = 0;  // the library's own turn done first, as an angle for its rotation
    if (angle > 45 && angle <= 135) {
        quarter = -90;
        angle -= 90;
    } else if (angle > 135 && angle <= 225) {
        quarter = 180;
        angle -= 180;
    } else if (angle > 225 && angle <= 315) {
        quarter = 90;
        angle -= 270;
    }
    if (angle == 0)
        return false;

    Bitmap turned(nullptr, &FreeImage_Unload);
    if (quarter != 0) {
        turned.reset(FreeImage_Rotate(dib, quarter, nullptr));
        if (!turned)
            return false;
    }
    FIBITMAP* image = turned ? turned.get() : dib;
    const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
    const Mapping m = mappingFor(angle, w, h);
    Bitmap out(FreeImage_AllocateT(FIT_BITMAP, int(m.width), int(m.height), int(bpp)), &FreeImage_Unload);
    if (!out)
        return false;
    const BYTE* bits = FreeImage_GetBits(image);
    const unsigned pitch = FreeImage_GetPitch(image);
    geometry::parallelRows(m.height, [&](unsigned b, unsigned e) {
        if (bpp == 8)
            rotateRows<1>(bits, pitch, w, h, m, out.get(), b, e);
        else if (bpp == 24)
            rotateRows<3>(bits, pitch, w, h, m, out.get(), b, e);
        else
            rotateRows<4>(bits, pitch, w, h, m, out.get(), b, e);
    });
    if (grey8) {
        std::copy(FreeImage_GetPalette(dib), FreeImage_GetPalette(dib) + 256, FreeImage_GetPalette(out.get()));
        FreeImage_SetTransparencyTable(out.get(), FreeImage_GetTransparencyTable(dib),
                                       FreeImage_GetTransparencyCount(dib));
        RGBQUAD background;
        if (FreeImage_GetBackgroundColor(dib, &background))
            FreeImage_SetBackgroundColor(out.get(), &background);
    }
    FreeImage_CloneMetadata(out.get(), dib);
    FreeImage_SetDotsPerMeterX(out.get(), FreeImage_GetDotsPerMeterX(dib));
    FreeImage_SetDotsPerMeterY(out.get(), FreeImage_GetDotsPerMeterY(dib));
    dst = out.release();
    return true;
}

}  // namespace Rotate
