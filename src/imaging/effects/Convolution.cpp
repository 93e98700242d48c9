// Convolution with an integer kernel: each colour sample becomes the weighted sum of its
// neighbourhood divided by the divisor (rounded, halves away from zero), plus the bias, clamped
// to the sample range. This is what the blur, soften and sharpen commands run.
//
// 8-bit images take a fast path: the sums of a stretch of samples are accumulated tap by tap
// in 16-bit integers when the kernel is small enough for them (in 32-bit otherwise), which the
// compiler turns into vector code, and a table turns each sum into the rounded, clamped result.

#include "imaging/effects/Neighbourhood.h"
#include "imaging/fipSuperImage.h"

#include <cstdlib>
#include <limits>
#include <optional>
#include <type_traits>
#include <vector>

namespace kelvra::fx {
namespace {

struct Tap {
    unsigned line;      // index into the neighbourhood's lines
    std::ptrdiff_t offset;  // in samples
    int weight;
};

long divideRounded(long long sum, long long divisor) {
    return sum >= 0 ? long((2 * sum + divisor) / (2 * divisor))
                    : -long((-2 * sum + divisor) / (2 * divisor));
}

constexpr std::size_t kChunk = 1024;

// The two accumulator widths are separate functions so that each gets vector code for the
// processor it runs on. Not under ThreadSanitizer: the clones' resolver runs while the loader
// relocates the program, before the sanitizer's runtime is ready, and crashes there.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define KELVRA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KELVRA_VECTOR_CLONES
#endif

// Rounded division by a multiplication and a shift: q = floor((2|s| + d) / 2d) ==
// ((2|s| + d) · multiplier) >> shift for every sum the kernel can produce.
struct Reciprocal {
    std::uint32_t divisor = 1, multiplier = 0, shift = 0;
    int bias = 0;

