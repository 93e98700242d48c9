// Add noise: every colour sample gets its own random offset, uniform within ±level/2, like
// the colour grain of fast film. The randomness comes from the seedable source, one
// generator per scan line.

#include "imaging/effects/PixelAccess.h"
#include "imaging/effects/Random.h"
#include "imaging/fipSuperImage.h"

BOOL fipSuperImage::addNoise(int level) {
    using namespace kelvra::fx;
    if (!isBitmap(_dib) || (getBPP() != 24 && getBPP() != 32))
        return FALSE;
    level = std::clamp(level, 0, 255);
    const std::uint64_t seed = nextOperationSeed();
    const unsigned width = getWidth(), channels = getBPP() / 8;
    const int low = level / 2;
    FIBITMAP* dib = _dib;
    const bool done = parallelRanges(getHeight(), std::size_t(width) * 3, [&](unsigned y0, unsigned y1) {
        for (unsigned y = y0; y < y1; ++y) {
            LineRandom random(seed, y);
            BYTE* p = FreeImage_GetScanLine(dib, int(y));
            for (unsigned x = 0; x < width; ++x, p += channels) {
                // Three 16-bit draws from one 64-bit number, each scaled onto 0..level.
                const std::uint64_t r = random.next();
                for (unsigned c = 0; c < 3; ++c) {
                    const int offset = int((((r >> (16 * c)) & 0xFFFFu) * unsigned(level + 1)) >> 16) - low;
                    p[c] = clampByte(long(p[c] + offset));
                }
            }
        }
    });
    if (!done)
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}
