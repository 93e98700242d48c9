// The effect commands as the window carries them out: the frame's own on the viewer's image,
// the viewer's own forwarded in viewer mode only, and the undo state each leaves.
#include "FrameTestSupport.h"
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CImageView.h"

#include "TestFixtures.h"

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class EffectsFrameTest : public FrameWithPhotos {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startFrame({"a.jpg"}, true));
        ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    }
    void openInViewer()
    {
        list()->OpenItem(list()->FindItemByPath(photos.file(QStringLiteral("a.jpg"))));
        ASSERT_TRUE(view()->hasImage());
    }
};

TEST_F(EffectsFrameTest, FrameAndViewerCommandsChangeTheSelectionWithOneUndoStep)
{
    openInViewer();
    const fipSuperImage original = *view()->image();
    view()->setSelection(QRect(4, 2, 8, 6));
    for (int id : {int(cmd::Sepia), int(cmd::Negative)}) {  // the frame's, then the viewer's
        ASSERT_TRUE(frame->OnCommand(id)) << id;
        EXPECT_TRUE(view()->isModified());
        const RGBQUAD inside = fixtures::pixelAt(*view()->image(), 5, 3);
        const RGBQUAD before = fixtures::pixelAt(original, 5, 3);
        EXPECT_NE(inside.rgbBlue, before.rgbBlue) << id;
        const RGBQUAD outside = fixtures::pixelAt(*view()->image(), 20, 10);
        EXPECT_EQ(outside.rgbRed, fixtures::pixelAt(original, 20, 10).rgbRed) << id;
        frame->OnCommand(cmd::Undo);
        EXPECT_TRUE(fixtures::samePixels(*view()->image(), original)) << id;
        view()->setSelection(QRect(4, 2, 8, 6));  // Undo clears it
    }
}

TEST_F(EffectsFrameTest, RotationClearsTheSelectionAndCountColorsChangesNothing)
{
    openInViewer();
    view()->setSelection(QRect(1, 1, 4, 4));
    ASSERT_TRUE(frame->OnCommand(cmd::RotateLeft));
    EXPECT_EQ(QSize(int(view()->image()->getWidth()), int(view()->image()->getHeight())), QSize(16, 32));
    EXPECT_TRUE(view()->selection().isEmpty());

    view()->setModified(false);
    ASSERT_TRUE(frame->OnCommand(cmd::CountColors));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Unique Colors|The number of unique colors is: ")));
    EXPECT_FALSE(view()->isModified());
}

TEST_F(EffectsFrameTest, TheViewersOwnCommandsAreOffInTheBrowser)
{
    openInViewer();
    frame->EnterBrowserMode();
    frame->UpdateCommandStates();
    for (int id : {int(cmd::Negative), int(cmd::HorizontalFlip), int(cmd::Solarize), int(cmd::SwapColorsFirst)})
        EXPECT_FALSE(frame->actionFor(id)->isEnabled()) << id;
    EXPECT_FALSE(frame->actionFor(cmd::EnhanceColors)->isEnabled());
}
}  // namespace
