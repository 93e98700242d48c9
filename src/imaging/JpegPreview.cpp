#include "imaging/JpegPreview.h"

#include "imaging/decode/ImageDecoding.h"

#include <QFile>

std::optional<JpegHeader> readJpegHeader(const QString& path)
{
    const auto summary = Decode::summariseJpeg(QFile::encodeName(path));
    if (!summary)
        return std::nullopt;
    return JpegHeader{summary->fullSize, summary->embeddedThumbnail};
}

QImage decodeJpegReduced(const QString& path, int side)
{
    return Decode::decodeJpegReduced(QFile::encodeName(path), side, Decode::imageMemoryBudget());
}
