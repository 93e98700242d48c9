#pragma once
// Histogram of every standard bitmap depth: palette images count their pixels' palette
// colours, 16-bit images their unpacked colours, and 16-bit-per-channel images the high byte
// of each sample. Channel FICC_RED, FICC_GREEN, FICC_BLUE, or FICC_BLACK/FICC_RGB for the
// luminance. `histo` receives 256 counts that add up to the pixel count.

#include <FreeImage.h>

namespace kelvra::fx {

bool histogram(FIBITMAP* dib, DWORD* histo, FREE_IMAGE_COLOR_CHANNEL channel);

}  // namespace kelvra::fx
