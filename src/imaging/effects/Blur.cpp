// Averaging effects. Average blur replaces each pixel by the mean of the size × size square
// around it (edge pixels repeated beyond the borders); mosaic replaces each block of a grid
// anchored at the top-left corner by the block's mean colour. Alpha is kept pixel by pixel.

#include "imaging/effects/PixelAccess.h"
#include "imaging/fipSuperImage.h"

#include <memory>
#include <type_traits>
#include <vector>

namespace kelvra::fx {
namespace {

template <typename T>
using SumOf = std::conditional_t<std::is_same_v<T, float>, double, std::uint64_t>;

// The box blur's 8-bit sums stay within 31 bits (windows are capped at kLargestWindow), which
// keeps its loops in 32-bit arithmetic that vectorises.
constexpr long kLargestWindow = 1L << 20;
template <typename T>
using BoxSumOf = std::conditional_t<std::is_same_v<T, BYTE>, std::uint32_t, SumOf<T>>;

// Rounded mean of `count` samples. Integer division is slow, so the quotient comes from a
// multiplication by the reciprocal and is then corrected to the exact value.
template <typename T, typename Sum = SumOf<T>>
class Mean {
public:
    explicit Mean(std::uint64_t count) : count_(count), half_(count / 2), inverse_(1.0 / double(count)) {}

    T operator()(Sum sum) const {
        if constexpr (std::is_same_v<T, float>) {
            return float(sum * inverse_);
        } else if constexpr (std::is_same_v<Sum, std::uint32_t>) {
            const int count = int(count_), n = int(sum) + int(half_);
            int q = int(double(n) * inverse_);
            q -= q * count > n ? 1 : 0;
            q += (q + 1) * count <= n ? 1 : 0;
            return T(q);
        } else {
            const std::uint64_t n = sum + half_;
            std::uint64_t q = std::uint64_t(double(n) * inverse_);
            if (q * count_ > n)
                --q;
            else if ((q + 1) * count_ <= n)
                ++q;
            return T(q);
        }
    }

private:
    std::uint64_t count_, half_;
    double inverse_;
};

// Sum of samples[clamp(i)] for i in [lo, hi] over a line of n samples spaced by `step`.
template <typename T, typename Sum = BoxSumOf<T>>
Sum clampedWindowSum(const T* samples, std::ptrdiff_t step, long n, long lo, long hi) {
    Sum sum = 0;
    if (lo < 0)
        sum += Sum(std::min(hi, -1L) - lo + 1) * samples[0];
    for (long i = std::max(lo, 0L); i <= std::min(hi, n - 1); ++i)
        sum += samples[i * step];
    if (hi >= n)
        sum += Sum(hi - std::max(lo, n) + 1) * samples[(n - 1) * step];
    return sum;
}

template <typename T>
bool boxBlur(const ImageView& view, long size) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const long before = (size - 1) / 2, after = size / 2;
    const std::size_t lineSamples = std::size_t(width) * channels;
    // Every sample is written before it is read: no need to clear 1× the image first.
    const auto horizontal = std::make_unique_for_overwrite<T[]>(lineSamples * height);
    const Mean<T, BoxSumOf<T>> mean{std::uint64_t(size)};

    const bool split = splitPays(height, lineSamples * 4);
    // The first pass writes only the buffer; the image is left as it was if the second pass
    // cannot be prepared.
    const bool across = parallelBands(height, split, [&](unsigned y0, unsigned y1) {
        return [&, y0, y1, sums = std::vector<BoxSumOf<T>>(channels)]() mutable {
            for (unsigned y = y0; y < y1; ++y) {
                const T* in = view.row<T>(y);
                T* out = horizontal.get() + lineSamples * y;
                for (unsigned c = 0; c < colour; ++c)
                    sums[c] = clampedWindowSum(in + c, channels, long(width), -before, after);
                for (long x = 0; x < long(width); ++x) {
                    const T* entering = in + std::min(x + 1 + after, long(width) - 1) * channels;
                    const T* leaving = in + std::max(x - before, 0L) * channels;
                    T* o = out + x * channels;
                    for (unsigned c = 0; c < colour; ++c) {
                        o[c] = mean(sums[c]);
                        sums[c] += entering[c];
                        sums[c] -= leaving[c];
                    }
                    for (unsigned c = colour; c < channels; ++c)
                        o[c] = in[x * channels + c];
                }
            }
        };
    });

