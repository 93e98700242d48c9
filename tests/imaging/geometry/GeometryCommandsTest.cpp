// The Image menu's geometry and depth commands on a stand-in viewer.
#include "imaging/geometry/CDlgRotate.h"
#include "imaging/geometry/DepthDialogs.h"
#include "imaging/geometry/GeometryCommands.h"
#include "imaging/geometry/Resample.h"
#include "imaging/geometry/Rotate.h"
#include "imaging/geometry/SizeDialogs.h"

#include "EffectTarget.h"
#include "TestFixtures.h"
#include "app/CommandIds.h"
#include "controls/CColorButton.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

using effecttest::FakeTarget;

namespace {

template <typename Dialog>
EffectUi answer(std::function<void(Dialog&)> fill)
{
    return EffectUi{[fill](QDialog& d) {
        auto& dialog = dynamic_cast<Dialog&>(d);
        fill(dialog);
        dialog.accept();
        return dialog.result();
    }};
}

const EffectUi kCancel{[](QDialog&) { return int(QDialog::Rejected); }};

void setComment(fipSuperImage& image)
{
    fipTag tag;
    tag.setKeyValue("Comment", "kept");
    image.setMetadata(FIMD_COMMENTS, "Comment", tag);
}

bool hasComment(const fipSuperImage& image)
{
    fipTag tag;
    return image.getMetadata(FIMD_COMMENTS, "Comment", tag) && QString::fromLatin1(tag.toString(FIMD_COMMENTS)) == "kept";
}

void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

TEST(GeometryCommands, ResizeKeepsMetadataAndTouchesOnlyAChangedResolution)
{
    struct Case { double dotsPerCm; QString dpiText; double expectedDotsPerCm; };
    const Case cases[] = {
        {72 / 2.54, "72", 72 / 2.54},            // unchanged DPI: the stored value stays as it was
        {0, "72", 0},                            // none stored: none written
        {72 / 2.54, "144", 144 * 0.39370078740157477},
    };
    for (const Case& c : cases) {
        fipSuperImage image = fixtures::patternImage(400, 300);
        image.setResolution(c.dotsPerCm, c.dotsPerCm);
        setComment(image);
        FakeTarget target(std::move(image));
        target.selection = QRect(1, 1, 5, 5);
        ASSERT_TRUE(geometry::run(cmd::Resize, target, answer<CDlgResize>([&](CDlgResize& d) {
            d.dpiEdit()->setText(c.dpiText);
            choose(d.standardSizeCombo(), 7);  // 50% of the pixels whatever the DPI
        })));
        EXPECT_EQ(target.image->getWidth(), 200u);
        EXPECT_EQ(target.image->getHeight(), 150u);
        EXPECT_NEAR(target.image->getResolutionX(), c.expectedDotsPerCm, 0.01);
        EXPECT_TRUE(hasComment(*target.image));
        EXPECT_TRUE(target.selection.isEmpty());
        EXPECT_EQ(target.snapshots, 1);
        EXPECT_EQ(target.marks, 1);
    }
}

// Our reduction gives the image library's pixels (within rounding) for every filter and depth;
// enlarging stays with the library.
// Zigzag ramps of 3 to 8 levels a pixel in four directions: steep enough that a sampling point
// half a pixel off shows, without the jumps where any two interpolations part.
fipSuperImage rampImage(unsigned width, unsigned height, unsigned bpp)
{
    const auto zigzag = [](int v) { return BYTE(std::abs(((v % 510) + 510) % 510 - 255)); };
    fipSuperImage image(FIT_BITMAP, width, height, 32);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const int i = int(x), j = int(y);
            RGBQUAD c{zigzag(4 * i + 4 * j), zigzag(5 * j - 3 * i), zigzag(8 * i + 3 * j), zigzag(6 * i - 5 * j + 100)};
            image.setPixelColor(x, y, &c);
        }
    }
    if (bpp != 32)
        image.convertTo24Bits();
    if (bpp == 8)
        image.convertToGrayscale();
    return image;
}