    static std::optional<Reciprocal> find(long divisor, long largestMagnitude, long bias) {
        const std::uint64_t d2 = 2 * std::uint64_t(divisor);
        const std::uint64_t largestN = 2 * std::uint64_t(largestMagnitude) + std::uint64_t(divisor);
        for (std::uint32_t shift = 1; shift < 32; ++shift) {
            const std::uint64_t power = std::uint64_t(1) << shift;
            const std::uint64_t m = (power + d2 - 1) / d2;
            if (largestN * (m * d2 - power) < power && largestN * m < (std::uint64_t(1) << 32))
                return Reciprocal{std::uint32_t(divisor), std::uint32_t(m), shift, int(bias)};
        }
        return std::nullopt;
    }
};

// `acc` holds min(kChunk, samples) sums.
template <typename Acc, typename Finish>
inline void accumulateLine(const BYTE* const* lines, BYTE* out, std::size_t samples, const Tap* taps,
                           std::size_t tapCount, Acc* acc, const Finish& finish) {
    for (std::size_t x0 = 0; x0 < samples; x0 += kChunk) {
        const std::size_t len = std::min(kChunk, samples - x0);
        {
            const BYTE* s = lines[taps[0].line] + taps[0].offset + x0;
            const Acc w = Acc(taps[0].weight);
            for (std::size_t i = 0; i < len; ++i)
                acc[i] = Acc(w * s[i]);
        }
        for (std::size_t t = 1; t < tapCount; ++t) {
            const BYTE* s = lines[taps[t].line] + taps[t].offset + x0;
            const Acc w = Acc(taps[t].weight);
            for (std::size_t i = 0; i < len; ++i)
                acc[i] = Acc(acc[i] + w * s[i]);
        }
        finish(acc, out + x0, len);
    }
}

// Sums to results through a table with one entry per possible sum.
template <typename Acc>
struct TableFinish {
    const BYTE* base;  // table − smallest sum
    void operator()(const Acc* acc, BYTE* out, std::size_t len) const {
        for (std::size_t i = 0; i < len; ++i)
            out[i] = base[acc[i]];
    }
};

// Sums to results arithmetically, in vector code.
struct ReciprocalFinish {
    Reciprocal r;
    void operator()(const std::int16_t* acc, BYTE* out, std::size_t len) const {
        for (std::size_t i = 0; i < len; ++i) {
            const int s = acc[i];
            const std::uint32_t n = std::uint32_t(2 * (s < 0 ? -s : s)) + r.divisor;
            const int magnitude = int((n * r.multiplier) >> r.shift);
            const int q = (s < 0 ? -magnitude : magnitude) + r.bias;
            out[i] = BYTE(q < 0 ? 0 : q > 255 ? 255 : q);
        }
    }
};

KELVRA_VECTOR_CLONES
void convolveLineReciprocal(const BYTE* const* lines, BYTE* out, std::size_t samples, const Tap* taps,
                            std::size_t tapCount, std::int16_t* acc, const Reciprocal& r) {
    accumulateLine<std::int16_t>(lines, out, samples, taps, tapCount, acc, ReciprocalFinish{r});
}

KELVRA_VECTOR_CLONES
void convolveLine16(const BYTE* const* lines, BYTE* out, std::size_t samples, const Tap* taps,
                    std::size_t tapCount, std::int16_t* acc, const BYTE* table, long minSum) {
    accumulateLine<std::int16_t>(lines, out, samples, taps, tapCount, acc, TableFinish<std::int16_t>{table - minSum});
}

KELVRA_VECTOR_CLONES
void convolveLine32(const BYTE* const* lines, BYTE* out, std::size_t samples, const Tap* taps,
                    std::size_t tapCount, std::int32_t* acc, const BYTE* table, long minSum) {
    accumulateLine<std::int32_t>(lines, out, samples, taps, tapCount, acc, TableFinish<std::int32_t>{table - minSum});
}

struct PreparedKernel {
    int radius = 0;
    std::vector<int> weights;  // row-major, top row first
    long divisor = 1;
    long bias = 0;
    long positiveSum = 0;
    long negativeSum = 0;  // as a positive number
};

std::vector<Tap> tapsFor(const PreparedKernel& k, unsigned channels) {
    std::vector<Tap> taps;
    const int size = 2 * k.radius + 1;
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            const int w = k.weights[std::size_t(row * size + col)];
            if (w == 0)
                continue;
            // Scan lines run bottom-up, so the kernel's top row reads the line above.
            taps.push_back(Tap{unsigned(2 * k.radius - row), std::ptrdiff_t(col - k.radius) * channels, w});
        }
    return taps;
}

bool convolve8(const ImageView& view, const PreparedKernel& k) {
    const unsigned channels = view.layout.channels;
    std::vector<Tap> taps = tapsFor(k, channels);
    if (taps.empty())
        taps.push_back(Tap{unsigned(k.radius), 0, 0});
    const long minSum = -255 * k.negativeSum, maxSum = 255 * k.positiveSum;
    std::vector<BYTE> table(std::size_t(maxSum - minSum + 1));
    for (long s = minSum; s <= maxSum; ++s)
        table[std::size_t(s - minSum)] = clampByte(divideRounded(s, k.divisor) + k.bias);
    const bool narrow = maxSum <= std::numeric_limits<std::int16_t>::max() &&
                        minSum >= std::numeric_limits<std::int16_t>::min();
    const std::size_t samples = std::size_t(view.width) * channels;
    const bool hasAlpha = channels > view.layout.colourChannels;

    const std::optional<Reciprocal> reciprocal =
        narrow ? Reciprocal::find(k.divisor, std::max(-minSum, maxSum), k.bias) : std::nullopt;
    const std::size_t chunk = std::min(kChunk, samples);
    return forEachNeighbourhood<BYTE>(view, unsigned(k.radius), unsigned(k.radius), samples * taps.size(), [&] {
        return [&, acc16 = std::vector<std::int16_t>(narrow ? chunk : 0),
                acc32 = std::vector<std::int32_t>(narrow ? 0 : chunk)](const BYTE* const* lines, BYTE* out,
                                                                       unsigned) mutable {
            if (reciprocal)
                convolveLineReciprocal(lines, out, samples, taps.data(), taps.size(), acc16.data(), *reciprocal);
            else if (narrow)
                convolveLine16(lines, out, samples, taps.data(), taps.size(), acc16.data(), table.data(), minSum);
            else
                convolveLine32(lines, out, samples, taps.data(), taps.size(), acc32.data(), table.data(), minSum);
            if (hasAlpha) {
                const BYTE* centre = lines[k.radius];
                for (std::size_t i = channels - 1; i < samples; i += channels)
                    out[i] = centre[i];
            }
        };
    });
}

template <typename T>
bool convolveWide(const ImageView& view, const PreparedKernel& k) {
    const unsigned channels = view.layout.channels, colour = view.layout.colourChannels;
    const std::vector<Tap> taps = tapsFor(k, channels);
    const unsigned width = view.width;
    return forEachNeighbourhood<T>(view, unsigned(k.radius), unsigned(k.radius),
                                   std::size_t(width) * channels * (taps.size() + 1), [&] {
        return [&](const T* const* lines, T* out, unsigned) {
            for (unsigned x = 0; x < width; ++x)
                for (unsigned c = 0; c < colour; ++c) {
                    const std::size_t i = std::size_t(x) * channels + c;
                    if constexpr (std::is_same_v<T, float>) {
                        double sum = 0;
                        for (const Tap& t : taps)
                            sum += double(t.weight) * lines[t.line][std::ptrdiff_t(i) + t.offset];
                        out[i] = float(sum / double(k.divisor) + double(k.bias) / 255.0);
                    } else {
                        constexpr long kMax = std::numeric_limits<T>::max();
                        long long sum = 0;
                        for (const Tap& t : taps)
                            sum += (long long)t.weight * lines[t.line][std::ptrdiff_t(i) + t.offset];
                        out[i] = T(std::clamp<long>(divideRounded(sum, k.divisor) + k.bias * (kMax / 255), 0, kMax));
                    }
                }
        };
    });
}

}  // namespace