    // Down the columns: scan lines run bottom-up, so "before" (above) is the higher line.
    return across && parallelBands(height, split, [&](unsigned y0, unsigned y1) {
        return [&, y0, y1, sums = std::vector<BoxSumOf<T>>(lineSamples)]() mutable {
            for (std::size_t i = 0; i < lineSamples; ++i)
                sums[i] = clampedWindowSum(horizontal.get() + i, std::ptrdiff_t(lineSamples), long(height),
                                           long(y0) - after, long(y0) + before);
            for (unsigned y = y0; y < y1; ++y) {
                T* out = view.row<T>(y);
                const T* entering = horizontal.get() + lineSamples * std::size_t(std::min(long(y) + 1 + before, long(height) - 1));
                const T* leaving = horizontal.get() + lineSamples * std::size_t(std::max(long(y) - after, 0L));
                if (colour == channels) {
                    for (std::size_t i = 0; i < lineSamples; ++i)
                        out[i] = mean(sums[i]);
                } else {
                    for (std::size_t p = 0; p < lineSamples; p += channels)
                        for (unsigned c = 0; c < colour; ++c)
                            out[p + c] = mean(sums[p + c]);
                }
                for (std::size_t i = 0; i < lineSamples; ++i)
                    sums[i] += BoxSumOf<T>(entering[i]) - BoxSumOf<T>(leaving[i]);
            }
        };
    });
}

// The usual 8-bit case, windows up to 256 pixels: the horizontal pass keeps 16-bit sums
// rather than means, and the vertical pass divides once by size², in 32-bit arithmetic the
// compiler vectorises (float quotient corrected to the exact rounded value).
constexpr long kLargestSixteenBitWindow = 256;

bool boxBlur8(const ImageView& view, long size) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const long before = (size - 1) / 2, after = size / 2;
    const std::size_t lineSamples = std::size_t(width) * channels;
    const auto horizontal = std::make_unique_for_overwrite<std::uint16_t[]>(lineSamples * height);

    const bool split = splitPays(height, lineSamples * 2);
    const bool across = parallelBands(height, split, [&](unsigned y0, unsigned y1) {
        return [&, y0, y1, sums = std::vector<std::uint32_t>(channels)]() mutable {
            for (unsigned y = y0; y < y1; ++y) {
                const BYTE* in = view.row<BYTE>(y);
                std::uint16_t* out = horizontal.get() + lineSamples * y;
                for (unsigned c = 0; c < channels; ++c)
                    sums[c] = clampedWindowSum<BYTE, std::uint32_t>(in + c, channels, long(width), -before, after);
                for (long x = 0; x < long(width); ++x) {
                    const BYTE* entering = in + std::min(x + 1 + after, long(width) - 1) * channels;
                    const BYTE* leaving = in + std::max(x - before, 0L) * channels;
                    std::uint16_t* o = out + x * channels;
                    for (unsigned c = 0; c < channels; ++c) {
                        o[c] = std::uint16_t(sums[c]);
                        sums[c] += entering[c];
                        sums[c] -= leaving[c];
                    }
                }
            }
        };
    });

    const int count = int(size * size), half = count / 2;
    const float inverse = 1.0f / float(count);
    return across && parallelBands(height, split, [&](unsigned y0, unsigned y1) {
        return [&, y0, y1, sums = std::vector<std::uint32_t>(lineSamples),
                means = std::vector<BYTE>(lineSamples)]() mutable {
            for (std::size_t i = 0; i < lineSamples; ++i)
                sums[i] = clampedWindowSum<std::uint16_t, std::uint32_t>(horizontal.get() + i, std::ptrdiff_t(lineSamples),
                                                                         long(height), long(y0) - after, long(y0) + before);
            for (unsigned y = y0; y < y1; ++y) {
                for (std::size_t i = 0; i < lineSamples; ++i) {
                    const int n = int(sums[i]) + half;
                    int q = int(float(n) * inverse);
                    q -= q * count > n ? 1 : 0;
                    q += (q + 1) * count <= n ? 1 : 0;
                    means[i] = BYTE(q);
                }
                BYTE* out = view.row<BYTE>(y);
                if (colour == channels) {
                    std::copy(means.begin(), means.end(), out);
                } else {
                    for (std::size_t p = 0; p < lineSamples; p += channels)
                        std::copy_n(means.begin() + std::ptrdiff_t(p), colour, out + p);
                }
                const std::uint16_t* entering = horizontal.get() + lineSamples * std::size_t(std::min(long(y) + 1 + before, long(height) - 1));
                const std::uint16_t* leaving = horizontal.get() + lineSamples * std::size_t(std::max(long(y) - after, 0L));
                for (std::size_t i = 0; i < lineSamples; ++i)
                    sums[i] += std::uint32_t(entering[i]) - std::uint32_t(leaving[i]);
            }
        };
    });
}

