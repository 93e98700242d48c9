// Stylising effects on 8-bit samples (palette and 16-bit images through a working copy):
// erode, wind, stripe and spread. Alpha is kept pixel by pixel.

#include "imaging/effects/Neighbourhood.h"
#include "imaging/effects/Random.h"
#include "imaging/fipSuperImage.h"

#include <numbers>
#include <vector>

namespace kelvra::fx {
namespace {

bool isEightBit(const ImageView& view) { return view.layout.kind == SampleKind::U8; }

// Erode: each colour sample becomes the darkest value of its channel in the square around
// it, so dark details grow and bright specks vanish; nothing gets brighter.
bool erode(const ImageView& view, unsigned radius) {
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const std::size_t samples = std::size_t(view.width) * channels;
    // Beyond the image's own size the window only repeats edge pixels, which cannot lower
    // the minimum further.
    const unsigned rx = std::min(radius, view.width), ry = std::min(radius, view.height);
    const std::ptrdiff_t pad = std::ptrdiff_t(rx) * channels;
    const unsigned window = 2 * ry + 1;
    const std::size_t padded = samples + 2 * std::size_t(pad);
    return forEachNeighbourhood<BYTE>(view, rx, ry, samples * (window + 2 * rx + 1), [&] {
        return [&, columnMin = std::vector<BYTE>(padded)](const BYTE* const* lines, BYTE* out, unsigned) mutable {
            std::copy(lines[0] - pad, lines[0] - pad + padded, columnMin.begin());
            for (unsigned j = 1; j < window; ++j) {
                const BYTE* line = lines[j] - pad;
                for (std::size_t i = 0; i < padded; ++i)
                    columnMin[i] = std::min(columnMin[i], line[i]);
            }
            const BYTE* centre = columnMin.data() + pad;
            std::copy(centre, centre + samples, out);
            for (std::ptrdiff_t d = channels; d <= pad; d += channels)
                for (std::size_t i = 0; i < samples; ++i)
                    out[i] = std::min({out[i], centre[std::ptrdiff_t(i) - d], centre[std::ptrdiff_t(i) + d]});
            for (std::size_t p = 0; channels > colour && p < samples; p += channels)  // alpha stays
                for (unsigned c = colour; c < channels; ++c)
                    out[p + c] = lines[ry][p + c];
        };
    });
}

// Wind: bright samples are carried downwind along each row. Smooth streaks fade
// exponentially over about `level` pixels; hard streaks keep the brightest value of the
// `level` pixels upwind and stop sharply. Samples only ever get brighter, and only downwind
// of what is bright.
bool wind(const ImageView& view, unsigned level, bool towardsRight, bool smooth) {
    const unsigned width = view.width, channels = view.layout.channels, colour = view.layout.colourChannels;
    const bool split = splitPays(view.height, std::size_t(width) * channels * 4);
    return parallelBands(view.height, split, [&](unsigned y0, unsigned y1) {
        // One channel of one row at a time, in the order the wind meets its pixels.
        return [&, y0, y1, seq = std::vector<BYTE>(width), prefix = std::vector<BYTE>(width),
                suffix = std::vector<BYTE>(width)]() mutable {
            for (unsigned y = y0; y < y1; ++y) {
                BYTE* line = view.row<BYTE>(y);
                for (unsigned c = 0; c < colour; ++c) {
                    const auto at = [&](unsigned k) {
                        return std::size_t(towardsRight ? k : width - 1 - k) * channels + c;
                    };
                    for (unsigned k = 0; k < width; ++k)
                        seq[k] = line[at(k)];
                    if (smooth) {
                        int carry = 0;
                        for (unsigned k = 0; k < width; ++k) {
                            const int v = seq[k];
                            carry = carry > v ? int(v + (long long)(carry - v) * (level - 1) / level) : v;
                            line[at(k)] = BYTE(carry);
                        }
                        continue;
                    }
                    // Sliding maximum over the `level` pixels upwind (van Herk / Gil-Werman):
                    // maxima within blocks of `level` pixels, from the block's start and to its end.
                    for (unsigned start = 0; start < width; start += std::min(level, width)) {
                        const unsigned end = unsigned(std::min<std::uint64_t>(std::uint64_t(start) + level, width));
                        prefix[start] = seq[start];
                        for (unsigned k = start + 1; k < end; ++k)
                            prefix[k] = std::max(prefix[k - 1], seq[k]);
                        suffix[end - 1] = seq[end - 1];
                        for (unsigned k = end - 1; k-- > start;)
                            suffix[k] = std::max(suffix[k + 1], seq[k]);
                    }
                    for (unsigned k = 0; k < width; ++k)
                        line[at(k)] = k + 1 >= level ? std::max(suffix[k + 1 - level], prefix[k]) : prefix[k];
                }
            }
        };
    });
}

// Stripe: horizontal bands, alternately lighter and darker, like light through blinds:
// brightness is scaled by 1 ± swing % along a sine wave with `frequency` periods over the
// picture's height, counted from the top.
bool stripe(const ImageView& view, int swing, int frequency) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    return parallelRanges(height, std::size_t(width) * channels, [&](unsigned y0, unsigned y1) {
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
bool spread(const ImageView& view, unsigned amount, std::uint64_t seed) {
    const unsigned width = view.width, channels = view.layout.channels, colour = view.layout.colourChannels;
    // Offsets past the image's size land on the edge pixels anyway; the neighbourhood (and its
    // memory) need not be larger than the image.
    const unsigned rx = std::min(amount, width), ry = std::min(amount, view.height);
    const std::uint64_t span = 2 * std::uint64_t(amount) + 1;
    return forEachNeighbourhood<BYTE>(view, rx, ry, std::size_t(width) * channels * 4, [&] {
        return [&](const BYTE* const* lines, BYTE* out, unsigned y) {
            LineRandom random(seed, y);
            for (unsigned x = 0; x < width; ++x) {
                const std::uint64_t r = random.next();
                const long dy = std::clamp(long(((r & 0xFFFFFFFFu) * span) >> 32) - long(amount), -long(ry), long(ry));
                const long dx = std::clamp(long(((r >> 32) * span) >> 32) - long(amount), -long(rx), long(rx));
                const BYTE* from = lines[dy + long(ry)] + (long(x) + dx) * long(channels);
                for (unsigned c = 0; c < colour; ++c)
                    out[std::size_t(x) * channels + c] = from[c];
            }
        };
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
        return kelvra::fx::erode(view, unsigned(level / 2));
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
        return kelvra::fx::wind(view, unsigned(level), direction == 1, smooth != FALSE);
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
        return kelvra::fx::stripe(view, swing, frequency);
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
        return kelvra::fx::spread(view, unsigned(amount), seed);
    });
    if (done)
        _bHasChanged = TRUE;
    return done ? TRUE : FALSE;
}
