// Image steps decoded off the window thread: superseded, folded, abandoned and settled.
#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"
#include "viewer/ViewerCommands.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using viewertest::Viewer;

namespace {

// JPEGs of `width + i` x 900: large enough that a step's decode outlasts a burst of keys.
void fillFolder(Viewer& v, int count, unsigned width = 1200)
{
    for (int i = 0; i < count; ++i)
        fixtures::writePatternJpeg(v.dir.file(QStringLiteral("img%1.jpg").arg(i, 2, 10, QLatin1Char('0'))), width + i, 900);
    v.start();
    v.view->setBackgroundStepBytes(0);
}

bool settles(CImageView& view)
{
    const QDeadlineTimer deadline(30000);
    while (view.stepPending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !view.stepPending();
}

}  // namespace

TEST(ViewerStepping, ABurstOfHeldKeysEndsOnTheNewestImageDecodedOnce)
{
    Viewer v(0);
    fillFolder(v, 22);
    v.open(0);
    v.view->waitForPreload();
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(v.view.get(), Qt::Key_PageDown);
    // The title and index follow every key; the picture stays the last one finished (the
    // look-ahead's image 1, taken at the first key).
    EXPECT_EQ(v.view->listIndex(), 20);
    EXPECT_EQ(v.view->titleText(), QStringLiteral("img20.jpg - Kelvra Photo Viewer"));
    ASSERT_TRUE(v.view->hasImage());
    EXPECT_EQ(v.view->image()->getWidth(), 1201u);

    ASSERT_TRUE(settles(*v.view));
    EXPECT_EQ(v.view->image()->getWidth(), 1220u);
    EXPECT_EQ(v.view->filePath(), v.dir.file(QStringLiteral("img20.jpg")));
    // An earlier step kept because the screen waited on it may still be ending.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !v.view->stepDecoder().threadsRunning(); }, 30000));
    // The newest target was decoded once; of the intermediate ones at most the two kept
    // reached their end, the rest were dropped.
    const std::vector<QString>& completed = v.view->stepDecoder().completedDecodes();
    EXPECT_EQ(std::count(completed.begin(), completed.end(), v.view->filePath()), 1);
    EXPECT_LE(completed.size(), 3u);
    // And the look-ahead goes on from there.
    EXPECT_EQ(v.view->preloadSlot().path(), v.dir.file(QStringLiteral("img21.jpg")));
}

TEST(ViewerStepping, AStepToTheLookAheadsFileTakesItsDecodeWithoutWaiting)
{
    Viewer v(0);
    fillFolder(v, 3, 3000);
    v.open(0);
    const int loads = v.view->preloadSlot().loadsStarted();
    ASSERT_TRUE(v.view->preloadSlot().isRunning());
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->listIndex(), 1);
    ASSERT_TRUE(settles(*v.view));
    EXPECT_EQ(v.view->image()->getWidth(), 3001u);
    EXPECT_TRUE(v.view->stepDecoder().completedDecodes().empty());
    EXPECT_EQ(v.view->preloadSlot().loadsStarted(), loads + 1);  // image 1 once, then image 2
}

TEST(ViewerStepping, AnAbandonedStepLeavesNoImageAndNoThread)
{
    Viewer v(0);
    fillFolder(v, 4, 3000);
    v.open(0);
    v.view->OnCommand(vcmd::LastImage);
    v.view->OnCommand(vcmd::PreviousImage);
    EXPECT_TRUE(v.view->stepPending());
    // Opening another image gives the pending step up.
    v.view->OpenImageAt(0, 0);
    EXPECT_FALSE(v.view->stepPending());
    EXPECT_FALSE(v.view->stepDecoder().threadsRunning());
    EXPECT_TRUE(v.view->stepDecoder().completedDecodes().empty());
    EXPECT_EQ(v.view->image()->getWidth(), 3000u);
    QCoreApplication::processEvents();  // the abandoned decodes' reports find nothing to do
    EXPECT_EQ(v.view->image()->getWidth(), 3000u);
    // Destroying the view in the middle of a step joins its threads.
    v.view->OnCommand(vcmd::LastImage);
    v.view.reset();
    QCoreApplication::processEvents();
}

TEST(ViewerStepping, ACommandDuringAStepWaitsForItsImage)
{
    Viewer v(0);
    fillFolder(v, 3, 2000);
    v.open(0);
    v.view->OnCommand(vcmd::LastImage);
    ASSERT_TRUE(v.view->stepPending());
    v.view->OnCommand(vcmd::ZoomIn);
    EXPECT_FALSE(v.view->stepPending());
    EXPECT_EQ(v.view->image()->getWidth(), 2002u);
    EXPECT_EQ(v.view->listIndex(), 2);

    // A modified image is asked about once, before the step; discarded, it is not kept.
    viewertest::editImage(*v.view);
    v.querySaveAnswer = QuerySaveDiscard;
    v.view->OnCommand(vcmd::FirstImage);
    EXPECT_EQ(v.questions, 1);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.questions, 1);
    ASSERT_TRUE(settles(*v.view));
    EXPECT_EQ(v.view->listIndex(), 1);
    EXPECT_FALSE(v.view->isModified());
}
