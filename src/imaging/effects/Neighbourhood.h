#pragma once
// Runs a neighbourhood effect in place, one scan line at a time, handing it the original
// (unmodified) scan lines around the line being written. Lines are padded with copies of the
// edge pixels, so an effect may read `radiusX` pixels beyond either end of a line, and lines
// beyond the top and bottom repeat the edge lines: kernels see replicated borders.
//
// Memory: a ring of 2 × radiusY + 1 padded lines per thread, plus the few lines that a
// neighbouring thread's band would overwrite before this thread reads them; all of it is
// made before any line is written.

#include "imaging/effects/PixelAccess.h"

#include <utility>
#include <vector>

namespace kelvra::fx {

// makeLine() returns the per-line work of one band, owning any scratch memory it needs (it is
// called before the band writes anything). line(const T* const* lines, T* out, unsigned y):
// lines[j] is the original scan line y + j − radiusY (so lines[radiusY] is line y itself),
// pointing at its first real pixel; out is scan line y of the image, to be overwritten. The
// line work must not allocate. False, with the image as it was, when memory ran out.
template <typename T, typename MakeLine>
[[nodiscard]] bool forEachNeighbourhood(const ImageView& view, unsigned radiusX, unsigned radiusY,
                                        std::size_t costPerLine, MakeLine&& makeLine) {
    const unsigned height = view.height;
    const unsigned channels = view.layout.channels;
    const std::size_t lineSamples = std::size_t(view.width) * channels;
    const std::size_t padSamples = std::size_t(radiusX) * channels;
    const std::size_t paddedSamples = lineSamples + 2 * padSamples;
    const unsigned window = 2 * radiusY + 1;

    const auto clampLine = [height](long s) { return unsigned(std::clamp<long>(s, 0, long(height) - 1)); };
    const auto padInto = [lineSamples, padSamples, channels](T* dst, const T* src) {
        std::copy(src, src + lineSamples, dst + padSamples);
        for (std::size_t i = 0; i < padSamples; ++i) {
            dst[i] = src[i % channels];
            dst[padSamples + lineSamples + i] = src[lineSamples - channels + i % channels];
        }
    };

    // Two bands meet in the middle; each copies the lines of the other band it will read
    // while it is prepared, before either starts writing.
    const bool twoBands = height >= 2 * window && std::size_t(height) * costPerLine >= (std::size_t(1) << 18);

    return parallelBands(height, twoBands, [&](unsigned y0, unsigned y1) {
        using Halo = std::vector<std::pair<unsigned, std::vector<T>>>;
        Halo halo;
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
        std::vector<T> storage(paddedSamples * window);
        std::vector<T*> ring(window);
        for (unsigned j = 0; j < window; ++j)
            ring[j] = storage.data() + paddedSamples * j;  // moving the vector keeps its buffer
        std::vector<const T*> lines(window);

        return [&, y0, y1, halo = std::move(halo), storage = std::move(storage), ring = std::move(ring),
                lines = std::move(lines), line = makeLine()]() mutable {
            const auto load = [&](T* dst, long s) {
                const unsigned index = clampLine(s);
                if (index >= y0 && index < y1) {
                    padInto(dst, view.row<T>(index));
                    return;
                }
                for (const auto& h : halo)
                    if (h.first == index) {
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
                line(static_cast<const T* const*>(lines.data()), view.row<T>(y), y);
            }
        };
    });
}

}  // namespace kelvra::fx
