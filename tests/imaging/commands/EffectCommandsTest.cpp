// The effect commands on a stand-in for the viewer: the enabling rules by depth, the whole
// image and selection paths, the exceptions, and what a cancel or a failure leaves behind.
#include "EffectTarget.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "imaging/commands/EffectCommands.h"
#include "imaging/dialogs/CDlgAsciiArt.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>

#include <map>
#include <vector>

using effecttest::FakeTarget;
using fixtures::patternImage;
using fixtures::pixelAt;
using fixtures::samePixels;

namespace {

EffectUi accepting()
{
    return EffectUi{[](QDialog& d) {
        d.accept();
        return d.result();
    }};
}

EffectUi cancelling()
{
    return EffectUi{[](QDialog&) { return int(QDialog::Rejected); }};
}

struct Boxes {
    std::vector<MessageBoxSeam::Request> shown;
    MessageBoxSeam::Handler previous;
    Boxes()
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            shown.push_back(r);
            return QMessageBox::Ok;
        });
    }
    ~Boxes() { MessageBoxSeam::setHandler(previous); }
};

fipSuperImage imageOf(FREE_IMAGE_TYPE type, unsigned bpp)
{
    if (type == FIT_BITMAP && bpp >= 24)
        return patternImage(16, 12, bpp);
    fipSuperImage img(type, 16, 12, bpp);
    if (bpp > 0 && bpp <= 8) {
        RGBQUAD* palette = img.getPalette();
        for (unsigned i = 0; i < (1u << bpp); ++i)
            palette[i] = RGBQUAD{BYTE(i * 255 / ((1u << bpp) - 1)), BYTE(i), BYTE(255 - i), 0};
    }
    return img;
}

const std::vector<int>& allCommands()
{
    static const std::vector<int> ids = {
        cmd::Negative, cmd::Grayscale, cmd::BlackAndWhite, cmd::Threshold, cmd::Colorize, cmd::Sepia, cmd::Solarize,
        cmd::GaussianBlur3, cmd::GaussianBlur5, cmd::AverageBlur, cmd::Soften, cmd::Sharpen, cmd::AddNoise,
        cmd::Emboss, cmd::Erode, cmd::EdgeDetectLight, cmd::EdgeDetectMedium, cmd::EdgeDetectHeavy, cmd::Spread,
        cmd::Stripe, cmd::Wind, cmd::Mosaic, cmd::EnhanceColors, cmd::AdjustHsl, 33293, 33294, 33295, 33296, 33297,
        cmd::VerticalFlip, cmd::HorizontalFlip, cmd::RotateLeft, cmd::RotateRight, cmd::Rotate180,
        cmd::RedEyeReduction};
    return ids;
}

}  // namespace

TEST(EffectCommands, EnablingFollowsTypeAndDepth)
{
    // Depths (bitmaps) 1 4 8 16 24 32, then 16 bits per channel and float.
    struct Row {
        int id;
        const char* expected;  // one character per image below, 1 = enabled
    };
    const std::vector<std::pair<FREE_IMAGE_TYPE, unsigned>> images = {
        {FIT_BITMAP, 1}, {FIT_BITMAP, 4}, {FIT_BITMAP, 8}, {FIT_BITMAP, 16},
        {FIT_BITMAP, 24}, {FIT_BITMAP, 32}, {FIT_RGB16, 48}, {FIT_FLOAT, 32}};
    const Row rows[] = {
        {cmd::Grayscale, "11111100"},       {cmd::AddNoise, "00001100"},      {cmd::RedEyeReduction, "00001100"},
        {cmd::CountColors, "11101100"},     {cmd::EnhanceColors, "00101100"}, {cmd::AdjustHsl, "01101100"},
        {cmd::Mosaic, "00001100"},          {cmd::Sepia, "00001100"},         {cmd::Sharpen, "11111111"},
        {cmd::AverageBlur, "11111111"},     {cmd::Negative, "11111100"},      {cmd::Solarize, "00001100"},
        {cmd::RotateLeft, "10101100"},      {cmd::VerticalFlip, "11111111"},  {33297, "11111100"},
    };
    for (const Row& row : rows)
        for (size_t i = 0; i < images.size(); ++i) {
            const fipSuperImage img = imageOf(images[i].first, images[i].second);
            EXPECT_EQ(effects::isEnabled(row.id, &img, true), row.expected[i] == '1')
                << "command " << row.id << " on image " << i;
        }
    // Without an image only the flips are on; Enhance Colors and the viewer's own need the viewer.
    EXPECT_TRUE(effects::isEnabled(cmd::VerticalFlip, nullptr, true));
    EXPECT_FALSE(effects::isEnabled(cmd::Sharpen, nullptr, true));
    const fipSuperImage photo = patternImage(8, 8);
    for (int id : {int(cmd::EnhanceColors), int(cmd::Negative), int(cmd::RotateLeft), int(cmd::HorizontalFlip)})
        EXPECT_FALSE(effects::isEnabled(id, &photo, false)) << id;
    EXPECT_TRUE(effects::isEnabled(cmd::Sepia, &photo, false));
}

