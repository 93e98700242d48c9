#pragma once
// Internal helpers of the image library layer over FreeImage. Functions taking a FIBITMAP
// never take ownership of it; those returning one hand over a new bitmap (or nullptr).

#include <FreeImage.h>

#include <QByteArray>

#include <cstddef>

class fipImage;

namespace ImageLibrary {

// Registers the library's plugins once and silences its messages.
void ensureInitialised();

// JPEG through TurboJPEG straight into the library's bottom-up layout; nullptr when the
// file needs the general decoder (CMYK, flags it does not handle, damage).
FIBITMAP* loadJpegFast(const QByteArray& path, int flag);

// Whether `fif` can write `dib` as it is.
bool canStore(FREE_IMAGE_FORMAT fif, FIBITMAP* dib);
// A bitmap `fif` can write: `dib` itself when it already can, else a converted copy.
FIBITMAP* convertForFormat(FIBITMAP* dib, FREE_IMAGE_FORMAT fif);

// Exact rotation by quarter turns counter-clockwise for every image type and depth.
FIBITMAP* rotateQuarterTurns(FIBITMAP* dib, int quarterTurns);
// A copy fitted inside the box with its aspect kept, never enlarged.
FIBITMAP* fitInside(fipImage& src, unsigned maxWidth, unsigned maxHeight, bool convert);

// The byte buffer of copyToHandle/copyFromHandle.
size_t handleSize(FIBITMAP* dib);
QByteArray toHandle(FIBITMAP* dib);
FIBITMAP* fromHandle(const QByteArray& handle);

}  // namespace ImageLibrary
