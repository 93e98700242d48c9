#include "app/CommandIds.h"
#include "browser/FileCommands.h"
#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>

namespace {

// Page k is grey, 10 + k wide and 8 high, with a black top-left pixel that shows where a
// turn took it.
fipSuperImage markedPage(int k, unsigned bpp)
{
    fipSuperImage page(FIT_BITMAP, static_cast<unsigned>(10 + k), 8, 24);
    const RGBQUAD grey = {160, 160, 160, 0};
    const RGBQUAD black = {0, 0, 0, 0};
    FreeImage_FillBackground(page, &grey, 0);
    FreeImage_SetPixelColor(page, 0, 7, const_cast<RGBQUAD*>(&black));  // bottom-up rows
    if (bpp == 8)
        page.convertTo8Bits();
    else if (bpp == 32)
        page.convertTo32Bits();
    return page;
}

// The image library cannot write an icon of several pages: one made by hand, PNG in each entry.
QByteArray iconOf4Pages()
{
    QByteArray directory("\0\0\1\0\4\0", 6);
    QByteArray images;
    for (int k = 0; k < 4; ++k) {
        QImage page(10 + k, 8, QImage::Format_ARGB32);
        page.fill(qRgb(160, 160, 160));
        page.setPixel(0, 0, qRgb(0, 0, 0));
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        page.save(&png, "PNG");
        const quint32 size = static_cast<quint32>(png.data().size());
        const quint32 offset = 6 + 16 * 4 + static_cast<quint32>(images.size());
        directory += char(10 + k);
        directory += QByteArray("\x08\0\0\1\0\x20\0", 7);
        for (quint32 v : {size, offset})
            for (int b = 0; b < 4; ++b)
                directory += char((v >> (8 * b)) & 255);
        images += png.data();
    }
    return directory + images;
}

}  // namespace

TEST(RotateFilesTest, EveryPageOfAMultiPageFileTurns)
{
    struct Case {
        const char* name;
        FREE_IMAGE_FORMAT format;
        unsigned bpp;
    };
    const Case cases[] = {{"pages.tif", FIF_TIFF, 24}, {"pages.gif", FIF_GIF, 8}, {"pages.ico", FIF_ICO, 32}};
    fixtures::TempDir dir;
    for (const Case& c : cases) {
        const QString path = dir.file(QString::fromLatin1(c.name));
        if (c.format == FIF_ICO) {
            ASSERT_TRUE(fixtures::writeFile(path, iconOf4Pages()));
        } else {
            fipMultiPage file;
            ASSERT_TRUE(file.open(QFile::encodeName(path).constData(), TRUE, FALSE));
            for (int k = 0; k < 4; ++k) {
                fipSuperImage page = markedPage(k, c.bpp);
                file.appendPage(page);
            }
            ASSERT_TRUE(file.close(0));
        }
        FileCommands::ListContext context;
        context.selected = {QFile::encodeName(path)};
        context.current = context.selected.front();
        context.currentSelected = context.currentIsImage = context.allSelectedImages = true;
        ASSERT_TRUE(FileCommands::runListCommand(cmd::RotateLeft, context)) << c.name;

        fipMultiPage file;
        ASSERT_TRUE(file.open(QFile::encodeName(path).constData(), FALSE, TRUE));
        ASSERT_EQ(file.getPageCount(), 4) << c.name;
        for (int k = 0; k < 4; ++k) {
            fipImage locked;
            locked = file.lockPage(k);
            fipSuperImage page;
            page = locked;
            file.unlockPage(locked, FALSE);
            // A quarter turn to the left takes the top-left corner to the bottom-left.
            EXPECT_EQ(page.getWidth(), 8u) << c.name << " page " << k;
            ASSERT_EQ(page.getHeight(), 10u + k) << c.name << " page " << k;
            EXPECT_EQ(fixtures::pixelAt(page, 0, 9 + k).rgbGreen, 0) << c.name << " page " << k;
            EXPECT_EQ(fixtures::pixelAt(page, 7, 0).rgbGreen, 160) << c.name << " page " << k;
        }
        file.close(0);
    }
}
