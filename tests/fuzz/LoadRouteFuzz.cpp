// libFuzzer target: the program's load route, as the viewer and multi-page opening use it.
// JPEG bytes are decoded in process (our marker walk and TurboJPEG), everything else in the
// helper, whose crashes must show here as a failed load, never as a crash of this process.
#include "FuzzFiles.h"

#include "imaging/decode/ImageDecoding.h"
#include "imaging/decode/JpegMarkers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray path = fuzz::writeInput("input.jpg", data, size);
    // A small budget, so reductions and refusals are taken often.
    for (int page : {-1, 1})
        Decode::decodeImage(path, page, 0, 8u << 20);
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto markers = Decode::readJpegMarkers(bytes))
        Decode::exifThumbnail(markers->exif);
    return 0;
}
