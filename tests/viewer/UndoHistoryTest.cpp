// The undo history on disk and the change protocol of the view around it.
#include "ViewerTestSupport.h"

#include "imaging/fipSuperImage.h"
#include "viewer/UndoHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

using fixtures::TempDir;

namespace {

// The image after `n` changes: one pixel set to a colour that encodes n.
void change(fipSuperImage& image, int n)
{
    RGBQUAD c{};
    c.rgbRed = static_cast<BYTE>(n);
    c.rgbGreen = static_cast<BYTE>(n * 3);
    c.rgbBlue = 7;
    image.setPixelColor(0, 0, &c);
}

int marker(const fipSuperImage& image)
{
    RGBQUAD c{};
    image.getPixelColor(0, 0, &c);
    return c.rgbBlue == 7 ? c.rgbRed : -1;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

}  // namespace

TEST(UndoHistory, SnapshotsAreTwelveLetterFilesInTempAndRestoreEveryDepthExactly)
{
    TempDir dir;
    const QString temp = dir.file("Temp");  // does not exist yet: the writer makes it
    for (unsigned bpp : {1u, 4u, 8u, 16u, 24u, 32u}) {
        UndoHistory history(temp);
        fipSuperImage original = fixtures::patternImage(13, 7, bpp);
        ASSERT_TRUE(original.isValid()) << bpp;
        fipSuperImage current = original;
        ASSERT_TRUE(history.take(current));
        current.invert();
        const fipSuperImage inverted = current;
        history.waitForWriter();
        const QString file = history.slotFile(0);
        EXPECT_EQ(QFileInfo(file).absolutePath(), QFileInfo(temp).absoluteFilePath());
        EXPECT_TRUE(QRegularExpression("^[A-Z]{12}$").match(QFileInfo(file).fileName()).hasMatch());
        EXPECT_TRUE(QFileInfo::exists(file));

        ASSERT_TRUE(history.undo(current)) << bpp;
        EXPECT_EQ(current.getBPP(), bpp);
        EXPECT_TRUE(fixtures::samePixels(current, original)) << bpp;
        ASSERT_TRUE(history.redo(current));
        EXPECT_EQ(fixtures::pixelAt(current, 3, 2).rgbGreen, fixtures::pixelAt(inverted, 3, 2).rgbGreen) << bpp;
        EXPECT_NE(fixtures::pixelAt(current, 3, 2).rgbGreen, fixtures::pixelAt(original, 3, 2).rgbGreen) << bpp;
        history.clear();
        EXPECT_TRUE(filesIn(temp).isEmpty()) << bpp;
    }
    // Non-bitmap types go through the same bytes.
    UndoHistory history(temp);
    fipSuperImage floats(FIT_FLOAT, 5, 4, 32);
    reinterpret_cast<float*>(floats.getScanLine(2))[3] = 1.25f;
    fipSuperImage current = floats;
    ASSERT_TRUE(history.take(current));
    reinterpret_cast<float*>(current.getScanLine(2))[3] = -3.0f;
    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current.getImageType(), FIT_FLOAT);
    EXPECT_EQ(reinterpret_cast<float*>(current.getScanLine(2))[3], 1.25f);
}

TEST(UndoHistory, TwentyOneChangesKeepTwentyStepsAndUndoRedoWalksThem)
{
    TempDir dir;
    UndoHistory history(dir.file("Temp"));
    fipSuperImage image = fixtures::patternImage(8, 8);
    change(image, 0);
    for (int n = 1; n <= 21; ++n) {
        ASSERT_TRUE(history.take(image));
        change(image, n);
    }
    history.waitForWriter();
    EXPECT_EQ(history.position(), 20);
    EXPECT_EQ(filesIn(dir.file("Temp")).size(), 20);

    int undos = 0;
    while (history.canUndo()) {
        ASSERT_TRUE(history.undo(image));
        ++undos;
        EXPECT_EQ(marker(image), 21 - undos);
    }
    EXPECT_EQ(undos, 20);
    EXPECT_EQ(marker(image), 1);  // the state before the first change is gone

    // Undo, undo, redo, redo lands on the latest state again.
    while (history.canRedo())
        ASSERT_TRUE(history.redo(image));
    EXPECT_EQ(marker(image), 21);
    ASSERT_TRUE(history.undo(image));
    ASSERT_TRUE(history.undo(image));
    EXPECT_EQ(marker(image), 19);
    ASSERT_TRUE(history.redo(image));
    ASSERT_TRUE(history.redo(image));
    EXPECT_EQ(marker(image), 21);
    EXPECT_FALSE(history.canRedo());
}

