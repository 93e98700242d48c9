#pragma once
// Shared plumbing of the colour and effect operations: how an image's samples are laid out,
// a row-parallel loop, rounding, luminance, and the working-copy route that lets every
// neighbourhood effect run on palette and 16-bit images without a kernel of its own.
//
// FreeImage keeps scan lines bottom-up: scan line 0 is the bottom row of the picture. The
// helpers here speak in scan lines; effects whose look depends on "up" say so themselves.

#include <FreeImage.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <latch>
#include <optional>
#include <thread>
#include <type_traits>

namespace kelvra::fx {

enum class SampleKind { U8, U16, F32 };

// The layouts the neighbourhood kernels handle in place: interleaved samples of one numeric
// type, colour samples first and an optional alpha sample last.
struct PixelLayout {
    SampleKind kind = SampleKind::U8;
    unsigned channels = 1;        // samples per pixel
    unsigned colourChannels = 1;  // leading samples that are colour; the rest is alpha
};

// Pixels of one scan-line image seen as interleaved samples.
struct ImageView {
    BYTE* bits = nullptr;
    std::ptrdiff_t pitch = 0;  // bytes from one scan line to the next
    unsigned width = 0;
    unsigned height = 0;
    PixelLayout layout;

    template <typename T>
    T* row(unsigned y) const { return reinterpret_cast<T*>(bits + pitch * std::ptrdiff_t(y)); }
};

bool hasPixels(FIBITMAP* dib);
bool isBitmap(FIBITMAP* dib);
// 8-bit image whose palette is the identity grey ramp (index i shows grey i).
bool isGreyRamp(FIBITMAP* dib);
// The layout when the kernels can work on the image directly: 8-bit grey ramp, 24- and
// 32-bit bitmaps, 16-bit grey, 48/64-bit colour and the float types.
std::optional<PixelLayout> directLayout(FIBITMAP* dib);
ImageView viewOf(FIBITMAP* dib, const PixelLayout& layout);

// Runs `op` on the image itself when its layout is direct; otherwise on a working copy that is
// (a) 8-bit grey for palettes whose entries are all grey, (b) 24-bit for colour palettes and
// 16-bit (555/565) images, and writes the result back in the image's own format: palette
// images map each result to the nearest palette entry (indices stay valid, the palette is
// untouched), 16-bit images are repacked with rounding. Returns false, with the image
// untouched, for types it cannot handle or when `op` fails.
bool runOnWorkingImage(FIBITMAP* dib, const std::function<bool(const ImageView&)>& op);

namespace detail {
template <typename F>
bool succeeds(F&& f) noexcept {
    try {
        f();
        return true;
    } catch (...) {
        return false;
    }
}
}  // namespace detail

// Work over [0, count), in two halves on two threads when `split`. prepare(begin, end) runs
// first, on the half's own thread, and returns the half's work: whatever can fail (memory
// above all) belongs in it, for no half starts its work before both are prepared. A failed
// preparation thus leaves the image as it was, and the result is false; a helper thread's
// failure neither ends the process nor leaves its partner waiting. Without a second thread
// both halves are prepared, then run, here. The work itself must not fail.
template <typename Prepare>
bool parallelBands(unsigned count, bool split, Prepare&& prepare) {
    using Work = std::invoke_result_t<Prepare&, unsigned, unsigned>;
    const auto runHere = [&](unsigned middle) {
        std::optional<Work> low, high;
        if (!detail::succeeds([&] {
                low.emplace(prepare(0u, middle));
                if (middle < count)
                    high.emplace(prepare(middle, count));
            }))
            return false;
        return detail::succeeds([&] {
            (*low)();
            if (high)
                (*high)();
        });
    };
    if (!split || count < 2)
        return runHere(count);
    const unsigned middle = count / 2;
    std::latch prepared(2);
    std::atomic<bool> failed{false};
    const auto band = [&](unsigned begin, unsigned end) noexcept {
        std::optional<Work> work;
        if (!detail::succeeds([&] { work.emplace(prepare(begin, end)); }))
            failed = true;
        prepared.arrive_and_wait();
        if (!failed && !detail::succeeds([&] { (*work)(); }))
            failed = true;
    };
    std::thread lower;
    try {
        lower = std::thread(band, 0u, middle);
    } catch (...) {
        return runHere(middle);
    }
    band(middle, count);
    lower.join();
    return !failed;
}

// Calls fn(begin, end) over [0, count), split in two halves run on two threads when the
// work (count × costPerItem) is big enough to pay for a thread. `fn` allocates nothing (else
// it uses parallelBands); false only when it failed anyway.
bool parallelRanges(unsigned count, std::size_t costPerItem,
                    const std::function<void(unsigned, unsigned)>& fn);
// Whether count × costPerItem is enough work to pay for a second thread.
bool splitPays(unsigned count, std::size_t costPerItem);

// Rounding to the nearest integer with halves away from zero.
inline long roundHalfAway(double v) { return long(v < 0 ? v - 0.5 : v + 0.5); }
inline BYTE clampByte(long v) { return BYTE(std::clamp<long>(v, 0, 255)); }
inline BYTE clampByte(double v) { return v <= 0 ? 0 : v >= 255 ? 255 : BYTE(v + 0.5); }

// Rec. 709 luminance, the weighting the library's greyscale conversions and histogram use.
inline BYTE luminance(BYTE r, BYTE g, BYTE b) {
    return BYTE(0.2126 * r + 0.7152 * g + 0.0722 * b + 0.5);
}

struct Rgb {
    BYTE r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Maps every colour of a bitmap through fn(Rgb) -> Rgb: the palette of 1/4/8-bit images (an
// 8-bit grey-ramp image keeps its ramp and changes its pixels when every result is grey),
// the pixels of 16-, 24- and 32-bit images (alpha kept). Returns false for other images.
// 24- and 32-bit pixels are mapped here, where `fn` can be inlined; the rest below.
bool mapPaletteOr16BitColours(FIBITMAP* dib, const std::function<Rgb(Rgb)>& fn);

template <typename Fn>
bool mapColours(FIBITMAP* dib, Fn&& fn) {
    if (!isBitmap(dib))
        return false;
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (bpp != 24 && bpp != 32)
        return mapPaletteOr16BitColours(dib, fn);
    const unsigned width = FreeImage_GetWidth(dib), step = bpp / 8;
    return parallelRanges(FreeImage_GetHeight(dib), std::size_t(width) * 8, [&](unsigned y0, unsigned y1) {
        for (unsigned y = y0; y < y1; ++y) {
            BYTE* p = FreeImage_GetScanLine(dib, int(y));
            for (unsigned x = 0; x < width; ++x, p += step) {
                const Rgb c = fn(Rgb{p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]});
                p[FI_RGBA_RED] = c.r;
                p[FI_RGBA_GREEN] = c.g;
                p[FI_RGBA_BLUE] = c.b;
            }
        }
    });
}

// Per-channel lookup tables applied through mapColours (fast path for 24/32-bit pixels).
bool mapChannels(FIBITMAP* dib, const std::array<BYTE, 256>& red,
                 const std::array<BYTE, 256>& green, const std::array<BYTE, 256>& blue);

bool is565(FIBITMAP* dib);
Rgb unpack16(WORD v, bool is565);
unsigned paletteIndex(const BYTE* line, unsigned x, unsigned bpp);

// Copies resolution and metadata, so a converted image keeps what the file said about it.
void copyImageInfo(FIBITMAP* dst, FIBITMAP* src);

}  // namespace kelvra::fx
