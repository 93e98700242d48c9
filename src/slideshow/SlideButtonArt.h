#pragma once
// The tool bar's button pictures, drawn by the program at the screen's pixel density so they
// stay sharp at any device pixel ratio.
#include "slideshow/SlideShowLogic.h"

#include <QPixmap>
#include <QSize>

namespace slideshow {

// One picture of `size` logical pixels for a device pixel ratio of `dpr`.
QPixmap drawButtonPicture(Glyph glyph, Look look, QSize size, qreal dpr);

// The colours the pictures use, for tests that check edges stay sharp.
inline constexpr unsigned kGlyphColor = 0x3A3A3A;
inline constexpr unsigned kDisabledGlyphColor = 0xB0B0B0;

}  // namespace slideshow
