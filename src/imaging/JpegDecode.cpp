// JPEG decoding in process, straight into the library's bottom-up blue-green-red rows with
// the accurate DCT: TurboJPEG reads the header, libjpeg decodes, so a decode nobody wants any
// more can be abandoned from its progress monitor. The library's own JPEG loader is not used here:
// its header pass parses EXIF and decodes the embedded thumbnail, and for progressive files it
// allocates the whole image before we could refuse it. Sizes come from TurboJPEG's header
// read, the kind of frame and the metadata kept for saving from our own bounded marker walk.

#include "ImageLibrary.h"
#include "imaging/decode/JpegMarkers.h"

#include <turbojpeg.h>

#include <cstdio>  // jpeglib.h needs FILE
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <memory>
#include <vector>

namespace {

struct TjHandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

struct DibUnloader {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibUnloader>;

// Full-resolution samples per pixel over all components, for the coefficient buffers a
// progressive decoding keeps for the whole image.
double samplesPerPixel(int subsampling)
{
    switch (subsampling) {
    case TJSAMP_444: return 3.0;
    case TJSAMP_422: case TJSAMP_440: return 2.0;
    case TJSAMP_GRAY: return 1.0;
    default: return 1.5;  // 4:2:0, 4:1:1
    }
}

// libjpeg reports fatal errors by a jump; the progress monitor jumps the same way when the
// decode is abandoned.
struct JumpingErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

struct AbandonCheck {
    jpeg_progress_mgr pub;
    const std::atomic<bool>* abandon = nullptr;
    bool abandoned = false;
};

[[noreturn]] void jumpOut(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->jump, 1);
}

void keepQuiet(j_common_ptr, int) {}

void checkAbandon(j_common_ptr cinfo)
{
    auto* check = reinterpret_cast<AbandonCheck*>(cinfo->progress);
    if (check->abandon && check->abandon->load(std::memory_order_relaxed)) {
        check->abandoned = true;
        jumpOut(cinfo);
    }
}

enum class RunOutcome { Done, Failed, Abandoned };

// Decodes into `rows` (one pointer per output row). No object with a destructor lives in this
// frame, and only libjpeg's frames lie between the jump and its target.
RunOutcome runDecompress(jpeg_decompress_struct* cinfo, JumpingErrors* errors, AbandonCheck* check,
                         const unsigned char* data, unsigned long size, unsigned denom, J_COLOR_SPACE out,
                         JSAMPROW* rows, JDIMENSION width, JDIMENSION height)
{
    if (setjmp(errors->jump)) {
        jpeg_destroy_decompress(cinfo);
        return check->abandoned ? RunOutcome::Abandoned : RunOutcome::Failed;
    }
    jpeg_create_decompress(cinfo);
    cinfo->progress = &check->pub;
    jpeg_mem_src(cinfo, data, size);
    jpeg_read_header(cinfo, TRUE);
    cinfo->scale_num = 1;
    cinfo->scale_denom = denom;
    cinfo->dct_method = JDCT_ISLOW;
    cinfo->out_color_space = out;
    jpeg_start_decompress(cinfo);
    // The rows were allocated for the size TurboJPEG announced; libjpeg writes its own size
    // into them, so any disagreement would write past the bitmap.
    if (cinfo->output_height != height || cinfo->output_width != width || cinfo->output_components != (out == JCS_GRAYSCALE ? 1 : 3)) {
        jpeg_destroy_decompress(cinfo);
        return RunOutcome::Failed;
    }
    while (cinfo->output_scanline < height)
        jpeg_read_scanlines(cinfo, rows + cinfo->output_scanline, height - cinfo->output_scanline);
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return RunOutcome::Done;
}

void setTag(FIBITMAP* dib, FREE_IMAGE_MDMODEL model, const char* key, FREE_IMAGE_MDTYPE type, QByteArray value)
{
    if (type == FIDT_ASCII && !value.endsWith('\0'))
        value.append('\0');
    FITAG* tag = FreeImage_CreateTag();
    if (!tag)
        return;
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagType(tag, type);
    FreeImage_SetTagCount(tag, static_cast<DWORD>(value.size()));
    FreeImage_SetTagLength(tag, static_cast<DWORD>(value.size()));
    FreeImage_SetTagValue(tag, value.constData());
    FreeImage_SetMetadata(model, dib, key, tag);
    FreeImage_DeleteTag(tag);
}

void keepMetadata(FIBITMAP* dib, const Decode::JpegMarkers& m)
{
    if (!m.exif.isEmpty())
        setTag(dib, FIMD_EXIF_RAW, "ExifRaw", FIDT_BYTE, m.exif);
    if (!m.xmp.isEmpty())
        setTag(dib, FIMD_XMP, "XMLPacket", FIDT_ASCII, m.xmp);
    if (!m.comment.isEmpty())
        setTag(dib, FIMD_COMMENTS, "Comment", FIDT_ASCII, m.comment);
    if (!m.icc.isEmpty())
        FreeImage_CreateICCProfile(dib, const_cast<char*>(m.icc.constData()), static_cast<long>(m.icc.size()));
    if (m.densityUnit == 1 && m.densityX > 0 && m.densityY > 0) {
        FreeImage_SetDotsPerMeterX(dib, static_cast<unsigned>(m.densityX / 0.0254 + 0.5));
        FreeImage_SetDotsPerMeterY(dib, static_cast<unsigned>(m.densityY / 0.0254 + 0.5));
    } else if (m.densityUnit == 2 && m.densityX > 0 && m.densityY > 0) {
        FreeImage_SetDotsPerMeterX(dib, static_cast<unsigned>(m.densityX) * 100);
        FreeImage_SetDotsPerMeterY(dib, static_cast<unsigned>(m.densityY) * 100);
    }
}

}  // namespace