TEST(EffectCommands, SelectionPathChangesOnlyTheSelectedPixels)
{
    FakeTarget target(patternImage(40, 30));
    const fipSuperImage before = *target.image;
    target.selection = QRect(10, 5, 12, 8);
    ASSERT_TRUE(effects::run(cmd::Sharpen, target, accepting()));
    EXPECT_EQ(target.snapshots, 1);
    EXPECT_EQ(target.marks, 1);
    bool changedInside = false;
    for (unsigned y = 0; y < 30; ++y)
        for (unsigned x = 0; x < 40; ++x) {
            const RGBQUAD a = pixelAt(before, x, y), b = pixelAt(*target.image, x, y);
            const bool same = a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
            if (target.selection.contains(int(x), int(y)))
                changedInside = changedInside || !same;
            else
                ASSERT_TRUE(same) << x << "," << y;
        }
    EXPECT_TRUE(changedInside);

    // A selection holding the whole image (and more) changes it as no selection does.
    FakeTarget whole(before), plain(before);
    whole.selection = QRect(-3, -2, 50, 40);
    ASSERT_TRUE(effects::run(cmd::Sharpen, whole, accepting()));
    ASSERT_TRUE(effects::run(cmd::Sharpen, plain, accepting()));
    EXPECT_EQ(whole.snapshots, 1);
    EXPECT_EQ(whole.selection, QRect(-3, -2, 50, 40));
    for (unsigned y = 0; y < 30; ++y)
        for (unsigned x = 0; x < 40; ++x)
            ASSERT_EQ(pixelAt(*whole.image, x, y).rgbGreen, pixelAt(*plain.image, x, y).rgbGreen) << x << "," << y;
}

TEST(EffectCommands, RotationsAndWholeImageCommandsIgnoreTheSelection)
{
    FakeTarget rotated(patternImage(100, 50));
    rotated.selection = QRect(5, 5, 10, 10);
    effects::run(cmd::RotateLeft, rotated, accepting());
    EXPECT_EQ(rotated.image->getWidth(), 50u);
    EXPECT_EQ(rotated.image->getHeight(), 100u);
    EXPECT_TRUE(rotated.selection.isEmpty());
    EXPECT_EQ(rotated.snapshots, 1);

    FakeTarget grey(patternImage(20, 10));
    grey.selection = QRect(0, 0, 4, 4);
    effects::run(cmd::Grayscale, grey, accepting());
    EXPECT_EQ(grey.image->getBPP(), 8u);  // the whole image became grey
    EXPECT_FALSE(grey.selection.isEmpty());
}

TEST(EffectCommands, CancelFailureAndBadSelectionsLeaveNoTrace)
{
    Boxes boxes;
    struct Case {
        const char* what;
        int id;
        fipSuperImage image;
        QRect selection;
        EffectUi ui;
    };
    std::vector<Case> cases;
    for (int id : allCommands())
        if (!effects::fixedOperation(id))
            cases.push_back({"cancelled", id, patternImage(30, 20), QRect(), cancelling()});
    cases.push_back({"selection past the edge", cmd::Sharpen, patternImage(30, 20), QRect(20, 10, 30, 30), accepting()});
    cases.push_back({"selection left of the image", cmd::Negative, patternImage(30, 20), QRect(-5, 0, 10, 10), accepting()});
    // Commands that reach an image type their enabling rule would keep them off.
    for (int id : allCommands())
        for (FREE_IMAGE_TYPE type : {FIT_COMPLEX, FIT_FLOAT, FIT_RGB16})
            cases.push_back({"unhandled type", id,
                             fipSuperImage(type, 8, 8, type == FIT_COMPLEX ? 128 : type == FIT_FLOAT ? 32 : 48),
                             QRect(), accepting()});
    for (Case& c : cases) {
        FakeTarget target(c.image);
        target.selection = c.selection;
        effects::run(c.id, target, c.ui);
        // Where the enabling rule lets a command through, the library may still handle the
        // image (the blurs on float pixels), or fail after the snapshot: then nothing changed.
        if (std::string(c.what) == "unhandled type" && effects::isEnabled(c.id, &c.image, true)) {
            EXPECT_LE(target.snapshots, 1) << c.id;
            if (target.marks == 0)
                EXPECT_TRUE(samePixels(*target.image, c.image)) << c.id;
            continue;
        }
        EXPECT_EQ(target.snapshots, 0) << c.what << " " << c.id;
        EXPECT_EQ(target.marks, 0) << c.what << " " << c.id;
        EXPECT_TRUE(samePixels(*target.image, c.image)) << c.what << " " << c.id;
    }
}

