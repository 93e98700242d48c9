// The slide show as the main window runs it: started from the viewer or the list, in full
// screen, and back to the mode it came from.
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "slideshow/CSlideView.h"
#include "viewer/CImageView.h"
#include "viewer/ViewerDialogs.h"

#include "TestFixtures.h"

#include <QAction>
#include <QFile>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kBound = 10000;

class SlideShowFrameTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    fixtures::TempDir photos;
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};
    std::unique_ptr<CMainFrame> frame;

    void SetUp() override
    {
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            ASSERT_FALSE(fixtures::writePatternJpeg(photos.file(QString::fromLatin1(name)), 32, 16).isEmpty());
        ASSERT_TRUE(fixtures::writeFile(photos.file(QStringLiteral("notes.txt")), "text"));
        frame = std::make_unique<CMainFrame>(services);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    }

    CImageListCtrl* list() const { return frame->GetThumbnailList(); }
    CSlideView* slides() const { return frame->GetSlideView(); }
    int indexOf(const char* name) const { return list()->FindItemByPath(photos.file(QString::fromLatin1(name))); }
};

}  // namespace

TEST_F(SlideShowFrameTest, FromTheViewerAndBackLeavesImageAndZoomAsTheyWere)
{
    for (const bool viewerFullScreen : {false, true}) {
        list()->OpenItem(indexOf("b.jpg"));
        ASSERT_EQ(frame->mode(), FrameMode::Viewer);
        CImageView* viewer = frame->GetImageView();
        frame->SetZoomFromFrame(2.0);
        if (viewerFullScreen)
            ASSERT_TRUE(frame->OnCommand(cmd::FullScreen));

        ASSERT_TRUE(frame->OnCommand(cmd::SlideShow));
        EXPECT_EQ(frame->mode(), FrameMode::SlideShow);
        EXPECT_EQ(frame->previousMode(), FrameMode::Viewer);
        EXPECT_TRUE(frame->isFullScreenMode());
        EXPECT_TRUE(slides()->isVisible());
        EXPECT_FALSE(viewer->isVisible());
        EXPECT_FALSE(frame->viewerToolBar()->isVisible());
        EXPECT_EQ(slides()->filePath(), photos.file("b.jpg"));
        EXPECT_TRUE(slides()->playing());
        EXPECT_FALSE(frame->OnCommand(cmd::SlideShow)) << "a second start is ignored";

        QTest::keyClick(slides(), Qt::Key_Escape);
        EXPECT_EQ(frame->mode(), FrameMode::Viewer) << viewerFullScreen;
        EXPECT_FALSE(frame->isFullScreenMode()) << viewerFullScreen;
        EXPECT_FALSE(viewer->fullScreenMode()) << viewerFullScreen;
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_FALSE(slides()->isVisible());
        EXPECT_EQ(viewer->filePath(), photos.file("b.jpg"));
        EXPECT_EQ(viewer->zoom(), 2.0) << viewerFullScreen;
        QTRY_VERIFY_WITH_TIMEOUT(slides()->preloadSlot().path().isEmpty(), kBound);
        ASSERT_TRUE(frame->OnCommand(cmd::Browse));
    }
}

TEST_F(SlideShowFrameTest, FromTheListStartsAtTheFirstSelectedImageAndSurvivesAnEmptiedFolder)
{
    list()->setFocus();
    list()->selectOnly(indexOf("c.jpg"));
    frame->UpdateCommandStates();
    QWidget* button = frame->browserToolBar()->widgetForAction(frame->actionFor(cmd::SlideShow));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(frame->mode(), FrameMode::SlideShow);
    EXPECT_EQ(frame->previousMode(), FrameMode::Browser);
    EXPECT_TRUE(frame->isFullScreenMode());
    EXPECT_EQ(slides()->filePath(), photos.file("c.jpg"));

    // Every file goes while the show runs; the list drops them all.
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "notes.txt"})
        ASSERT_TRUE(QFile::remove(photos.file(QString::fromLatin1(name))));
    list()->Rescan();
    ASSERT_EQ(list()->GetItemCount(), 0);
    slides()->onAdvanceTimer();
    EXPECT_FALSE(slides()->playing());
    QTest::keyClick(slides(), Qt::Key_Left);
    QTest::keyClick(slides(), Qt::Key_Right);
    slides()->grab();

    QTest::mouseClick(slides()->toolBar()->button(slideshow::ExitButton), Qt::LeftButton);
    EXPECT_EQ(frame->mode(), FrameMode::Browser);
    EXPECT_FALSE(frame->isFullScreenMode());
    EXPECT_TRUE(frame->browserToolBar()->isVisible());
    EXPECT_TRUE(list()->hasFocus());
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->actionFor(cmd::SlideShow)->isEnabled()) << "no image left to show";
}

// The viewer's image stays open behind a show: closing the window offers its changes first.
TEST_F(SlideShowFrameTest, ClosingDuringAShowFromAModifiedImageAsksToSaveIt)
{
    list()->OpenItem(indexOf("a.jpg"));
    CImageView* viewer = frame->GetImageView();
    int questions = 0;
    for (const int answer : {int(QuerySaveCancel), int(QuerySaveDiscard)}) {
        ViewerDialogs dialogs = ViewerDialogs::standard();
        dialogs.querySave = [&](QWidget*, const QString&, const QString&, QString&) { return ++questions, answer; };
        viewer->setDialogs(dialogs);
        viewer->setModified(true);
        ASSERT_TRUE(frame->OnCommand(cmd::SlideShow));
        const bool closed = frame->close();
        EXPECT_EQ(closed, answer == QuerySaveDiscard);
        EXPECT_EQ(frame->mode(), FrameMode::Viewer) << "the show ended before the question";
        EXPECT_EQ(viewer->hasImage(), answer == QuerySaveCancel);
    }
    EXPECT_EQ(questions, 2);
}