TEST(UndoHistory, ANewChangeAfterUndoDropsTheRedoStatesAndTheirFiles)
{
    TempDir dir;
    UndoHistory history(dir.file("Temp"));
    fipSuperImage image = fixtures::patternImage(8, 8);
    for (int n = 1; n <= 3; ++n) {
        history.take(image);
        change(image, n);
    }
    history.undo(image);
    history.undo(image);
    history.waitForWriter();
    const QString redo1 = history.slotFile(1), redo2 = history.slotFile(2);
    ASSERT_TRUE(QFileInfo::exists(redo1));
    ASSERT_TRUE(QFileInfo::exists(redo2));

    history.take(image);
    change(image, 9);
    history.waitForWriter();
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(QFileInfo::exists(redo1));
    EXPECT_FALSE(QFileInfo::exists(redo2));
    EXPECT_EQ(filesIn(dir.file("Temp")).size(), 2);
}

TEST(UndoHistory, ALostSnapshotFileFailsQuietly)
{
    TempDir dir;
    {
        UndoHistory history(dir.file("Temp"));
        fipSuperImage image = fixtures::patternImage(8, 8);
        history.take(image);
        change(image, 1);
        history.take(image);
        change(image, 2);
        history.waitForWriter();
        ASSERT_TRUE(QFile::remove(history.slotFile(1)));
        EXPECT_FALSE(history.undo(image));
        EXPECT_EQ(marker(image), 2);  // unchanged
        EXPECT_FALSE(history.canRedo());  // the lost state's slot is freed
        EXPECT_TRUE(history.canUndo());
        EXPECT_TRUE(history.undo(image));
        EXPECT_EQ(marker(image), -1);  // the untouched pattern
    }
}

TEST(UndoHistory, SnapshotsThatCannotBeWrittenStayInMemoryWithinTheirBudget)
{
    TempDir dir;
    ASSERT_TRUE(fixtures::writeFile(dir.file("Blocked"), "x"));
    fipSuperImage image = fixtures::patternImage(8, 8);
    const qint64 snapshotBytes = image.copyToHandle().size();
    // A folder that cannot be made (a file is in the way), a full disk, and no folder at all.
    for (const QString& temp : {dir.file("Blocked/Temp"), dir.file("Full"), QString()}) {
        const viewertest::FileSizeLimit limit(temp == dir.file("Full") ? 16 : RLIM_INFINITY);
        UndoHistory history(temp);
        history.setMemoryBudget(3 * snapshotBytes);
        change(image, 0);
        for (int n = 1; n <= 6; ++n) {
            ASSERT_TRUE(history.take(image));
            change(image, n);
        }
        int undos = 0;
        while (history.canUndo()) {
            ASSERT_TRUE(history.undo(image)) << temp.toStdString();
            ++undos;
            EXPECT_EQ(marker(image), 6 - undos) << temp.toStdString();
        }
        // The oldest states made way for the newest.
        EXPECT_GE(undos, 2) << temp.toStdString();
        EXPECT_LE(undos, 4) << temp.toStdString();
        while (history.canRedo())
            ASSERT_TRUE(history.redo(image));
        EXPECT_EQ(marker(image), 6) << temp.toStdString();
        history.waitForWriter();
        EXPECT_TRUE(filesIn(dir.file("Full")).isEmpty());
    }
}

TEST(UndoHistory, TheWriteWaitsForTheEventLoopAndAStateUndoneBeforeItNeverReachesTheDisk)
{
    TempDir dir;
    const QString temp = dir.file("Temp");
    UndoHistory history(temp);
    const fipSuperImage original = fixtures::patternImage(16, 9);
    fipSuperImage image = original;
    ASSERT_TRUE(history.take(image));
    image.invert();
    const fipSuperImage inverted = image;
    EXPECT_TRUE(filesIn(temp).isEmpty());  // the change is still being made and shown
    ASSERT_TRUE(history.undo(image));
    EXPECT_TRUE(fixtures::samePixels(image, original));
    EXPECT_TRUE(filesIn(temp).isEmpty());  // the undone state was never written

    // Once the event loop runs, the redo state goes to disk on its own.
    ASSERT_TRUE(QTest::qWaitFor([&] { return filesIn(temp).size() == 1; }, 5000));
    ASSERT_TRUE(history.redo(image));
    EXPECT_TRUE(fixtures::samePixels(image, inverted));
    history.clear();
    EXPECT_TRUE(filesIn(temp).isEmpty());
}

