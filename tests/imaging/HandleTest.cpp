#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

fipSuperImage imageOfKind(FREE_IMAGE_TYPE type, unsigned bpp)
{
    fipSuperImage image = fixtures::patternImage(37, 11);  // odd width: rows have padding
    if (type != FIT_BITMAP) {
        image.convertToType(type);
        return image;
    }
    switch (bpp) {
    case 1: image.threshold(90); break;
    case 4: image.convertTo4Bits(); break;
    case 8: image.colorQuantize(FIQ_WUQUANT); break;
    case 16: image.convertTo16Bits555(); break;
    case 32: image.convertTo32Bits(); break;
    default: break;
    }
    return image;
}

TEST(HandleTest, EveryTypeAndDepthComesBackBitExactly)
{
    const struct {
        FREE_IMAGE_TYPE type;
        unsigned bpp;
    } kinds[] = {{FIT_BITMAP, 1}, {FIT_BITMAP, 4}, {FIT_BITMAP, 8}, {FIT_BITMAP, 16}, {FIT_BITMAP, 24},
                 {FIT_BITMAP, 32}, {FIT_UINT16, 16}, {FIT_RGB16, 48}, {FIT_RGBA16, 64}, {FIT_FLOAT, 32},
                 {FIT_RGBF, 96}, {FIT_RGBAF, 128}};
    for (const auto& kind : kinds) {
        fipSuperImage image = imageOfKind(kind.type, kind.bpp);
        ASSERT_TRUE(image.isValid());
        ASSERT_EQ(image.getImageType(), kind.type);
        ASSERT_EQ(image.getBPP(), kind.bpp);
        image.setResolution(47.24, 11.81);
        const QByteArray handle = image.copyToHandle();
        EXPECT_EQ(static_cast<unsigned>(handle.size()), image.getDIBSize());

        fipSuperImage restored;
        ASSERT_TRUE(restored.copyFromHandle(handle)) << kind.type << "/" << kind.bpp;
        EXPECT_TRUE(fixtures::samePixels(restored, image)) << kind.type << "/" << kind.bpp;
        EXPECT_EQ(restored.getPaletteSize(), image.getPaletteSize());
        if (image.getPaletteSize()) {
            EXPECT_EQ(std::memcmp(restored.getPalette(), image.getPalette(), image.getPaletteSize()), 0);
        }
        EXPECT_EQ(FreeImage_GetRedMask(restored), FreeImage_GetRedMask(image));
        EXPECT_EQ(FreeImage_GetDotsPerMeterX(restored), FreeImage_GetDotsPerMeterX(image));
    }
}

TEST(HandleTest, TransparencyAndMetadataComeBack)
{
    fipSuperImage image = imageOfKind(FIT_BITMAP, 8);
    BYTE table[4] = {0, 64, 128, 255};
    image.setTransparencyTable(table, 4);
    fipTag comment;
    ASSERT_TRUE(comment.setKeyValue("Comment", "kept through undo"));
    ASSERT_TRUE(image.setMetadata(FIMD_COMMENTS, "Comment", comment));

    fipSuperImage restored;
    ASSERT_TRUE(restored.copyFromHandle(image.copyToHandle()));
    ASSERT_EQ(restored.getTransparencyCount(), 4u);
    EXPECT_EQ(std::memcmp(restored.getTransparencyTable(), table, 4), 0);
    EXPECT_TRUE(restored.isTransparent());
    fipTag back;
    ASSERT_TRUE(restored.getMetadata(FIMD_COMMENTS, "Comment", back));
    EXPECT_STREQ(static_cast<const char*>(back.getValue()), "kept through undo");
}

TEST(HandleTest, DamagedBuffersAreRefusedAndTheImageKept)
{
    const fipSuperImage original = fixtures::patternImage(16, 16);
    fipSuperImage image(original);
    const QByteArray handle = fixtures::patternImage(8, 8).copyToHandle();
    EXPECT_FALSE(image.copyFromHandle(QByteArray()));
    EXPECT_FALSE(image.copyFromHandle(handle.left(handle.size() - 1)));
    EXPECT_FALSE(image.copyFromHandle(handle + "x"));
    QByteArray wrongMagic = handle;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(image.copyFromHandle(wrongMagic));
    QByteArray garbage(4096, '\x5a');
    EXPECT_FALSE(image.copyFromHandle(garbage));
    EXPECT_TRUE(fixtures::samePixels(image, original));
    EXPECT_TRUE(fipSuperImage().copyToHandle().isEmpty());
}

}  // namespace
