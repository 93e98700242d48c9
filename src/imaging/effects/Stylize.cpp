// Stylising effects on 8-bit samples (palette and 16-bit images through a working copy):
// erode, wind, stripe and spread. Alpha is kept pixel by pixel.

#include "imaging/effects/Neighbourhood.h"
#include "imaging/effects/Random.h"
#include "imaging/fipSuperImage.h"

#include <deque>
#include <numbers>
#include <vector>

namespace kelvra::fx {
namespace {

bool isEightBit(const ImageView& view) { return view.layout.kind == SampleKind::U8; }

// Erode: each colour sample becomes the darkest value of its channel in the square around
// it, so dark details grow and bright specks vanish; nothing gets brighter.
void erode(const ImageView& view, unsigned radius) {
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const std::size_t samples = std::size_t(view.width) * channels;
    // Beyond the image's own size the window only repeats edge pixels, which cannot lower
    // the minimum further.
    const unsigned rx = std::min(radius, view.width), ry = std::min(radius, view.height);
    const std::ptrdiff_t pad = std::ptrdiff_t(rx) * channels;
    const unsigned window = 2 * ry + 1;
    forEachNeighbourhood<BYTE>(view, rx, ry, samples * (window + 2 * rx + 1),
                               [&](const BYTE* const* lines, BYTE* out, unsigned) {
        std::vector<BYTE> columnMin(samples + 2 * std::size_t(pad));
        for (std::ptrdiff_t i = -pad; i < std::ptrdiff_t(samples) + pad; ++i) {
            BYTE m = lines[0][i];
            for (unsigned j = 1; j < window; ++j)
                m = std::min(m, lines[j][i]);
            columnMin[std::size_t(i + pad)] = m;
        }
        const BYTE* centre = columnMin.data() + pad;
        for (std::size_t i = 0; i < samples; ++i) {
            if (i % channels >= colour)
                continue;
            BYTE m = centre[i];
            for (std::ptrdiff_t d = -pad; d <= pad; d += channels)
                m = std::min(m, centre[std::ptrdiff_t(i) + d]);
            out[i] = m;
        }
    });
}

// Wind: bright samples are carried downwind along each row. Smooth streaks fade
// exponentially over about `level` pixels; hard streaks keep the brightest value of the
// `level` pixels upwind and stop sharply. Samples only ever get brighter, and only downwind
// of what is bright.
void wind(const ImageView& view, unsigned level, bool towardsRight, bool smooth) {
    const unsigned width = view.width, channels = view.layout.channels, colour = view.layout.colourChannels;
    parallelRanges(view.height, std::size_t(width) * channels * 4, [&](unsigned y0, unsigned y1) {
        std::vector<BYTE> original(std::size_t(width) * channels);
        std::deque<unsigned> candidates;
        for (unsigned y = y0; y < y1; ++y) {
            BYTE* line = view.row<BYTE>(y);
            std::copy(line, line + original.size(), original.begin());
            for (unsigned c = 0; c < colour; ++c) {
                const auto at = [&](unsigned k) {  // k-th pixel met by the wind
                    return std::size_t(towardsRight ? k : width - 1 - k) * channels + c;
                };
                if (smooth) {
                    int carry = 0;
                    for (unsigned k = 0; k < width; ++k) {
                        const int v = original[at(k)];
                        carry = carry > v ? int(v + (long long)(carry - v) * (level - 1) / level) : v;
                        line[at(k)] = BYTE(carry);
                    }
                    continue;
                }
                candidates.clear();  // pixels upwind, values decreasing: a sliding maximum
                for (unsigned k = 0; k < width; ++k) {
                    while (!candidates.empty() && original[at(candidates.back())] <= original[at(k)])
                        candidates.pop_back();
                    candidates.push_back(k);
                    if (candidates.front() + level <= k)
                        candidates.pop_front();
                    line[at(k)] = original[at(candidates.front())];
                }
            }
        }
    });
}

// Stripe: horizontal bands, alternately lighter and darker, like light through blinds:
// brightness is scaled by 1 ± swing % along a sine wave with `frequency` periods over the
// picture's height, counted from the top.
void stripe(const ImageView& view, int swing, int frequency) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    parallelRanges(height, std::size_t(width) * channels, [&](unsigned y0, unsigned y1) {
        std::array<BYTE, 256> table{};
        for (unsigned y = y0; y < y1; ++y) {
            const double fromTop = (height - 1 - y) + 0.5;
            const double factor =
                1 + swing / 100.0 * std::sin(2 * std::numbers::pi * frequency * fromTop / height);
            for (unsigned v = 0; v < 256; ++v)
                table[v] = clampByte(v * factor);
            BYTE* line = view.row<BYTE>(y);
            for (std::size_t i = 0; i < std::size_t(width) * channels; ++i)
                if (i % channels < colour)
                    line[i] = table[line[i]];
        }
    });
}

// Spread: each pixel takes the colour of a random pixel at most `amount` pixels away in
// either direction, like frosted glass.
void spread(const ImageView& view, unsigned amount, std::uint64_t seed) {
    const unsigned width = view.width, channels = view.layout.channels, colour = view.layout.colourChannels;
    // Offsets past the image's size land on the edge pixels anyway; the neighbourhood (and its
    // memory) need not be larger than the image.
    const unsigned rx = std::min(amount, width), ry = std::min(amount, view.height);
    const std::uint64_t span = 2 * std::uint64_t(amount) + 1;
    forEachNeighbourhood<BYTE>(view, rx, ry, std::size_t(width) * channels * 4,
                               [&](const BYTE* const* lines, BYTE* out, unsigned y) {
        LineRandom random(seed, y);
        for (unsigned x = 0; x < width; ++x) {
            const std::uint64_t r = random.next();
            const long dy = std::clamp(long(((r & 0xFFFFFFFFu) * span) >> 32) - long(amount), -long(ry), long(ry));
            const long dx = std::clamp(long(((r >> 32) * span) >> 32) - long(amount), -long(rx), long(rx));
            const BYTE* from = lines[dy + long(ry)] + (long(x) + dx) * long(channels);
            for (unsigned c = 0; c < colour; ++c)
                out[std::size_t(x) * channels + c] = from[c];
        }
    });
}

}  // namespace
}  // namespace kelvra::fx

