#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

// Page k is a flat image of grey level 40 * (k + 1) and width 10 + k, so pages are told apart
// by both.
fipSuperImage pageImage(int k)
{
    fipSuperImage page(FIT_BITMAP, static_cast<unsigned>(10 + k), 8, 24);
    RGBQUAD c = {static_cast<BYTE>(40 * (k + 1)), static_cast<BYTE>(40 * (k + 1)), static_cast<BYTE>(40 * (k + 1)), 0};
    FreeImage_FillBackground(page, &c, 0);
    return page;
}

int pageId(fipMultiPage& file, int index)
{
    fipImage page;
    page = file.lockPage(index);
    if (!page.isValid())
        return -1;
    const int id = static_cast<int>(page.getWidth()) - 10;
    file.unlockPage(page, FALSE);
    return id;
}

QString makeThreePageTiff(const fixtures::TempDir& dir)
{
    const QString path = dir.file(QStringLiteral("pages.tif"));
    fipMultiPage file;
    EXPECT_TRUE(file.open(QFile::encodeName(path).constData(), TRUE, FALSE));
    for (int k = 0; k < 3; ++k) {
        fipSuperImage page = pageImage(k);
        file.appendPage(page);
    }
    EXPECT_TRUE(file.close());
    return path;
}

TEST(PagesTest, ThreePageTiff)
{
    fixtures::TempDir dir;
    const QString path = makeThreePageTiff(dir);
    EXPECT_TRUE(fipSuperImage::isMultiPageFile(path));
    EXPECT_FALSE(fipSuperImage::isMultiPageFile(fixtures::writePatternJpeg(dir.file(QStringLiteral("a.jpg")), 16, 16)));

    fipMultiPage file;
    ASSERT_TRUE(file.open(QFile::encodeName(path).constData(), FALSE, TRUE));
    ASSERT_EQ(file.getPageCount(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(pageId(file, k), k);
    EXPECT_EQ(file.lockPage(3), nullptr);
    EXPECT_TRUE(file.close());
}

TEST(PagesTest, AppendInsertDelete)
{
    fixtures::TempDir dir;
    const QString path = makeThreePageTiff(dir);
    {
        fipMultiPage file;
        ASSERT_TRUE(file.open(QFile::encodeName(path).constData(), FALSE, FALSE));
        fipSuperImage fourth = pageImage(3);
        file.appendPage(fourth);
        fipSuperImage first = pageImage(4);
        file.insertPage(0, first);
        file.deletePage(2);  // page 1 of the original
        ASSERT_TRUE(file.close());
    }
    fipMultiPage file;
    ASSERT_TRUE(file.open(QFile::encodeName(path).constData(), FALSE, TRUE));
    ASSERT_EQ(file.getPageCount(), 4);
    const int expected[] = {4, 0, 2, 3};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(pageId(file, k), expected[k]) << k;
    // The first page loads as the image of the file.
    fipSuperImage image;
    ASSERT_TRUE(image.load(path));
    EXPECT_EQ(image.getWidth(), 14u);
}

}  // namespace
