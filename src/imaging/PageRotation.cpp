#include "imaging/PageRotation.h"

#include "app/NativePath.h"
#include "imaging/ImageLibrary.h"
#include "imaging/SafeSave.h"
#include "imaging/decode/ImageDecoding.h"
#include "imaging/fipSuperImage.h"

#include <QFile>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

std::optional<int> animationWord(FIBITMAP* dib, const char* key)
{
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(FIMD_ANIMATION, dib, key, &tag) || !tag || FreeImage_GetTagType(tag) != FIDT_SHORT
        || FreeImage_GetTagCount(tag) != 1)
        return std::nullopt;
    return *static_cast<const WORD*>(FreeImage_GetTagValue(tag));
}

void setAnimationWord(FIBITMAP* dib, const char* key, int value)
{
    FITAG* tag = FreeImage_CreateTag();
    if (!tag)
        return;
    const WORD word = static_cast<WORD>(std::max(0, value));
    FreeImage_SetTagKey(tag, key);
    FreeImage_SetTagType(tag, FIDT_SHORT);
    FreeImage_SetTagCount(tag, 1);
    FreeImage_SetTagLength(tag, sizeof(word));
    FreeImage_SetTagValue(tag, &word);
    FreeImage_SetMetadata(FIMD_ANIMATION, dib, key, tag);
    FreeImage_DeleteTag(tag);
}

// An animation's frames sit at offsets on its logical screen; the screen turns with them, so
// each frame's offset is where its turned rectangle lands on the turned screen.
void turnFramePlacement(FIBITMAP* turned, int quarterTurns, int screenWidth, int screenHeight, int frameWidth,
                        int frameHeight)
{
    const auto left = animationWord(turned, "FrameLeft");
    const auto top = animationWord(turned, "FrameTop");
    if (left || top) {
        const int l = left.value_or(0);
        const int t = top.value_or(0);
        int newLeft = l;
        int newTop = t;
        switch (quarterTurns) {
        case 1: newLeft = t; newTop = screenWidth - l - frameWidth; break;     // counter-clockwise
        case 2: newLeft = screenWidth - l - frameWidth; newTop = screenHeight - t - frameHeight; break;
        case 3: newLeft = screenHeight - t - frameHeight; newTop = l; break;  // clockwise
        default: break;
        }
        setAnimationWord(turned, "FrameLeft", newLeft);
        setAnimationWord(turned, "FrameTop", newTop);
    }
    if (quarterTurns % 2 == 1) {
        if (animationWord(turned, "LogicalWidth"))
            setAnimationWord(turned, "LogicalWidth", screenHeight);
        if (animationWord(turned, "LogicalHeight"))
            setAnimationWord(turned, "LogicalHeight", screenWidth);
    }
}

// The image library writes no icon of several pages: each page is stored as a PNG image,
// which icon readers have taken since 2007. Sizes stay within the icon's 256 pixels, since a
// quarter turn only swaps them.
bool writeIcon(const QString& path, const std::vector<fipSuperImage>& pages)
{
    QByteArray directory;
    QByteArray images;
    auto put16 = [&](int v) { directory += char(v & 255); directory += char((v >> 8) & 255); };
    auto put32 = [&](quint32 v) { put16(static_cast<int>(v & 0xFFFF)); put16(static_cast<int>(v >> 16)); };
    put16(0);
    put16(1);
    put16(static_cast<int>(pages.size()));
    const quint32 firstOffset = 6 + 16 * static_cast<quint32>(pages.size());
    for (const fipSuperImage& page : pages) {
        fipSuperImage deep(page);
        if (!deep.convertTo32Bits() || deep.getWidth() > 256 || deep.getHeight() > 256)
            return false;
        fipMemoryIO memory;
        if (!memory.save(FIF_PNG, deep, 0))
            return false;
        BYTE* bytes = nullptr;
        DWORD size = 0;
        if (!memory.acquire(&bytes, &size) || !bytes || size == 0)
            return false;
        directory += char(deep.getWidth() & 255);  // 256 is written as 0
        directory += char(deep.getHeight() & 255);
        directory += char(0);  // no palette
        directory += char(0);
        put16(1);   // planes
        put16(32);  // bits per pixel
        put32(size);
        put32(firstOffset + static_cast<quint32>(images.size()));
        images.append(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(directory) == directory.size()
           && file.write(images) == images.size() && file.flush();
}

}  // namespace

namespace PageRotation {

bool rotateEveryPage(const QString& path, double angle)
{
    const double turns = std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0);
    if (std::fmod(turns, 90.0) != 0.0)
        return false;
    const int quarterTurns = static_cast<int>(turns / 90.0);
    const FREE_IMAGE_FORMAT fif = fipSuperImage::getFileType(path);
    if (fif != FIF_TIFF && fif != FIF_GIF && fif != FIF_ICO)
        return false;
    ImageLibrary::ensureInitialised();
    // The pages are decoded by the helper, as for viewing: the file may come from anyone.
    const QByteArray source = NativePath::encode(path);
    return SafeSave::writeReplacing(path, [&](const QString& tempPath) {
        const int count = Decode::countPages(source);
        if (count <= 0)
            return false;
        int screenWidth = 0;
        int screenHeight = 0;
        std::vector<fipSuperImage> turnedPages;
        for (int i = 0; i < count; ++i) {
            Decode::Decoded page = Decode::decodeImage(source, i, 0, Decode::imageMemoryBudget());
            if (!page.ok())
                return false;
            const int width = static_cast<int>(FreeImage_GetWidth(page.dib.get()));
            const int height = static_cast<int>(FreeImage_GetHeight(page.dib.get()));
            if (i == 0) {
                screenWidth = animationWord(page.dib.get(), "LogicalWidth").value_or(width);
                screenHeight = animationWord(page.dib.get(), "LogicalHeight").value_or(height);
            }
            fipSuperImage turned;
            if (!turned.replace(page.dib.release()) || !turned.rotate(turns))
                return false;
            turnFramePlacement(turned, quarterTurns, screenWidth, screenHeight, width, height);
            turnedPages.push_back(std::move(turned));
        }
        if (fif == FIF_ICO)
            return writeIcon(tempPath, turnedPages);
        FIMULTIBITMAP* out = FreeImage_OpenMultiBitmap(fif, QFile::encodeName(tempPath).constData(), TRUE, FALSE, FALSE, 0);
        if (!out)
            return false;
        bool ok = true;
        for (std::size_t i = 0; ok && i < turnedPages.size(); ++i) {
            FreeImage_AppendPage(out, turnedPages[i]);
            ok = FreeImage_GetPageCount(out) == static_cast<int>(i) + 1;
        }
        return FreeImage_CloseMultiBitmap(out, 0) != FALSE && ok;
    });
}

}  // namespace PageRotation