TEST(GeometryCommands, ResamplingMatchesTheLibrary)
{
    const FREE_IMAGE_FILTER filters[] = {FILTER_BOX, FILTER_BILINEAR, FILTER_BSPLINE,
                                         FILTER_BICUBIC, FILTER_CATMULLROM, FILTER_LANCZOS3};
    for (const unsigned bpp : {8u, 24u, 32u}) {
        fipSuperImage source = fixtures::patternImage(97, 61, 24);
        if (bpp == 8)
            source.convertToGrayscale();
        else if (bpp == 32)
            source.convertTo32Bits();
        for (const QSize size : {QSize(48, 30), QSize(97, 20), QSize(1, 1)}) {
            for (const FREE_IMAGE_FILTER filter : filters) {
                fipImage ours;
                ASSERT_TRUE(Resample::rescale(source, ours, unsigned(size.width()), unsigned(size.height()), filter));
                fipImage theirs(source);
                ASSERT_TRUE(theirs.rescale(unsigned(size.width()), unsigned(size.height()), filter));
                ASSERT_EQ(ours.getBitsPerPixel(), bpp);
                int worst = 0;
                for (unsigned y = 0; y < theirs.getHeight(); ++y)
                    for (unsigned x = 0; x < theirs.getLine(); ++x)
                        worst = std::max(worst, std::abs(int(ours.getScanLine(y)[x]) - int(theirs.getScanLine(y)[x])));
                EXPECT_LE(worst, 2) << bpp << " bits, filter " << int(filter) << ", " << size.width() << " wide";
            }
        }
        fipImage untouched;
        EXPECT_FALSE(Resample::rescale(source, untouched, 150, 30, FILTER_BILINEAR));
    }
}

// Inside the picture our bilinear samples and the library's three linear shears agree within a
// few levels; its border is blended over two or three pixels where ours takes one, so the
// border is compared by the area it covers.
TEST(GeometryCommands, RotationMatchesTheLibrary)
{
    const auto sum = [](const fipImage& image) {
        long total = 0;
        for (unsigned y = 0; y < image.getHeight(); ++y)
            for (unsigned x = 0; x < image.getLine(); ++x)
                total += image.getScanLine(y)[x];
        return total;
    };
    for (const QSize size : {QSize(97, 61), QSize(64, 120), QSize(1, 1)}) {
        const auto w = unsigned(size.width()), h = unsigned(size.height());
        fipSuperImage white(FIT_BITMAP, w, h, 24);
        RGBQUAD full{255, 255, 255, 255};
        white.clearSubImage(0, 0, int(w), int(h), full);
        white.convertToGrayscale();
        for (const double angle : {17.0, -33.5, 45.0, 60.0, -100.0, 135.5, 0.001, 180.0, 90.0}) {
            const std::string what = std::to_string(w) + " x " + std::to_string(h) + ", " + std::to_string(angle);
            fipImage coverage;
            // Quarter turns are exact copies and stay with the library.
            if (std::fmod(angle, 90.0) == 0) {
                EXPECT_FALSE(Rotate::rotate(white, coverage, angle)) << what;
                continue;
            }
            ASSERT_TRUE(Rotate::rotate(white, coverage, angle)) << what;
            fipImage libraryCoverage(white);
            ASSERT_TRUE(libraryCoverage.rotate(angle));
            const long area = sum(libraryCoverage);
            EXPECT_NEAR(double(sum(coverage)), double(area), area * 0.02 + 255) << what;
            for (const unsigned bpp : {8u, 24u, 32u}) {
                const fipSuperImage source = rampImage(w, h, bpp);
                fipImage ours;
                ASSERT_TRUE(Rotate::rotate(source, ours, angle)) << what;
                fipImage theirs(source);
                ASSERT_TRUE(theirs.rotate(angle)) << what;
                ASSERT_EQ(ours.getBitsPerPixel(), bpp);
                ASSERT_EQ(ours.getWidth(), theirs.getWidth()) << what;
                ASSERT_EQ(ours.getHeight(), theirs.getHeight()) << what;
                const unsigned channels = bpp / 8;
                int worst = 0;
                long differences = 0, compared = 0;
                for (unsigned y = 1; y + 1 < theirs.getHeight(); ++y)
                    for (unsigned x = 1; x + 1 < theirs.getWidth(); ++x) {
                        bool inside = true;
                        for (unsigned v = y - 1; v <= y + 1; ++v)
                            for (unsigned u = x - 1; u <= x + 1; ++u)
                                inside = inside && libraryCoverage.getScanLine(v)[u] == 255;
                        for (unsigned c = 0; inside && c < channels; ++c) {
                            const unsigned i = x * channels + c;
                            const int d = std::abs(int(ours.getScanLine(y)[i]) - int(theirs.getScanLine(y)[i]));
                            worst = std::max(worst, d);
                            differences += d;
                            ++compared;
                        }
                    }
                // Half a pixel off would show as 2 to 4 levels on average on these ramps.
                EXPECT_LE(worst, 4) << bpp << " bits, " << what;
                EXPECT_LE(double(differences), 0.6 * double(compared)) << bpp << " bits, " << what;
            }
        }
    }
}