namespace ImageLibrary {

JpegLoad loadJpeg(const QByteArray& jpeg, int flag, std::uint64_t memoryBudget, int minimumSide,
                  const std::atomic<bool>* abandon)
{
    JpegLoad result;
    // Rotation by EXIF, the library's own scaling and CMYK output keep the library's decoder.
    if (flag != 0 && flag != JPEG_ACCURATE)
        return result;
    std::unique_ptr<void, TjHandleCloser> handle(tjInitDecompress());
    if (!handle || jpeg.isEmpty())
        return result;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, size, &width, &height, &subsampling, &colorspace) != 0
        || width <= 0 || height <= 0)
        return result;
    result.fullWidth = width;
    result.fullHeight = height;
    const bool grey = colorspace == TJCS_GRAY;
    if (!grey && colorspace != TJCS_YCbCr && colorspace != TJCS_RGB)
        return result;
    const auto markers = Decode::readJpegMarkers(jpeg);
    if (!markers || !markers->frame)
        return result;

    const auto pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    // A progressive decoding keeps 16-bit coefficients of the whole image beside its output.
    const double coefficientBytes = markers->frame->progressive ? pixels * samplesPerPixel(subsampling) * 2 : 0.0;
    if (coefficientBytes > static_cast<double>(memoryBudget)) {
        result.outcome = JpegOutcome::TooLarge;
        return result;
    }
    // Huffman coding spends at least one bit on every 8 x 8 block of a component (its DC
    // difference), and no component has fewer blocks than a quarter of the frame's; so a file
    // of a few bytes declaring a huge frame holds almost nothing of it, and decoding would cost
    // gigabytes and seconds to show grey.
    const std::uint64_t frameBlocks =
        ((static_cast<std::uint64_t>(width) + 7) / 8) * ((static_cast<std::uint64_t>(height) + 7) / 8);
    if (!markers->frame->arithmetic && static_cast<std::uint64_t>(jpeg.size()) * 8 * 4 < frameBlocks) {
        result.outcome = JpegOutcome::Implausible;
        return result;
    }
    // The largest scale whose pixels fit the budget (and, when asked, still cover a side).
    int factorCount = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&factorCount);
    int outWidth = 0, outHeight = 0, outDenom = 1;
    bool outCovers = false;
    for (int i = 0; factors && i < factorCount; ++i) {
        const tjscalingfactor f = factors[i];
        if (f.num > f.denom || (f.num != 1 && f.num != f.denom))
            continue;  // whole fractions only: 1, 1/2, 1/4, 1/8
        const int w = TJSCALED(width, f), h = TJSCALED(height, f);
        const std::uint64_t bytes = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * (grey ? 1 : 3);
        if (static_cast<double>(bytes) + coefficientBytes > static_cast<double>(memoryBudget))
            continue;
        const bool covers = minimumSide > 0 && std::max(w, h) >= minimumSide;
        bool take = outWidth == 0;
        if (!take && minimumSide <= 0)
            take = w > outWidth;
        else if (!take && covers != outCovers)
            take = covers;
        else if (!take)
            take = covers ? w < outWidth : w > outWidth;
        if (take) {
            outWidth = w;
            outHeight = h;
            outDenom = f.denom / f.num;
            outCovers = covers;
        }
    }
    if (outWidth == 0) {
        result.outcome = JpegOutcome::TooLarge;
        return result;
    }

    DibPtr dib(FreeImage_Allocate(outWidth, outHeight, grey ? 8 : 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
    if (!dib)
        return result;
    if (grey) {
        RGBQUAD* palette = FreeImage_GetPalette(dib.get());
        for (int i = 0; i < 256; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    // The library's rows are bottom-up: the decoder's first row goes into its last.
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(outHeight));
    for (int y = 0; y < outHeight; ++y)
        rows[static_cast<std::size_t>(y)] = FreeImage_GetScanLine(dib.get(), outHeight - 1 - y);
    const J_COLOR_SPACE out = grey ? JCS_GRAYSCALE : (FI_RGBA_RED == 2 ? JCS_EXT_BGR : JCS_EXT_RGB);
    jpeg_decompress_struct cinfo{};
    JumpingErrors errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpOut;
    errors.pub.emit_message = keepQuiet;  // corrupt-data warnings: decode what is there
    AbandonCheck check{};
    check.pub.progress_monitor = checkAbandon;
    check.abandon = abandon;
    switch (runDecompress(&cinfo, &errors, &check, data, size, static_cast<unsigned>(outDenom), out, rows.data(),
                          static_cast<JDIMENSION>(outWidth), static_cast<JDIMENSION>(outHeight))) {
    case RunOutcome::Done: break;
    case RunOutcome::Abandoned: result.outcome = JpegOutcome::Abandoned; return result;
    case RunOutcome::Failed: return result;  // damaged beyond a warning: the library's decoder decides, in the helper
    }
    keepMetadata(dib.get(), *markers);
    result.outcome = JpegOutcome::Decoded;
    result.dib = dib.release();
    return result;
}

}  // namespace ImageLibrary
