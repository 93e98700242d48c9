#pragma once
// Rotation of 8-bit grey, 24-bit and 32-bit bitmaps by any angle with bilinear sampling over
// the processor's cores. The image library's rotation (three linear shears on one core) is the
// reference: the result has its size, placement, direction and black (transparent for 32-bit)
// corners, and pixels within a few levels of its own.
#include <FreeImagePlus.h>

namespace Rotate {

// `dst` becomes `src` turned by `degrees` (in the library's direction); false
// (dst untouched) for quarter turns, other images and angles it leaves to the library.
bool rotate(const fipImage& src, fipImage& dst, double degrees);

}  // namespace Rotate
