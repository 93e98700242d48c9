#include "JpegQuality.h"

#include <QFile>

#include <cstdlib>
#include <limits>

namespace JpegQuality {

namespace {

// The example luminance table of the JPEG standard (Annex K), natural order.
constexpr std::array<int, 64> kStandardLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

// Where the n-th coefficient of a table as stored in the file (zig-zag) belongs.
constexpr std::array<int, 64> kNaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The table an encoder makes for `quality` with baseline-limited values.
int scaledEntry(int standard, int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    const int value = (standard * scale + 50) / 100;
    return value < 1 ? 1 : value > 255 ? 255 : value;
}

bool readExactly(QFile& file, char* into, qint64 size)
{
    return file.read(into, size) == size;
}

}  // namespace

int fromLuminanceTable(const std::array<int, 64>& table)
{
    int best = kFallback;
    long bestDistance = std::numeric_limits<long>::max();
    // From the top so that a tie goes to the higher quality: never write worse than the original.
    for (int quality = 100; quality >= 1; --quality) {
        long distance = 0;
        for (int i = 0; i < 64; ++i)
            distance += std::abs(scaledEntry(kStandardLuminance[i], quality) - table[i]);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = quality;
        }
    }
    return best;
}

std::optional<int> estimate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    unsigned char head[2] = {};
    if (!readExactly(file, reinterpret_cast<char*>(head), 2) || head[0] != 0xFF || head[1] != 0xD8)
        return std::nullopt;
    // Segments up to the first scan; each is skipped by its declared length, nothing larger
    // than one table is ever read into memory.
    for (;;) {
        unsigned char marker[2] = {};
        if (!readExactly(file, reinterpret_cast<char*>(marker), 2) || marker[0] != 0xFF)
            return std::nullopt;
        while (marker[1] == 0xFF) {  // fill bytes
            if (!readExactly(file, reinterpret_cast<char*>(marker + 1), 1))
                return std::nullopt;
        }
        const unsigned char code = marker[1];
        if (code == 0xDA || code == 0xD9)  // start of scan, end of image: no table 0 came
            return std::nullopt;
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue;  // markers without a length
        unsigned char lengthBytes[2] = {};
        if (!readExactly(file, reinterpret_cast<char*>(lengthBytes), 2))
            return std::nullopt;
        const int length = (lengthBytes[0] << 8) | lengthBytes[1];
        if (length < 2)
            return std::nullopt;
        const qint64 segmentEnd = file.pos() + length - 2;
        if (code == 0xDB) {
            while (file.pos() < segmentEnd) {
                char info = 0;
                if (!readExactly(file, &info, 1))
                    return std::nullopt;
                const bool sixteenBit = (static_cast<unsigned char>(info) >> 4) != 0;
                const int id = info & 0x0F;
                const int entrySize = sixteenBit ? 2 : 1;
                if (file.pos() + 64 * entrySize > segmentEnd)
                    return std::nullopt;
                std::array<unsigned char, 128> raw{};
                if (!readExactly(file, reinterpret_cast<char*>(raw.data()), 64 * entrySize))
                    return std::nullopt;
                if (id != 0)
                    continue;
                std::array<int, 64> table{};
                for (int i = 0; i < 64; ++i)
                    table[kNaturalOrder[i]] = sixteenBit ? (raw[2 * i] << 8) | raw[2 * i + 1] : raw[i];
                return fromLuminanceTable(table);
            }
        }
        if (!file.seek(segmentEnd))
            return std::nullopt;
    }
}

}  // namespace JpegQuality
