#include "imaging/ImageLibrary.h"
#include "imaging/decode/ImageDecoding.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <turbojpeg.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct DibFree {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Dib = std::unique_ptr<FIBITMAP, DibFree>;

// Noise over gradients at a size that is no multiple of a block, so edges and chroma matter.
QByteArray encodeJpeg(int subsampling, bool progressive, int width = 83, int height = 61)
{
    const bool grey = subsampling == TJSAMP_GRAY;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * (grey ? 1 : 3));
    unsigned seed = 12345;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        pixels[i] = static_cast<unsigned char>((i * 7 / 3) % 200 + (seed >> 24) % 56);
    }
    tjhandle tj = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    const int flags = TJFLAG_ACCURATEDCT | (progressive ? TJFLAG_PROGRESSIVE : 0);
    const int rc = tjCompress2(tj, pixels.data(), width, 0, height, grey ? TJPF_GRAY : TJPF_RGB, &out, &size,
                               subsampling, 90, flags);
    QByteArray jpeg = rc == 0 ? QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size)) : QByteArray();
    tjFree(out);
    tjDestroy(tj);
    return jpeg;
}

TEST(JpegDecodeTest, PixelsMatchTheLibraryDecoderForEveryLayout)
{
    ImageLibrary::ensureInitialised();
    const struct {
        const char* name;
        int subsampling;
    } layouts[] = {{"4:4:4", TJSAMP_444}, {"4:2:2", TJSAMP_422}, {"4:2:0", TJSAMP_420}, {"grey", TJSAMP_GRAY}};
    for (const auto& layout : layouts) {
        for (const bool progressive : {false, true}) {
            const QString label = QString::fromLatin1(layout.name) + (progressive ? " progressive" : " baseline");
            QByteArray jpeg = encodeJpeg(layout.subsampling, progressive);
            ASSERT_FALSE(jpeg.isEmpty()) << qPrintable(label);
            const ImageLibrary::JpegLoad ours = ImageLibrary::loadJpeg(jpeg, 0, 1u << 30);
            ASSERT_EQ(ours.outcome, ImageLibrary::JpegOutcome::Decoded) << qPrintable(label);
            const Dib mine(ours.dib);
            FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(jpeg.data()), static_cast<DWORD>(jpeg.size()));
            const Dib theirs(FreeImage_LoadFromMemory(FIF_JPEG, memory, JPEG_ACCURATE));
            FreeImage_CloseMemory(memory);
            ASSERT_TRUE(theirs) << qPrintable(label);
            ASSERT_EQ(FreeImage_GetBPP(mine.get()), FreeImage_GetBPP(theirs.get())) << qPrintable(label);
            ASSERT_EQ(FreeImage_GetWidth(mine.get()), FreeImage_GetWidth(theirs.get()));
            ASSERT_EQ(FreeImage_GetHeight(mine.get()), FreeImage_GetHeight(theirs.get()));
            const unsigned rowBytes = FreeImage_GetLine(mine.get());
            int worst = 0;
            for (unsigned y = 0; y < FreeImage_GetHeight(mine.get()); ++y) {
                const BYTE* a = FreeImage_GetScanLine(mine.get(), static_cast<int>(y));
                const BYTE* b = FreeImage_GetScanLine(theirs.get(), static_cast<int>(y));
                for (unsigned x = 0; x < rowBytes; ++x)
                    worst = std::max(worst, std::abs(a[x] - b[x]));
            }
            EXPECT_LE(worst, 1) << qPrintable(label);
        }
    }
}

TEST(JpegDecodeTest, AnAbandonedDecodeKeepsNothingAndIsNotRetried)
{
    fixtures::TempDir dir;
    const QString path = dir.file(QStringLiteral("p.jpg"));
    for (const bool progressive : {false, true}) {
        ASSERT_TRUE(fixtures::writeFile(path, encodeJpeg(TJSAMP_420, progressive, 640, 480)));
        const std::atomic<bool> abandon{true};
        const ImageLibrary::JpegLoad load = ImageLibrary::loadJpeg(fixtures::readFile(path), 0, 1u << 30, 0, &abandon);
        EXPECT_EQ(load.outcome, ImageLibrary::JpegOutcome::Abandoned);
        EXPECT_EQ(load.dib, nullptr);
        // Not handed to the helper either: nobody wants the image any more.
        const Decode::Decoded decoded = Decode::decodeImage(QFile::encodeName(path), 0, 0, 1u << 30, &abandon);
        EXPECT_FALSE(decoded.ok());
        EXPECT_EQ(decoded.status, Decode::Status::NotDecoded);
    }
}

}  // namespace
