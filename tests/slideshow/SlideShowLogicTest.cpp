// The slide show's arithmetic and decisions, without a window.
#include "slideshow/SlideButtonArt.h"
#include "slideshow/SlideShowLogic.h"
#include "viewer/ImageSequence.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

using namespace slideshow;

TEST(SlideShowLogic, SlidesAreCentredAtTheirOwnSizeOrFittedWithTheirAspect)
{
    const struct {
        QSize image, client;
        QRect expected;
    } cases[] = {
        {{100, 50}, {1920, 1080}, {910, 515, 100, 50}},      // smaller: 100%, centred
        {{101, 51}, {200, 100}, {49, 24, 101, 51}},          // odd margins round down
        {{1920, 1080}, {1920, 1080}, {0, 0, 1920, 1080}},    // exactly the screen
        {{6000, 4000}, {1920, 1080}, {150, 0, 1620, 1080}},  // a 24-megapixel photo: full height
        {{4000, 1000}, {1920, 1080}, {0, 300, 1920, 480}},   // wide: full width
        {{2000, 100}, {1920, 1080}, {0, 492, 1920, 96}},     // only the width too large
        {{100, 2000}, {1920, 1080}, {933, 0, 54, 1080}},     // only the height too large
        {{3000000, 2}, {1920, 1080}, {0, 540, 1920, 0}},     // products beyond 32 bits
        {{0, 10}, {1920, 1080}, {}},
        {{10, 10}, {0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(slideRect(c.image, c.client), c.expected) << c.image.width() << "x" << c.image.height();
}

TEST(SlideShowLogic, ToolBarSitsAboveTheBottomAndStaysOnASmallScreen)
{
    const struct {
        QSize client;
        QPoint expected;
    } cases[] = {
        {{1920, 1080}, {873, 999}},
        {{1366, 768}, {596, 687}},
        {{300, 60}, {63, 29}},   // lower than 81: on the bottom edge
        {{173, 31}, {0, 0}},     // exactly the bar
        {{100, 20}, {-73, 0}},   // smaller than the bar: Exit, at its right end, stays visible
    };
    for (const auto& c : cases)
        EXPECT_EQ(toolBarRect(c.client), QRect(c.expected, QSize(173, 31))) << c.client.width();

    // Buttons and separators tile the bar without overlapping, and the last ends at its edge.
    QSet<int> columns;
    for (const SlideButton& b : kButtons)
        for (int x = buttonRect(b).left(); x <= buttonRect(b).right(); ++x)
            EXPECT_FALSE(columns.contains(x)) << b.id, columns.insert(x);
    EXPECT_EQ(buttonRect(kButtons[0]), QRect(0, 0, 31, 31));
    EXPECT_EQ(buttonRect(kButtons[4]).right(), kToolBarWidth - 1);
    EXPECT_EQ(separatorRect(0).left(), 66);
    EXPECT_EQ(separatorRect(1).left(), 137);
}

TEST(SlideShowLogic, ButtonLookFollowsStateInOrder)
{
    const struct {
        LookInputs in;
        Look expected;
    } cases[] = {
        {{}, Look::Normal},
        {{.hover = true}, Look::Hover},
        {{.pressed = true, .hover = true}, Look::Pressed},
        {{.pressed = true, .hover = false}, Look::Normal},  // dragged off while held
        {{.latched = true}, Look::Pressed},
        {{.enabled = false, .latched = true, .hover = true}, Look::Disabled},
        {{.enabled = false, .hasDisabled = false, .hover = true}, Look::Hover},  // Exit has no disabled look
        {{.hasHover = false, .hover = true}, Look::Normal},
        {{.hasPressed = false, .latched = true, .hover = true}, Look::Hover},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(chooseLook(cases[i].in), cases[i].expected) << i;
}

TEST(SlideShowLogic, StartStepAndStopDecisions)
{
    // Items 1 and 4 are not images.
    const FileListSequence folder({"/f/0.png", "/f/1.txt", "/f/2.png", "/f/3.png", "/f/4.txt"});
    const struct {
        QSet<int> selected;
        int start;
    } starts[] = {
        {{}, 0},
        {{1}, 0},     // a selected non-image does not count
        {{1, 3}, 3},
        {{2, 3}, 2},  // the first selected image
    };
    for (const auto& s : starts)
        EXPECT_EQ(startIndex(folder, [&](int i) { return s.selected.contains(i); }), s.start);
    EXPECT_EQ(startIndex(FileListSequence({"/f/a.txt"}), {}), -1);

    EXPECT_EQ(advanceTarget(&folder, 0), 2);
    EXPECT_EQ(advanceTarget(&folder, 3), -1) << "no wrap at the last image";
    EXPECT_EQ(advanceTarget(&folder, 7), -1) << "an item gone from the folder";
    EXPECT_EQ(advanceTarget(nullptr, 0), -1);

    const struct {
        int index;
        bool previous, next;
    } steps[] = {{0, false, true}, {2, true, true}, {3, true, false}, {9, true, false}};
    for (const auto& s : steps) {
        const StepStates states = stepStates(&folder, s.index);
        EXPECT_EQ(states.previous, s.previous) << s.index;
        EXPECT_EQ(states.next, s.next) << s.index;
    }
}

// Bars land on whole device pixels at 1x and 2x: the column beside a bar's edge is the bar's
// colour or the background's, never a blend.
TEST(SlideShowLogic, ButtonPicturesAreSharpAtEachPixelRatio)
{
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage pause = drawButtonPicture(Glyph::Pause, Look::Normal, QSize(31, 31), ratio).toImage();
        ASSERT_EQ(pause.size(), QSize(31, 31) * ratio);
        const int y = pause.height() / 2;
        int edges = 0;
        for (int x = 1; x < pause.width(); ++x) {
            const QRgb a = pause.pixel(x - 1, y) & 0xFFFFFF, b = pause.pixel(x, y) & 0xFFFFFF;
            EXPECT_TRUE(a == kGlyphColor || a == kToolBarColor) << ratio << " x " << x;
            edges += a != b ? 1 : 0;
        }
        EXPECT_EQ(edges, 4) << "two bars, two edges each, at ratio " << ratio;
        const QImage disabled = drawButtonPicture(Glyph::Pause, Look::Disabled, QSize(31, 31), ratio).toImage();
        EXPECT_NE(disabled, pause);
    }
}