using kelvra::fx::ImageView;

BOOL fipSuperImage::erode(int level) {
    if (level < 1)
        return FALSE;
    const bool done = kelvra::fx::runOnWorkingImage(_dib, [level](const ImageView& view) {
        if (!kelvra::fx::isEightBit(view))
            return false;
        kelvra::fx::erode(view, unsigned(level / 2));
        return true;
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

BOOL fipSuperImage::wind(int level, int direction, BOOL smooth) {
    if (level < 1 || (direction != 0 && direction != 1))
        return FALSE;
    const bool done = kelvra::fx::runOnWorkingImage(_dib, [&](const ImageView& view) {
        if (!kelvra::fx::isEightBit(view))
            return false;
        kelvra::fx::wind(view, unsigned(level), direction == 1, smooth != FALSE);
        return true;
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

BOOL fipSuperImage::stripe(int swing, int frequency) {
    swing = std::clamp(swing, 0, 100);
    frequency = std::clamp(frequency, 0, 100);
    const bool done = kelvra::fx::runOnWorkingImage(_dib, [&](const ImageView& view) {
        if (!kelvra::fx::isEightBit(view))
            return false;
        kelvra::fx::stripe(view, swing, frequency);
        return true;
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}

BOOL fipSuperImage::spread(int amount) {
    if (amount < 0)
        return FALSE;
    const std::uint64_t seed = kelvra::fx::nextOperationSeed();
    const bool done = kelvra::fx::runOnWorkingImage(_dib, [&](const ImageView& view) {
        if (!kelvra::fx::isEightBit(view))
            return false;
        kelvra::fx::spread(view, unsigned(amount), seed);
        return true;
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}