TEST(GeometryCommands, ResizeToTheSmallestAndLargestSizes)
{
    for (const QSize size : {QSize(1, 1), QSize(9999, 9999)}) {
        FakeTarget target(fixtures::patternImage(4, 3, 8));
        geometry::run(cmd::Resize, target, answer<CDlgResize>([&](CDlgResize& d) {
            d.keepAspectBox()->setChecked(false);
            d.widthEdit()->setText(QString::number(size.width()));
            d.heightEdit()->setText(QString::number(size.height()));
        }));
        EXPECT_EQ(QSize(int(target.image->getWidth()), int(target.image->getHeight())), size);
    }
}

TEST(GeometryCommands, CancelledDialogsChangeNothing)
{
    for (const int id : {cmd::Resize, cmd::CanvasSize, cmd::CustomRotation, cmd::SetDpi, cmd::DepthCustom}) {
        FakeTarget target(fixtures::patternImage(40, 30));
        target.selection = QRect(1, 1, 5, 5);
        EXPECT_TRUE(geometry::run(id, target, kCancel));
        EXPECT_EQ(target.snapshots, 0) << id;
        EXPECT_EQ(target.marks, 0) << id;
        EXPECT_EQ(target.selection, QRect(1, 1, 5, 5));
        EXPECT_TRUE(fixtures::samePixels(*target.image, fixtures::patternImage(40, 30)));
    }
}

TEST(GeometryCommands, CanvasCropsOrExtendsAtEveryPosition)
{
    // A 4 x 3 pattern on a 2 x 2 canvas: the kept corner's pixel (top-down) per position.
    const QPoint kept[] = {{0, 0}, {1, 0}, {2, 0}, {0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}};
    for (int position = 0; position < 9; ++position) {
        FakeTarget target(fixtures::patternImage(4, 3));
        geometry::run(cmd::CanvasSize, target, answer<CDlgResizeCanvas>([&](CDlgResizeCanvas& d) {
            d.widthEdit()->setText("2");
            d.heightEdit()->setText("2");
            d.positionCombo()->setCurrentIndex(position);
        }));
        ASSERT_EQ(target.image->getWidth(), 2u);
        const RGBQUAD got = fixtures::pixelAt(*target.image, 0, 0);
        const RGBQUAD want = fixtures::patternColor(unsigned(kept[position].x()), unsigned(kept[position].y()));
        EXPECT_EQ(got.rgbRed, want.rgbRed) << position;
        EXPECT_EQ(got.rgbBlue, want.rgbBlue) << position;
    }
    // A larger canvas is filled with the button's colour; "Automatic" fills black.
    for (const auto& [color, red] : {std::pair{0xFF8000u, 255}, std::pair{kAutomaticColor, 0}}) {
        FakeTarget target(fixtures::patternImage(4, 3));
        setComment(*target.image);
        geometry::run(cmd::CanvasSize, target, answer<CDlgResizeCanvas>([&](CDlgResizeCanvas& d) {
            d.widthEdit()->setText("10");
            d.positionCombo()->setCurrentIndex(0);
            d.colorButton()->setColor(color);
        }));
        EXPECT_EQ(target.image->getWidth(), 10u);
        EXPECT_EQ(fixtures::pixelAt(*target.image, 9, 2).rgbRed, red);
        EXPECT_TRUE(hasComment(*target.image));
    }
}

TEST(GeometryCommands, CustomRotationByAnyAngle)
{
    struct Case { QString angle; QSize size; };
    const Case cases[] = {{"0", {100, 50}}, {"360", {100, 50}}, {"-180", {100, 50}}, {"90", {50, 100}},
                          {"0.001", {101, 51}}, {"17", {0, 0}}};
    for (const Case& c : cases) {
        FakeTarget target(fixtures::patternImage(100, 50));
        target.selection = QRect(0, 0, 5, 5);
        geometry::run(cmd::CustomRotation, target, answer<CDlgRotate>([&](CDlgRotate& d) {
            d.findChild<QLineEdit*>()->setText(c.angle);
        }));
        EXPECT_EQ(target.marks, 1) << c.angle.toStdString();
        EXPECT_TRUE(target.selection.isEmpty());
        if (!c.size.isEmpty())
            EXPECT_EQ(QSize(int(target.image->getWidth()), int(target.image->getHeight())), c.size)
                << c.angle.toStdString();
        else
            EXPECT_GT(target.image->getWidth(), 100u);  // the turned picture fits inside a larger one
    }
}

