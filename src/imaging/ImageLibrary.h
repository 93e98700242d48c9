#pragma once
// Internal helpers of the image library layer over FreeImage. Functions taking a FIBITMAP
// never take ownership of it; those returning one hand over a new bitmap (or nullptr).

#include <FreeImage.h>

#include <QByteArray>

#include <atomic>
#include <cstddef>
#include <cstdint>

class fipImage;

namespace ImageLibrary {

// Registers the library's plugins once and silences its messages.
void ensureInitialised();

// The format a file name's extension names, as the library's own lookup decides it, or
// FIF_UNKNOWN without an extension. Safe from any thread: the library's lookup splits its
// extension lists with strtok, which two threads (two export workers, a decoder beside the
// window) corrupt for each other.
FREE_IMAGE_FORMAT formatFromName(const QByteArray& nativePath);

enum class JpegOutcome {
    Decoded,
    TooLarge,      // refused before allocating: beyond the budget even at 1/8
    NeedsLibrary,  // CMYK, load flags TurboJPEG does not handle, damage: the general decoder
    Implausible,   // far fewer bytes than the frame it declares needs: a lie, not a photo
    Abandoned,     // `abandon` was set while decoding; nothing is kept
};
struct JpegLoad {
    JpegOutcome outcome = JpegOutcome::NeedsLibrary;
    FIBITMAP* dib = nullptr;  // owned by the caller; may be reduced (1/2 .. 1/8)
    int fullWidth = 0;        // from the header, also when the image was reduced or refused
    int fullHeight = 0;
};
// JPEG bytes through libjpeg-turbo into the library's bottom-up layout. The whole image when its
// pixels fit `memoryBudget` bytes, else the largest of 1/2, 1/4, 1/8 that fits. With
// `minimumSide` > 0 the smallest scale whose larger side still reaches it instead. Setting
// `abandon` from another thread stops the decode within a row of blocks.
JpegLoad loadJpeg(const QByteArray& jpeg, int flag, std::uint64_t memoryBudget, int minimumSide = 0,
                  const std::atomic<bool>* abandon = nullptr);

// Gives an 8-bit bitmap the palette of grey images: entry i is grey level i.
void setGreyRamp(FIBITMAP* dib);

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

// toHandle's bytes made a batch of rows at a time, so the copy of a large image can be
// spread over idle moments.
class HandleBuilder {
public:
    // Everything but the rows; invalid for a bitmap without pixels.
    explicit HandleBuilder(FIBITMAP* dib);
    bool isValid() const { return !m_bytes.isEmpty(); }
    // Copies up to `rows` more rows of `dib`; false when `dib` no longer has the shape the
    // builder was made for.
    bool copyRows(FIBITMAP* dib, unsigned rows);
    // Copies every row at once, over the processor's cores for a large image.
    bool copyAllRows(FIBITMAP* dib);
    bool isComplete() const { return isValid() && m_nextRow == m_height; }
    unsigned lineBytes() const { return m_lineBytes; }
    // Whether toHandle(dib) would give these bytes now: everything but the rows compared
    // whole, the first, last and every 64th row in between compared.
    bool matches(FIBITMAP* dib) const;
    QByteArray take() { return std::move(m_bytes); }

private:
    // `dib` has the shape the builder was made for.
    bool fits(FIBITMAP* dib) const;
    // Rows [begin, end) of `dib` into `out`, the first row's place in the bytes.
    void copyRowRange(FIBITMAP* dib, char* out, unsigned begin, unsigned end) const;

    QByteArray m_bytes;
    size_t m_rowsOffset = 0;
    unsigned m_lineBytes = 0;
    unsigned m_height = 0;
    unsigned m_nextRow = 0;
};

}  // namespace ImageLibrary