template <typename T>
bool blockMeans(const ImageView& view, unsigned block) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const unsigned blockRows = (height + block - 1) / block, blockColumns = (width + block - 1) / block;
    const bool split = splitPays(blockRows, std::size_t(width) * block * channels);
    return parallelBands(blockRows, split, [&](unsigned r0, unsigned r1) {
        return [&, r0, r1, sums = std::vector<SumOf<T>>(std::size_t(blockColumns) * colour),
                means = std::vector<T>(std::size_t(blockColumns) * colour)]() mutable {
            for (unsigned r = r0; r < r1; ++r) {
                // Block row r covers picture rows [r·block, …) counted from the top.
                const unsigned top = r * block, rows = std::min(block, height - top);
                std::fill(sums.begin(), sums.end(), SumOf<T>(0));
                for (unsigned v = top; v < top + rows; ++v) {
                    const T* line = view.row<T>(height - 1 - v);
                    for (unsigned x = 0; x < width; ++x)
                        for (unsigned c = 0; c < colour; ++c)
                            sums[std::size_t(x / block) * colour + c] += line[std::size_t(x) * channels + c];
                }
                for (unsigned bx = 0; bx < blockColumns; ++bx) {
                    const Mean<T> mean{std::uint64_t(rows) * std::min(block, width - bx * block)};
                    for (unsigned c = 0; c < colour; ++c)
                        means[std::size_t(bx) * colour + c] = mean(sums[std::size_t(bx) * colour + c]);
                }
                for (unsigned v = top; v < top + rows; ++v) {
                    T* line = view.row<T>(height - 1 - v);
                    for (unsigned x = 0; x < width; ++x)
                        for (unsigned c = 0; c < colour; ++c)
                            line[std::size_t(x) * channels + c] = means[std::size_t(x / block) * colour + c];
                }
            }
        };
    });
}

template <template <typename> class Op, typename... Args>
bool dispatch(const ImageView& view, Args... args) {
    switch (view.layout.kind) {
    case SampleKind::U8: return Op<BYTE>::run(view, args...);
    case SampleKind::U16: return Op<std::uint16_t>::run(view, args...);
    case SampleKind::F32: return Op<float>::run(view, args...);
    }
    return false;
}

template <typename T>
struct BoxBlurOp {
    static bool run(const ImageView& view, long size) {
        if constexpr (std::is_same_v<T, BYTE>) {
            if (size <= kLargestSixteenBitWindow)
                return boxBlur8(view, size);
        }
        return boxBlur<T>(view, size);
    }
};
template <typename T>
struct MosaicOp {
    static bool run(const ImageView& view, unsigned block) { return blockMeans<T>(view, block); }
};

}  // namespace
}  // namespace kelvra::fx

BOOL fipSuperImage::averageBlur(int size) {
    if (size < 1)
        return FALSE;
    size = int(std::min<long>(size, kelvra::fx::kLargestWindow));
    if (!kelvra::fx::runOnWorkingImage(_dib, [size](const kelvra::fx::ImageView& view) {
            return kelvra::fx::dispatch<kelvra::fx::BoxBlurOp>(view, long(size));
        }))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}

BOOL fipSuperImage::mosaic(int blockSize) {
    if (blockSize < 1)
        return FALSE;
    if (!kelvra::fx::runOnWorkingImage(_dib, [blockSize](const kelvra::fx::ImageView& view) {
            return kelvra::fx::dispatch<kelvra::fx::MosaicOp>(view, unsigned(blockSize));
        }))
        return FALSE;
    _bHasChanged = TRUE;
    return TRUE;
}
