// Relief and edge effects on 8-bit samples (palette and 16-bit images through a working copy).

#include "imaging/effects/Neighbourhood.h"
#include "imaging/fipSuperImage.h"

#include <cstdlib>
#include <vector>

namespace kelvra::fx {
namespace {

// Emboss: a grey relief, as if the picture were pressed into paper lit from the top left:
// flat areas become middle grey, edges facing the light turn lighter and the others darker.
// The relief is taken from the luminance, so colours do not fringe; weight steepens it.
bool emboss(const ImageView& view, int weight) {
    const unsigned width = view.width, channels = view.layout.channels;
    const unsigned colour = view.layout.colourChannels;
    return forEachNeighbourhood<BYTE>(view, 1, 1, std::size_t(width) * channels * 12, [&] {
        // Luminance of the three lines, one pixel beyond each end.
        return [&, lum = std::vector<int>(3 * (std::size_t(width) + 2))](const BYTE* const* lines, BYTE* out,
                                                                         unsigned) mutable {
            for (unsigned j = 0; j < 3; ++j)
                for (long x = -1; x <= long(width); ++x) {
                    const BYTE* p = lines[j] + x * long(channels);
                    lum[j * (width + 2) + std::size_t(x + 1)] =
                        colour >= 3 ? luminance(p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]) : p[0];
                }
            // Scan lines run bottom-up: lines[2] is the row above.
            const int* above = lum.data() + 2 * (width + 2) + 1;
            const int* here = lum.data() + (width + 2) + 1;
            const int* below = lum.data() + 1;
            for (long x = 0; x < long(width); ++x) {
                const int relief = (below[x] + below[x + 1] + here[x + 1]) - (above[x - 1] + above[x] + here[x - 1]);
                const BYTE v = clampByte(128 + weight * relief / 6.0);
                for (unsigned c = 0; c < colour; ++c)
                    out[std::size_t(x) * channels + c] = v;
            }
        };
    });
}

// Edge detection: the strength of the change around each pixel (Sobel gradient, per colour
// channel) drawn bright on black; `shift` halves the strength per step, giving the light,
// medium and heavy variants.
bool edges(const ImageView& view, int shift) {
    const unsigned width = view.width, channels = view.layout.channels;
    const unsigned colour = view.layout.colourChannels;
    const std::size_t samples = std::size_t(width) * channels;
    const std::ptrdiff_t step = channels;
    return forEachNeighbourhood<BYTE>(view, 1, 1, samples * 12, [&] {
        return [&](const BYTE* const* lines, BYTE* out, unsigned) {
            const BYTE* a = lines[2];  // row above (scan lines run bottom-up)
            const BYTE* m = lines[1];
            const BYTE* b = lines[0];  // row below
            // Every sample, alpha included, so that the loop vectorises; alpha is put back after.
            for (std::size_t i = 0; i < samples; ++i) {
                const std::ptrdiff_t j = std::ptrdiff_t(i);
                const int gx = (a[j + step] + 2 * m[j + step] + b[j + step]) - (a[j - step] + 2 * m[j - step] + b[j - step]);
                const int gy = (b[j - step] + 2 * b[j] + b[j + step]) - (a[j - step] + 2 * a[j] + a[j + step]);
                const int v = ((gx < 0 ? -gx : gx) + (gy < 0 ? -gy : gy)) >> shift;
                out[i] = BYTE(v > 255 ? 255 : v);
            }
            for (std::size_t p = 0; channels > colour && p < samples; p += channels)
                for (unsigned c = colour; c < channels; ++c)
                    out[p + c] = m[p + c];
        };
    });
}

}  // namespace
}  // namespace kelvra::fx

namespace {

BOOL runEdges(FIBITMAP* dib, int shift, BOOL& changed) {
    const bool done = kelvra::fx::runOnWorkingImage(dib, [shift](const kelvra::fx::ImageView& view) {
        if (view.layout.kind != kelvra::fx::SampleKind::U8)
            return false;
        return kelvra::fx::edges(view, shift);
    });
    if (done)
        changed = TRUE;
    return done ? TRUE : FALSE;
}

}  // namespace

BOOL fipSuperImage::emboss(int weight) {
    weight = std::clamp(weight, 1, 15);
    const bool done = kelvra::fx::runOnWorkingImage(_dib, [weight](const kelvra::fx::ImageView& view) {
        if (view.layout.kind != kelvra::fx::SampleKind::U8)
            return false;
        return kelvra::fx::emboss(view, weight);
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

BOOL fipSuperImage::edgeDetectLight() { return runEdges(_dib, 3, _bHasChanged); }
BOOL fipSuperImage::edgeDetectMedium() { return runEdges(_dib, 2, _bHasChanged); }
BOOL fipSuperImage::edgeDetectHeavy() { return runEdges(_dib, 1, _bHasChanged); }
