#include "viewer/EditViewSettings.h"
#include "viewer/ImageSequence.h"
#include "viewer/SaveFileLogic.h"
#include "viewer/SelectionLogic.h"
#include "viewer/ViewerCommands.h"
#include "viewer/ViewerNavigation.h"

#include "app/ProfileFile.h"
#include "TestFixtures.h"

#include <gtest/gtest.h>

namespace {

const SelBox kExtent{0, 0, 1000, 800};

TEST(ConstrainToRatio, ShortensTheWidthKeepingTheAnchorCorner)
{
    // 10:15 portrait over a 300 x 100 drag: the width gives way, the height is never enlarged.
    const double r = *ratioPreset(vcmd::SelRatio10x15, SelOrientation::Portrait);
    EXPECT_EQ(ConstrainToRatio({100, 100, 400, 200}, 0, r, kExtent), (SelBox{100, 100, 167, 200}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 400, 200}, 2, r, kExtent), (SelBox{100, 100, 167, 200}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 400, 200}, 1, r, kExtent), (SelBox{333, 100, 400, 200}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 400, 200}, 3, r, kExtent), (SelBox{333, 100, 400, 200}));
}

TEST(ConstrainToRatio, ShortensTheHeightTowardsTheAnchor)
{
    // 3:4 landscape over a tall drag.
    const double r = *ratioPreset(vcmd::SelRatio3x4, SelOrientation::Landscape);
    EXPECT_EQ(ConstrainToRatio({100, 100, 200, 400}, 0, r, kExtent), (SelBox{100, 100, 200, 175}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 200, 400}, 1, r, kExtent), (SelBox{100, 100, 200, 175}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 200, 400}, 2, r, kExtent), (SelBox{100, 325, 200, 400}));
    EXPECT_EQ(ConstrainToRatio({100, 100, 200, 400}, 3, r, kExtent), (SelBox{100, 325, 200, 400}));
}

TEST(ConstrainToRatio, ClampsToTheImageFirstAndLeavesFramesAlreadyInRatio)
{
    EXPECT_EQ(ConstrainToRatio({-50, -10, 1200, 900}, 0, 0, kExtent), kExtent);
    // 1:1 clamped to 600 x 800 at the right edge, then made square from the anchor.
    EXPECT_EQ(ConstrainToRatio({400, 0, 1100, 800}, 0, 1.0, kExtent), (SelBox{400, 0, 1000, 600}));
    // 9:13 with 90 x 130 is in ratio.
    const double r = *ratioPreset(vcmd::SelRatio9x13, SelOrientation::Portrait);
    EXPECT_EQ(ConstrainToRatio({0, 0, 90, 130}, 0, r, kExtent), (SelBox{0, 0, 90, 130}));
    EXPECT_TRUE(isInRatio(20, 25, *ratioPreset(vcmd::SelRatio20x25, SelOrientation::Portrait)));
    EXPECT_FALSE(isInRatio(25, 20, *ratioPreset(vcmd::SelRatio20x25, SelOrientation::Portrait)));
}

TEST(SelectionDrag, NewFramesAndCornersAnchorWhereTheDragStarted)
{
    // The pointer up and to the left of the press: the press is the bottom-right corner.
    EXPECT_EQ(dragNewFrame({400, 400}, {100, 300}, 1.0, kExtent), (SelBox{300, 300, 400, 400}));
    // Dragging the top-left handle keeps the bottom-right corner of the frame.
    const SelBox frame{100, 100, 300, 300};
    EXPECT_EQ(dragCorner(frame, HitTopLeft, {50, 150}, 0, kExtent), (SelBox{50, 150, 300, 300}));
    EXPECT_EQ(dragCorner(frame, HitBottomLeft, {150, 500}, 0, kExtent), (SelBox{150, 100, 300, 500}));
}

TEST(SelectionDrag, EdgeDragsSetTheOtherSideFromTheRatio)
{
    const SelBox frame{0, 0, 100, 100};
    // Right edge out to 150 with 1:1: the bottom follows to 150.
    EXPECT_EQ(dragEdge(frame, HitRight, {150, 50}, 1.0, kExtent), (SelBox{0, 0, 150, 150}));
    // The same against an image only 120 high: the constraint trims the width back.
    EXPECT_EQ(dragEdge(frame, HitRight, {150, 50}, 1.0, {0, 0, 1000, 120}), (SelBox{0, 0, 120, 120}));
    // Free: only the dragged edge moves; past the fixed edge the two swap.
    EXPECT_EQ(dragEdge(frame, HitTop, {50, 30}, 0, kExtent), (SelBox{0, 30, 100, 100}));
    EXPECT_EQ(dragEdge(frame, HitTop, {50, 160}, 0, kExtent), (SelBox{0, 100, 100, 160}));
    EXPECT_EQ(dragEdge(frame, HitLeft, {130, 50}, 0, kExtent), (SelBox{100, 0, 130, 100}));
    // Bottom edge with 1:2 portrait (width half the height).
    EXPECT_EQ(dragEdge({100, 100, 200, 200}, HitBottom, {150, 400}, 0.5, kExtent), (SelBox{100, 100, 250, 400}));
}