TEST(GeometryCommands, SetDpiStoresDotsPerCentimetreAndMarks)
{
    FakeTarget target(fixtures::patternImage(10, 10));
    target.image->setResolution(0, 0);
    geometry::run(cmd::SetDpi, target, answer<CDlgSetDPI>([](CDlgSetDPI& d) {
        EXPECT_EQ(d.xEdit()->text(), "72");  // none stored shows 72
        d.yEdit()->setText("300");
    }));
    // The library keeps whole dots per metre.
    EXPECT_NEAR(target.image->getResolutionX(), 28.3464566929, 0.005);
    EXPECT_NEAR(target.image->getResolutionY(), 118.11023622, 0.005);
    EXPECT_EQ(target.marks, 1);
    EXPECT_EQ(target.snapshots, 1);
}

TEST(GeometryCommands, EveryDepthCommandOnEveryDepth)
{
    struct Fixed { int id; unsigned bpp; };
    const Fixed fixed[] = {{cmd::DepthBlackAndWhite, 1}, {cmd::Depth8Grays, 8}, {cmd::Depth16Grays, 8},
                           {cmd::Depth256Grays, 8},      {cmd::Depth8Colors, 8}, {cmd::Depth16Colors, 8},
                           {cmd::Depth256Colors, 8},     {cmd::Depth24Bit, 24},  {cmd::Depth32Bit, 32}};
    for (const unsigned depth : {1u, 4u, 8u, 16u, 24u, 32u}) {
        for (const Fixed& f : fixed) {
            FakeTarget target(fixtures::patternImage(33, 17, 24));
            ASSERT_TRUE(target.image->adjustBPP(WORD(depth == 16 ? 24 : depth), FALSE, 0) || depth == 16);
            if (depth == 16)
                *target.image = fipSuperImage(FIT_BITMAP, 33, 17, 16);
            ASSERT_TRUE(geometry::isEnabled(f.id, target.image.get(), true));
            geometry::run(f.id, target);
            EXPECT_EQ(target.image->getBPP(), f.bpp) << depth << " -> " << f.id;
            EXPECT_EQ(target.marks, target.snapshots);
            // And back to true colour.
            geometry::run(cmd::Depth24Bit, target);
            EXPECT_EQ(target.image->getBPP(), 24u);
        }
    }
    FakeTarget custom(fixtures::patternImage(20, 20));
    geometry::run(cmd::DepthCustom, custom, answer<CDlgChangeBPP>([](CDlgChangeBPP& d) {
        d.chooseDepth(1);
        d.limitBox()->click();
        d.colorsEdit()->setText("5");
    }));
    EXPECT_EQ(custom.image->getBPP(), 4u);
    EXPECT_LE(custom.image->getUniqueColors(), 5u);
}

TEST(GeometryCommands, EnablingRules)
{
    const fipSuperImage rgbf(FIT_RGBF, 4, 4, 96);
    const fipSuperImage complex(FIT_COMPLEX, 4, 4, 128);
    const fipSuperImage uint16(FIT_UINT16, 4, 4, 16);
    const fipSuperImage four(FIT_BITMAP, 4, 4, 4);
    const fipSuperImage rgb = fixtures::patternImage(4, 4);
    struct Case { int id; const fipSuperImage* image; bool viewer; bool enabled; };
    const Case cases[] = {
        {cmd::Resize, &rgbf, true, true},          {cmd::Resize, &complex, true, false},
        {cmd::Resize, nullptr, true, false},        {cmd::CanvasSize, &uint16, true, false},
        {cmd::CanvasSize, &rgb, false, true},       {cmd::CustomRotation, &four, true, false},
        {cmd::CustomRotation, &rgb, false, false},  {cmd::CustomRotation, &rgb, true, true},
        {cmd::SetDpi, &complex, true, true},        {cmd::SetDpi, nullptr, true, false},
        {cmd::Depth8Grays, &uint16, true, false},   {cmd::DepthCustom, &four, false, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(geometry::isEnabled(c.id, c.image, c.viewer), c.enabled) << c.id;
}

}  // namespace
