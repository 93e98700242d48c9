#pragma once
// Runs a neighbourhood effect in place, one scan line at a time, handing it the original
// (unmodified) scan lines around the line being written. Lines are padded with copies of the
// edge pixels, so an effect may read `radiusX` pixels beyond either end of a line, and lines
// beyond the top and bottom repeat the edge lines: kernels see replicated borders.
//
// Memory: a ring of 2 × radiusY + 1 padded lines per thread, plus the few lines that a
// neighbouring thread's band would overwrite before this thread reads them.

#include "imaging/effects/PixelAccess.h"

#include <latch>
#include <thread>
#include <utility>
#include <vector>

namespace kelvra::fx {

// fn(const T* const* lines, T* out, unsigned y): lines[j] is the original scan line y + j −
// radiusY (so lines[radiusY] is line y itself), pointing at its first real pixel; out is
// scan line y of the image, to be overwritten.
template <typename T, typename Fn>
void forEachNeighbourhood(const ImageView& view, unsigned radiusX, unsigned radiusY,
                          std::size_t costPerLine, Fn&& fn) {
    const unsigned height = view.height;
    const unsigned channels = view.layout.channels;
    const std::size_t lineSamples = std::size_t(view.width) * channels;
    const std::size_t padSamples = std::size_t(radiusX) * channels;
    const std::size_t paddedSamples = lineSamples + 2 * padSamples;
    const unsigned window = 2 * radiusY + 1;

    const auto clampLine = [height](long s) { return unsigned(std::clamp<long>(s, 0, long(height) - 1)); };
    const auto padInto = [&](T* dst, const T* src) {
        std::copy(src, src + lineSamples, dst + padSamples);
        for (std::size_t i = 0; i < padSamples; ++i) {
            dst[i] = src[i % channels];
            dst[padSamples + lineSamples + i] = src[lineSamples - channels + i % channels];
        }
    };

    // Two bands meet in the middle; each copies the lines of the other band it will read
    // before either starts writing.
    const bool twoBands = height >= 2 * window && std::size_t(height) * costPerLine >= (std::size_t(1) << 18);
    std::latch copied(twoBands ? 2 : 1);

    const auto runBand = [&](unsigned y0, unsigned y1) {
        std::vector<std::pair<unsigned, std::vector<T>>> halo;
        const auto addHalo = [&](long s) {
            const unsigned line = clampLine(s);
            if (line >= y0 && line < y1)
                return;
            for (const auto& h : halo)
                if (h.first == line)
                    return;
            std::vector<T> copy(paddedSamples);
            padInto(copy.data(), view.row<T>(line));
            halo.emplace_back(line, std::move(copy));
        };
        for (unsigned i = 1; i <= radiusY; ++i) {
            addHalo(long(y0) - long(i));
            addHalo(long(y1) - 1 + long(i));
        }
        copied.arrive_and_wait();

        std::vector<T> storage(paddedSamples * window);
        std::vector<T*> ring(window);
        for (unsigned j = 0; j < window; ++j)
            ring[j] = storage.data() + paddedSamples * j;
        std::vector<const T*> lines(window);

        const auto load = [&](T* dst, long s) {
            const unsigned line = clampLine(s);
            if (line >= y0 && line < y1) {
                padInto(dst, view.row<T>(line));
                return;
            }
            for (const auto& h : halo)
                if (h.first == line) {
                    std::copy(h.second.begin(), h.second.end(), dst);
                    return;
                }
        };
        for (unsigned j = 0; j < window; ++j)
            load(ring[j], long(y0) + long(j) - long(radiusY));
        for (unsigned y = y0; y < y1; ++y) {
            if (y > y0) {
                std::rotate(ring.begin(), ring.begin() + 1, ring.end());
                load(ring[window - 1], long(y) + long(radiusY));
            }
            for (unsigned j = 0; j < window; ++j)
                lines[j] = ring[j] + padSamples;
            fn(static_cast<const T* const*>(lines.data()), view.row<T>(y), y);
        }
    };

    if (!twoBands) {
        runBand(0, height);
        return;
    }
    const unsigned middle = height / 2;
    std::thread lower(runBand, 0u, middle);
    runBand(middle, height);
    lower.join();
}

}  // namespace kelvra::fx