TEST(EffectCommands, EveryCommandSurvivesAOnePixelImageWithOneSnapshot)
{
    for (int id : allCommands()) {
        FakeTarget target(patternImage(1, 1));
        target.selection = id == cmd::RedEyeReduction ? QRect(0, 0, 1, 1) : QRect();
        effects::run(id, target, accepting());
        EXPECT_LE(target.snapshots, 1) << id;
        EXPECT_EQ(target.snapshots, target.marks) << id;
    }
}

TEST(EffectCommands, ImageReplacedWhileTheDialogIsOpenIsLeftAlone)
{
    FakeTarget target(patternImage(30, 20));
    const EffectUi stepAway{[&target](QDialog& d) {
        target.replaceImage(std::make_unique<fipSuperImage>(patternImage(5, 5)));
        d.accept();
        return d.result();
    }};
    effects::run(cmd::Emboss, target, stepAway);
    EXPECT_EQ(target.snapshots, 0);
    EXPECT_TRUE(samePixels(*target.image, patternImage(5, 5)));
    // And with the image closed altogether.
    const EffectUi close{[&target](QDialog& d) {
        target.replaceImage(nullptr);
        d.accept();
        return d.result();
    }};
    target.replaceImage(std::make_unique<fipSuperImage>(patternImage(30, 20)));
    effects::run(cmd::AdjustHsl, target, close);
    EXPECT_EQ(target.snapshots, 0);
}

TEST(EffectCommands, MessagesOfRedEyeAndCountColors)
{
    Boxes boxes;
    FakeTarget target(fipSuperImage(FIT_BITMAP, 4, 3, 24));  // one colour: black
    effects::run(cmd::RedEyeReduction, target, accepting());
    effects::run(cmd::CountColors, target, accepting());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].caption, "Red Eye Reduction");
    EXPECT_EQ(boxes.shown[0].text, "The feature works only on selections.\nCreate first a selection in the image "
                                   "using the left mouse button.");
    EXPECT_EQ(boxes.shown[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes.shown[1].caption, "Unique Colors");
    EXPECT_EQ(boxes.shown[1].text, "The number of unique colors is: 1.");
    EXPECT_EQ(target.snapshots + target.marks, 0);
}

TEST(EffectCommands, EnhanceColorsMarksEvenWhenNothingChanges)
{
    FakeTarget target(patternImage(10, 10));
    effects::run(cmd::EnhanceColors, target, accepting());
    EXPECT_EQ(target.snapshots, 1);
    EXPECT_EQ(target.marks, 1);
}

TEST(EffectCommands, AsciiArtCopiesAndSavesItsText)
{
    fixtures::TempDir dir;
    Boxes boxes;
    FakeTarget target(patternImage(64, 48));
    QString copied, saved;
    const EffectUi ui{[&](QDialog& d) {
        auto& art = dynamic_cast<CDlgAsciiArt&>(d);
        EXPECT_FALSE(art.text().isEmpty());
        EXPECT_LE(art.text().size(), 10000);
        art.setSavePathChooser([&](QWidget*) { return std::optional<QString>(dir.file("art.txt")); });
        art.copyButton()->click();
        copied = QGuiApplication::clipboard()->text();
        art.saveButton()->click();
        saved = QString::fromLatin1(fixtures::readFile(dir.file("art.txt")));
        EXPECT_EQ(copied, art.text());
        return int(QDialog::Accepted);
    }};
    effects::run(cmd::AsciiArt, target, ui);
    EXPECT_FALSE(copied.isEmpty());
    EXPECT_EQ(saved, copied);
    EXPECT_EQ(target.snapshots, 0);
    EXPECT_TRUE(boxes.shown.empty());
}
