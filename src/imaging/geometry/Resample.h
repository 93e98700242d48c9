#pragma once
// Separable reduction of 8-bit grey, 24-bit and 32-bit bitmaps with the image library's six
// filters and its weights, over the processor's cores: the library's own rescale runs on one
// core and loses to other tools when reducing. Enlarging, where the library is fast enough,
// and other images stay with the library.
#include <FreeImagePlus.h>

namespace Resample {

// `dst` becomes `src` reduced to width × height; false (dst untouched) for an image or a size
// it leaves to the library.
bool rescale(const fipImage& src, fipImage& dst, unsigned width, unsigned height, FREE_IMAGE_FILTER filter,
             bool useCores = true);

// `dst` becomes `src` shrunk `factor` times on both sides, each pixel the mean of a block of
// factor × factor (the last rows and columns that fill no whole block are left out): a cheap
// first stage for a large reduction, which `rescale` then finishes. False (dst untouched) for
// the images `rescale` leaves to the library, or a factor below 2.
bool shrinkByBlocks(const fipImage& src, fipImage& dst, unsigned factor, bool useCores = true);
// The same in steps: `blocks` is made by `startBlocks` (false for what `shrinkByBlocks` leaves
// alone), then each call fills its rows [first, end) on the calling thread.
bool startBlocks(const fipImage& src, fipImage& blocks, unsigned factor);
void shrinkBlockRows(const fipImage& src, fipImage& blocks, unsigned factor, unsigned first, unsigned end);

}  // namespace Resample
