// Opening images, pages and the look-ahead slot.
#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"
#include "viewer/ImageLoading.h"
#include "viewer/ViewerEvents.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

using fixtures::TempDir;

namespace {

struct Folder {
    TempDir dir;
    QStringList files;
    explicit Folder(int count)
    {
        for (int i = 0; i < count; ++i)
            files << viewertest::writePatternPng(dir.file(QStringLiteral("img%1.png").arg(i)), 16 + i, 12);
    }
};

}  // namespace

TEST(LoadImageFile, PagesOfAMultiPageFileAndUndecodableFiles)
{
    TempDir dir;
    const QString tiff = viewertest::writeMultiPageTiff(dir.file("pages.tif"), 3);
    ASSERT_FALSE(tiff.isEmpty());
    LoadedImage second = LoadImageFile(tiff, 1);
    ASSERT_TRUE(second.image);
    EXPECT_EQ(second.pageCount, 3);
    EXPECT_EQ(second.image->getWidth(), 11u);

    LoadedImage beyond = LoadImageFile(tiff, 3);
    EXPECT_FALSE(beyond.image);
    EXPECT_EQ(beyond.pageCount, 3);

    ASSERT_TRUE(fixtures::writeFile(dir.file("broken.jpg"), QByteArray("\xFF\xD8\xFF\xE0garbage", 11)));
    LoadedImage broken = LoadImageFile(dir.file("broken.jpg"), 0);
    EXPECT_FALSE(broken.image);
    EXPECT_EQ(broken.pageCount, 1);
    EXPECT_FALSE(LoadImageFile(QString(), 0).image);
}

TEST(ViewerOpen, UndecodableFileLeavesAnEmptyViewWithThePlainTitle)
{
    TempDir dir;
    ASSERT_TRUE(fixtures::writeFile(dir.file("broken.png"), "not a png"));
    FileListSequence sequence({dir.file("broken.png")});
    auto view = viewertest::makeView(dir, QSize(100, 80));
    view->setSequence(&sequence);
    EXPECT_FALSE(view->OpenImageAt(0, 0));
    EXPECT_FALSE(view->hasImage());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Kelvra Photo Viewer"));
    EXPECT_EQ(view->filePath(), dir.file("broken.png"));
}

TEST(ViewerOpen, OpensAPageAndTitlesWithTheFileName)
{
    TempDir dir;
    const QString tiff = viewertest::writeMultiPageTiff(dir.file("pages.tif"), 2);
    FileListSequence sequence({tiff});
    auto view = viewertest::makeView(dir, QSize(100, 80));
    view->setSequence(&sequence);
    ASSERT_TRUE(view->OpenImageAt(0, 1));
    EXPECT_EQ(view->pageIndex(), 1);
    EXPECT_EQ(view->pageCount(), 2);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("pages.tif - Kelvra Photo Viewer"));
    EXPECT_FALSE(view->OpenImageAt(0, 5));
    EXPECT_EQ(view->pageCount(), 2);
}

TEST(Preload, NextImageIsTakenFromTheSlotWithoutASecondDecode)
{
    Folder folder(3);
    FileListSequence sequence(folder.files);
    auto view = viewertest::makeView(folder.dir, QSize(100, 80));
    view->setSequence(&sequence);
    ASSERT_TRUE(view->OpenImageAt(0, 0));
    // Open the next one at once, most likely while its look-ahead still runs.
    EXPECT_EQ(view->preloadSlot().path(), folder.files[1]);
    ASSERT_TRUE(view->OpenImageAt(1, 0));
    EXPECT_EQ(view->image()->getWidth(), 17u);
    EXPECT_EQ(view->preloadSlot().loadsStarted(), 2);  // image 1 once, then image 2
    EXPECT_EQ(view->preloadSlot().path(), folder.files[2]);

    view->waitForPreload();
    EXPECT_TRUE(view->preloadSlot().holds(folder.files[2], 0));
    ASSERT_TRUE(view->OpenImageAt(2, 0));
    EXPECT_EQ(view->image()->getWidth(), 18u);
    EXPECT_FALSE(view->preloadSlot().holds(folder.files[2], 0));
    // The last image has nothing to look ahead to.
    EXPECT_EQ(view->preloadSlot().loadsStarted(), 2);
}

TEST(Preload, SteppingFasterThanTheLookAheadAndDestroyingTheViewMidway)
{
    Folder folder(6);
    FileListSequence sequence(folder.files);
    for (int round = 0; round < 3; ++round) {
        auto view = viewertest::makeView(folder.dir, QSize(100, 80));
        view->setSequence(&sequence);
        for (int i = 0; i < 6; ++i) {
            ASSERT_TRUE(view->OpenImageAt(i, 0));
            EXPECT_EQ(view->image()->getWidth(), 16u + i);
            // A change right away keeps the writer busy while the view is destroyed.
            view->TakeUndoSnapshot();
            view->image()->invert();
            view->MarkChanged();
        }
        view->OpenImageAt(round, 0);  // the destructor meets a running loader and writer
    }
    QCoreApplication::processEvents();
}

TEST(Preload, LeavingViewerModeFreesTheLookAheadImageWhenItReports)
{
    Folder folder(2);
    FileListSequence sequence(folder.files);
    auto view = viewertest::makeView(folder.dir, QSize(100, 80));
    view->setSequence(&sequence);
    ASSERT_TRUE(view->OpenImageAt(0, 0));
    view->setViewerModeActive(false);
    view->waitForPreload();
    QCoreApplication::sendPostedEvents(view.get(), WM_PRELOAD_DONE);
    EXPECT_FALSE(view->preloadSlot().holds(folder.files[1], 0));
    EXPECT_TRUE(view->preloadSlot().path().isEmpty());

    // In viewer mode the image waits in the slot.
    view->setViewerModeActive(true);
    ASSERT_TRUE(view->OpenImageAt(0, 0));
    view->waitForPreload();
    QCoreApplication::sendPostedEvents(view.get(), WM_PRELOAD_DONE);
    EXPECT_TRUE(view->preloadSlot().holds(folder.files[1], 0));
}

TEST(Preload, SlotRefusesToBeFreedWhileLoadingAndSkipsNonImages)
{
    Folder folder(1);
    ASSERT_TRUE(fixtures::writeFile(folder.dir.file("a-notes.txt"), "text"));
    FileListSequence sequence({folder.dir.file("a-notes.txt"), folder.files[0]});
    EXPECT_EQ(sequence.nextImage(-1), 1);
    EXPECT_EQ(sequence.previousImage(1), -1);
    EXPECT_EQ(sequence.imageCount(), 1);
    EXPECT_EQ(sequence.imageOrdinal(1), 1);

    PreloadSlot slot;
    ASSERT_TRUE(slot.start(folder.files[0], 0, nullptr));
    if (slot.isRunning()) {
        EXPECT_FALSE(slot.free());
    }
    slot.wait();
    EXPECT_TRUE(slot.holds(folder.files[0], 0));
    EXPECT_FALSE(slot.take(folder.files[0], 1));  // another page is another image
    auto taken = slot.take(folder.files[0], 0);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->loaded.image->getWidth(), 16u);
    EXPECT_TRUE(taken->display.isNull());  // a 24-bit image is drawn from its own rows
    EXPECT_TRUE(slot.path().isEmpty());
}
