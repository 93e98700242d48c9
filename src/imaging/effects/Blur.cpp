// Averaging effects. Average blur replaces each pixel by the mean of the size × size square
// around it (edge pixels repeated beyond the borders); mosaic replaces each block of a grid
// anchored at the top-left corner by the block's mean colour. Alpha is kept pixel by pixel.

#include "imaging/effects/PixelAccess.h"
#include "imaging/fipSuperImage.h"

#include <type_traits>
#include <vector>

namespace kelvra::fx {
namespace {

template <typename T>
using SumOf = std::conditional_t<std::is_same_v<T, float>, double, std::uint64_t>;

// Rounded mean of `count` samples. Integer division is slow, so the quotient comes from a
// multiplication by the reciprocal and is then corrected to the exact value.
template <typename T>
class Mean {
public:
    explicit Mean(std::uint64_t count) : count_(count), half_(count / 2), inverse_(1.0 / double(count)) {}

    T operator()(SumOf<T> sum) const {
        if constexpr (std::is_same_v<T, float>) {
            return float(sum * inverse_);
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
template <typename T>
SumOf<T> clampedWindowSum(const T* samples, std::ptrdiff_t step, long n, long lo, long hi) {
    SumOf<T> sum = 0;
    if (lo < 0)
        sum += SumOf<T>(std::min(hi, -1L) - lo + 1) * samples[0];
    for (long i = std::max(lo, 0L); i <= std::min(hi, n - 1); ++i)
        sum += samples[i * step];
    if (hi >= n)
        sum += SumOf<T>(hi - std::max(lo, n) + 1) * samples[(n - 1) * step];
    return sum;
}

template <typename T>
void boxBlur(const ImageView& view, long size) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const long before = (size - 1) / 2, after = size / 2;
    const std::size_t lineSamples = std::size_t(width) * channels;
    std::vector<T> horizontal(lineSamples * height);
    const Mean<T> mean{std::uint64_t(size)};

    parallelRanges(height, lineSamples * 4, [&](unsigned y0, unsigned y1) {
        for (unsigned y = y0; y < y1; ++y) {
            const T* in = view.row<T>(y);
            T* out = horizontal.data() + lineSamples * y;
            for (unsigned c = 0; c < channels; ++c) {
                const T* line = in + c;
                if (c >= colour) {
                    for (unsigned x = 0; x < width; ++x)
                        out[std::size_t(x) * channels + c] = line[std::size_t(x) * channels];
                    continue;
                }
                SumOf<T> sum = clampedWindowSum(line, channels, long(width), -before, after);
                for (long x = 0; x < long(width); ++x) {
                    out[std::size_t(x) * channels + c] = mean(sum);
                    sum += line[std::min(x + 1 + after, long(width) - 1) * channels];
                    sum -= line[std::max(x - before, 0L) * channels];
                }
            }
        }
    });

    // Down the columns: scan lines run bottom-up, so "before" (above) is the higher line.
    parallelRanges(height, lineSamples * 4, [&](unsigned y0, unsigned y1) {
        std::vector<SumOf<T>> sums(lineSamples);
        for (std::size_t i = 0; i < lineSamples; ++i)
            sums[i] = clampedWindowSum(horizontal.data() + i, std::ptrdiff_t(lineSamples), long(height),
                                       long(y0) - after, long(y0) + before);
        for (unsigned y = y0; y < y1; ++y) {
            T* out = view.row<T>(y);
            const T* entering = horizontal.data() + lineSamples * std::size_t(std::min(long(y) + 1 + before, long(height) - 1));
            const T* leaving = horizontal.data() + lineSamples * std::size_t(std::max(long(y) - after, 0L));
            for (std::size_t p = 0; p < lineSamples; p += channels)
                for (unsigned c = 0; c < colour; ++c)
                    out[p + c] = mean(sums[p + c]);
            for (std::size_t i = 0; i < lineSamples; ++i)
                sums[i] += SumOf<T>(entering[i]) - SumOf<T>(leaving[i]);
        }
    });
}

template <typename T>
void blockMeans(const ImageView& view, unsigned block) {
    const unsigned width = view.width, height = view.height;
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const unsigned blockRows = (height + block - 1) / block, blockColumns = (width + block - 1) / block;
    parallelRanges(blockRows, std::size_t(width) * block * channels, [&](unsigned r0, unsigned r1) {
        std::vector<SumOf<T>> sums(std::size_t(blockColumns) * colour);
        std::vector<T> means(sums.size());
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
    });
}

template <template <typename> class Op, typename... Args>
bool dispatch(const ImageView& view, Args... args) {
    switch (view.layout.kind) {
    case SampleKind::U8: Op<BYTE>::run(view, args...); return true;
    case SampleKind::U16: Op<std::uint16_t>::run(view, args...); return true;
    case SampleKind::F32: Op<float>::run(view, args...); return true;
    }
    return false;
}

template <typename T>
struct BoxBlurOp {
    static void run(const ImageView& view, long size) { boxBlur<T>(view, size); }
};
template <typename T>
struct MosaicOp {
    static void run(const ImageView& view, unsigned block) { blockMeans<T>(view, block); }
};

}  // namespace
}  // namespace kelvra::fx

BOOL fipSuperImage::averageBlur(int size) {
    if (size < 1)
        return FALSE;
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