TEST(SelectionMove, StopsAtTheImageEdgeAndFollowsThePointerBackAtOnce)
{
    const SelBox frame{100, 100, 200, 200};
    MovedFrame m = moveFrame(frame, {150, 150}, {20, 150}, kExtent);
    EXPECT_EQ(m.frame, (SelBox{0, 100, 100, 200}));
    EXPECT_EQ(m.press, QPoint(120, 150));  // 30 pixels went past the edge
    // Ten pixels back to the right move the frame ten pixels right, not nothing.
    m = moveFrame(frame, m.press, {30, 150}, kExtent);
    EXPECT_EQ(m.frame, (SelBox{10, 100, 110, 200}));
    m = moveFrame(frame, {150, 150}, {1500, 1500}, kExtent);
    EXPECT_EQ(m.frame, (SelBox{900, 700, 1000, 800}));
}

TEST(SelectionOrientation, SwapsAtTheTopLeftAndStaysInsideTheImage)
{
    const QSize image(1000, 800);
    EXPECT_EQ(swapSelectionOrientation(QRect(10, 20, 200, 300), image, SelOrientation::Landscape),
              QRect(10, 20, 300, 200));
    // Near the right edge landscape moves the left edge so the new width fits.
    EXPECT_EQ(swapSelectionOrientation(QRect(950, 0, 50, 100), image, SelOrientation::Landscape),
              QRect(900, 0, 100, 50));
    // Portrait only clips at the bottom.
    EXPECT_EQ(swapSelectionOrientation(QRect(0, 700, 300, 100), image, SelOrientation::Portrait),
              QRect(0, 700, 100, 100));
}

TEST(SelectionRatio, EffectiveRatioAndPresets)
{
    EXPECT_EQ(effectiveRatio(RatioType::Free, 1.5, QSize(10, 10)), 0);
    EXPECT_DOUBLE_EQ(effectiveRatio(RatioType::SameAsImage, 0, QSize(300, 200)), 1.5);
    EXPECT_EQ(effectiveRatio(RatioType::SameAsImage, 0, QSize()), 0);
    EXPECT_DOUBLE_EQ(effectiveRatio(RatioType::Fixed, 0.75, QSize()), 0.75);
    EXPECT_DOUBLE_EQ(*ratioPreset(vcmd::SelRatio13x18, SelOrientation::Landscape), 18.0 / 13.0);
    EXPECT_DOUBLE_EQ(*ratioPreset(vcmd::SelRatio1x2, SelOrientation::Portrait), 0.5);
    EXPECT_FALSE(ratioPreset(vcmd::SelFree, SelOrientation::Portrait).has_value());
}

TEST(EditViewSettings, RoundTripAndOutOfRangeValues)
{
    fixtures::TempDir dir;
    ProfileFile profile(dir.file(QStringLiteral("Config.ini")));
    EditViewSettings written;
    written.tool = ViewTool::Select;
    written.cutColor = 0x00336699;
    written.ratio = 1.5;
    written.ratioType = RatioType::Fixed;
    written.orientation = SelOrientation::Landscape;
    writeEditViewSettings(profile, written, 1.5);
    EXPECT_EQ(profile.getString(QStringLiteral("EditView"), QStringLiteral("SelRatio"), {}), QStringLiteral("1.500000"));
    const EditViewSettings read = readEditViewSettings(profile);
    EXPECT_EQ(read.tool, ViewTool::Select);
    EXPECT_EQ(read.cutColor, 0x00336699u);
    EXPECT_DOUBLE_EQ(read.ratio, 1.5);
    EXPECT_EQ(read.ratioType, RatioType::Fixed);
    EXPECT_EQ(read.orientation, SelOrientation::Landscape);

    profile.writeInt(QStringLiteral("EditView"), QStringLiteral("ViewTool"), 7);
    profile.writeString(QStringLiteral("EditView"), QStringLiteral("SelRatio"), QStringLiteral("-2.0"));
    profile.writeString(QStringLiteral("EditView"), QStringLiteral("ImageBkColor"), QStringLiteral("00FF"));
    const EditViewSettings odd = readEditViewSettings(profile);
    EXPECT_EQ(odd.tool, ViewTool::Zoom);
    EXPECT_EQ(odd.ratio, 0);
    EXPECT_EQ(odd.cutColor, 0u);
    profile.writeInt(QStringLiteral("EditView"), QStringLiteral("ViewTool"), -3);
    EXPECT_EQ(readEditViewSettings(profile).tool, ViewTool::Pan);
}