TEST(UndoHistory, ACopyMadeAtRestBecomesTheSnapshotOnlyWhileItStillMatchesTheImage)
{
    TempDir dir;
    UndoHistory history(dir.file("Temp"));
    const fipSuperImage original = fixtures::patternImage(40, 300);
    fipSuperImage image = original;
    history.imageChanged(image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return history.copyAheadReady(); }, 5000));
    ASSERT_TRUE(history.take(image));
    EXPECT_FALSE(history.copyAheadReady());  // taken, not copied again
    image.invert();
    ASSERT_TRUE(history.undo(image));
    EXPECT_TRUE(fixtures::samePixels(image, original));

    // A change nobody reported: the stale copy is not what the snapshot keeps.
    history.imageChanged(image);
    ASSERT_TRUE(QTest::qWaitFor([&] { return history.copyAheadReady(); }, 5000));
    change(image, 5);
    ASSERT_TRUE(history.take(image));
    change(image, 6);
    ASSERT_TRUE(history.undo(image));
    EXPECT_EQ(marker(image), 5);
}

namespace {

// A view over one pattern PNG of its own, not yet opened.
struct OnePngView {
    TempDir dir;
    FileListSequence sequence;
    std::unique_ptr<CImageView> view;
    OnePngView(unsigned width, unsigned height)
        : sequence({viewertest::writePatternPng(dir.file("a.png"), width, height)}),
          view(viewertest::makeView(dir, QSize(200, 100)))
    {
        view->setSequence(&sequence);
    }
};

}  // namespace

TEST(ViewerChanges, EachChangeCopiesTheNewStateAheadOfTheNextSnapshot)
{
    OnePngView v(30, 20);
    auto& view = v.view;
    ASSERT_TRUE(view->OpenImageAt(0, 0));
    const auto ready = [&] { return view->undoHistory().copyAheadReady(); };
    const fipSuperImage opened = *view->image();

    ASSERT_TRUE(QTest::qWaitFor(ready, 5000));
    ASSERT_TRUE(view->TakeUndoSnapshot());
    view->image()->invert();
    view->MarkChanged();
    const fipSuperImage inverted = *view->image();
    ASSERT_TRUE(QTest::qWaitFor(ready, 5000));
    ASSERT_TRUE(view->TakeUndoSnapshot());
    ASSERT_TRUE(view->image()->flipHorizontal());
    view->MarkChanged();

    view->Undo();
    EXPECT_TRUE(fixtures::samePixels(*view->image(), inverted));
    view->Undo();
    EXPECT_TRUE(fixtures::samePixels(*view->image(), opened));
}

TEST(ViewerChanges, ProtocolMarksChangedAndReleasingTheImageLeavesNoHistoryFile)
{
    OnePngView v(20, 10);
    auto& view = v.view;

    EXPECT_FALSE(view->TakeUndoSnapshot());  // no image
    ASSERT_TRUE(view->OpenImageAt(0, 0));
    EXPECT_FALSE(view->isModified());
    int imageChanges = 0;
    QObject::connect(view.get(), &CImageView::imageChanged, [&] { ++imageChanges; });

    ASSERT_TRUE(view->TakeUndoSnapshot());
    ASSERT_TRUE(view->image()->rotate(90));
    view->MarkChanged();
    EXPECT_TRUE(view->isModified());
    EXPECT_GE(imageChanges, 1);
    EXPECT_EQ(view->zoomGeometry().imageSize(), QSize(10, 20));  // the new size reached the geometry
    ASSERT_TRUE(view->canUndo());
    view->Undo();
    EXPECT_EQ(view->zoomGeometry().imageSize(), QSize(20, 10));
    EXPECT_TRUE(view->canRedo());

    view->TakeUndoSnapshot();
    view->image()->invert();
    view->MarkChanged();
    const_cast<UndoHistory&>(view->undoHistory()).waitForWriter();
    EXPECT_FALSE(filesIn(v.dir.file("Temp")).isEmpty());
    view->ReleaseImage();
    EXPECT_TRUE(filesIn(v.dir.file("Temp")).isEmpty());
}