bool convolute(FIBITMAP* dib, const int* kernel, int size, int divisor, int bias) {
    constexpr int kLargestKernel = 99;
    if (!kernel || size < 1 || size % 2 == 0 || size > kLargestKernel)
        return false;
    PreparedKernel k;
    k.radius = size / 2;
    k.weights.assign(kernel, kernel + std::size_t(size) * std::size_t(size));
    long sum = 0;
    for (const int w : k.weights)
        sum += w;
    k.divisor = divisor != 0 ? divisor : (sum != 0 ? sum : 1);
    if (k.divisor < 0) {
        k.divisor = -k.divisor;
        for (int& w : k.weights)
            w = -w;
    }
    k.bias = bias;
    for (const int w : k.weights)
        (w > 0 ? k.positiveSum : k.negativeSum) += std::labs(w);
    // Keeps the 8-bit result table and the wide sums within sane bounds.
    if (k.positiveSum > (1L << 20) || k.negativeSum > (1L << 20))
        return false;

    return runOnWorkingImage(dib, [&](const ImageView& view) {
        // The 8-bit result table has one entry per possible sum; kernels with very large
        // weights take the plain path rather than a table bigger than the image.
        constexpr long kLargestTable = 1L << 22;
        switch (view.layout.kind) {
        case SampleKind::U8:
            return 255 * (k.positiveSum + k.negativeSum) < kLargestTable ? convolve8(view, k)
                                                                          : convolveWide<BYTE>(view, k);
        case SampleKind::U16: return convolveWide<std::uint16_t>(view, k);
        case SampleKind::F32: return convolveWide<float>(view, k);
        }
        return false;
    });
}

}  // namespace kelvra::fx

BOOL fipSuperImage::convolute(const int* kernel, int size, int divisor, int bias) {
    return kelvra::fx::convolute(_dib, kernel, size, divisor, bias) ? TRUE : FALSE;
}