TEST(SaveFileLogic, FilterEntryExtensionAndRenaming)
{
    const QString filter = QStringLiteral("Windows or OS/2 Bitmap (*.bmp);;Independent JPEG Group (*.jpg *.jif "
                                          "*.jpeg *.jpe);;Portable Network Graphics (*.png);;Tagged Image File "
                                          "Format (*.tiff *.tif)");
    EXPECT_EQ(initialFilterIndex(filter, QStringLiteral("/p/photo.JPEG")), 2);
    EXPECT_EQ(initialFilterIndex(filter, QStringLiteral("/p/scan.tif")), 4);
    EXPECT_EQ(initialFilterIndex(filter, QStringLiteral("/p/noext")), 1);
    EXPECT_EQ(initialFilterIndex(filter, QStringLiteral("/p/a.xyz")), 1);
    EXPECT_EQ(initialFilterIndex(filter, QString()), 1);
    const QStringList entries = splitFilter(filter);
    EXPECT_EQ(firstExtension(entries[1]), QStringLiteral("jpg"));
    EXPECT_EQ(firstExtension(entries[3]), QStringLiteral("tiff"));
    EXPECT_EQ(withExtension(QStringLiteral("photo.jpg"), QStringLiteral("png")), QStringLiteral("photo.png"));
    EXPECT_EQ(withExtension(QStringLiteral("photo"), QStringLiteral("png")), QStringLiteral("photo.png"));
    EXPECT_EQ(withExtension(QStringLiteral("my.dir/photo"), QStringLiteral("png")), QStringLiteral("my.dir/photo.png"));
}

// Items 1 and 3 are images, 0 and 2 are not.
class GappedSequence final : public ImageSequence {
public:
    int itemCount() const override { return 4; }
    std::optional<SequenceItem> itemAt(int) const override { return std::nullopt; }
    int nextImage(int i) const override { return i < 1 ? 1 : i < 3 ? 3 : -1; }
    int previousImage(int i) const override { return i > 3 ? 3 : i > 1 ? 1 : -1; }
    int imageCount() const override { return 2; }
    int imageOrdinal(int i) const override { return i >= 3 ? 2 : 1; }
    int findItem(const QString&) const override { return -1; }
};

TEST(ViewerNavigation, StepsAndTheirDisabledCases)
{
    const GappedSequence seq;
    const ViewedPosition first{true, 1, 0, 1}, last{true, 3, 0, 1}, empty{false, -1, 0, 0};
    EXPECT_EQ(imageStepTarget(vcmd::NextImage, &seq, first), 3);
    EXPECT_FALSE(imageStepTarget(vcmd::NextImage, &seq, last));
    EXPECT_FALSE(imageStepTarget(vcmd::PreviousImage, &seq, first));
    EXPECT_FALSE(imageStepTarget(vcmd::FirstImage, &seq, first));
    EXPECT_EQ(imageStepTarget(vcmd::FirstImage, &seq, last), 1);
    EXPECT_EQ(imageStepTarget(vcmd::LastImage, &seq, first), 3);
    EXPECT_FALSE(imageStepTarget(vcmd::NextImage, &seq, empty));
    EXPECT_EQ(imageStepTarget(vcmd::LastImage, &seq, empty), 3);

    const ViewedPosition page1{true, 1, 1, 3};
    EXPECT_EQ(pageStepTarget(vcmd::NextPage, page1), 2);
    EXPECT_EQ(pageStepTarget(vcmd::FirstPage, page1), 0);
    EXPECT_FALSE(pageStepTarget(vcmd::NextPage, ViewedPosition{true, 1, 2, 3}));
    EXPECT_FALSE(pageStepTarget(vcmd::PreviousPage, ViewedPosition{true, 1, 0, 3}));
    EXPECT_FALSE(pageStepTarget(vcmd::LastPage, ViewedPosition{true, 1, 0, 1}));
}

}  // namespace
