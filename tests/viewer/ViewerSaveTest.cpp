// Saving the viewed image: "Save Changes", Save and Save As, what is written and what a
// failed write leaves behind.
#include "ViewerTestSupport.h"

#include "imaging/JpegQuality.h"
#include "imaging/decode/IsolatedDecoder.h"
#include "imaging/fipSuperImage.h"
#include "viewer/FileStamp.h"
#include "viewer/ImageLoading.h"
#include "viewer/ViewerCommands.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using viewertest::editImage;
using viewertest::FileSizeLimit;
using viewertest::Viewer;

namespace {

// ---- "Save Changes" ----------------------------------------------------------------------------

TEST(ViewerQuerySave, CancelKeepsTheImageAndItsHistory)
{
    Viewer v(2, QSize(20, 10));
    v.open(0);
    editImage(*v.view);
    v.querySaveAnswer = QuerySaveCancel;
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.questions, 1);
    EXPECT_EQ(v.view->listIndex(), 0);
    EXPECT_TRUE(v.view->isModified());
    EXPECT_TRUE(v.view->canUndo());
    v.view->OnCommand(vcmd::Close);
    EXPECT_TRUE(v.view->hasImage());
}

TEST(ViewerQuerySave, AStepAskedForWhileTheQuestionIsOpenDoesNotStepTwice)
{
    Viewer v(3, QSize(20, 10));
    v.open(0);
    editImage(*v.view);
    v.querySaveAnswer = QuerySaveDiscard;
    v.whileAsking = [&] { v.view->OnCommand(vcmd::NextImage); };
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->listIndex(), 1);
    EXPECT_FALSE(v.view->isModified());
    // The discarded edit is not in the file.
    v.view->OnCommand(vcmd::PreviousImage);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 3, 3).rgbRed, fixtures::patternColor(3, 3).rgbRed);
}

TEST(ViewerQuerySave, SaveAsWritesTheChosenFileAndBrowseGoesOn)
{
    Viewer v(1, QSize(20, 10));
    v.open(0);
    editImage(*v.view);
    QSignalSpy browse(v.view.get(), &CImageView::browseRequested);
    v.querySaveAnswer = QuerySaveSaveAs;
    v.saveAsChoice = v.dir.file(QStringLiteral("copy.bmp"));
    QTest::keyClick(v.view.get(), Qt::Key_Escape);
    EXPECT_EQ(browse.count(), 1);
    EXPECT_FALSE(v.view->hasImage());
    fipSuperImage saved;
    ASSERT_TRUE(saved.load(v.saveAsChoice));
    EXPECT_EQ(fixtures::pixelAt(saved, 3, 3).rgbRed, 255 - fixtures::patternColor(3, 3).rgbRed);
}

TEST(ViewerQuerySave, AfterSaveAsElsewhereNextShowsTheFileNotTheEdit)
{
    const int original = fixtures::patternColor(3, 3).rgbRed;
    const struct {
        int answer;
        int redAfterReturn;
        bool keptForReturn;
    } cases[] = {{QuerySaveSaveAs, original, false}, {QuerySaveSave, 255 - original, true}};
    for (const auto& c : cases) {
        Viewer v(2, QSize(20, 10));
        v.open(1);
        editImage(*v.view);
        v.querySaveAnswer = c.answer;
        v.saveAsChoice = v.dir.file(QStringLiteral("copy.png"));
        const int loads = v.view->preloadSlot().loadsStarted();
        v.view->OnCommand(vcmd::PreviousImage);
        ASSERT_EQ(v.view->listIndex(), 0);
        // A kept image needs no look-ahead decode of the file left.
        EXPECT_EQ(v.view->preloadSlot().loadsStarted() - loads, c.keptForReturn ? 0 : 1) << c.answer;
        v.view->OnCommand(vcmd::NextImage);
        EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 3, 3).rgbRed, c.redAfterReturn) << c.answer;
        EXPECT_FALSE(v.view->isModified());
    }
}

// ---- Saving -------------------------------------------------------------------------------------

TEST(ViewerSave, AnUnchangedImageIsLeftAloneAndAnEditedJpegKeepsItsQuality)
{
    for (const int quality : {90, 60}) {
        Viewer v(0);
        const QString photo = v.dir.file(QStringLiteral("photo.jpg"));
        ASSERT_TRUE(fixtures::patternImage(64, 48).save(FIF_JPEG, photo, quality));
        v.start();
        v.open(0);
        const QByteArray bytes = fixtures::readFile(photo);
        const FileStamp stamp = FileStamp::of(photo);
        v.view->OnCommand(vcmd::Save);
        EXPECT_EQ(fixtures::readFile(photo), bytes) << quality;
        EXPECT_EQ(FileStamp::of(photo), stamp) << quality;

        editImage(*v.view);
        v.view->OnCommand(vcmd::Save);
        EXPECT_NE(fixtures::readFile(photo), bytes);
        EXPECT_EQ(JpegQuality::estimate(photo), quality);
        // Under another name too.
        ASSERT_TRUE(v.view->SaveImageAs(v.dir.file(QStringLiteral("copy.jpg")), 0));
        EXPECT_EQ(JpegQuality::estimate(v.dir.file(QStringLiteral("copy.jpg"))), quality);
    }
    // From a lossless file: a high quality rather than the library's 75.
    Viewer v(1, QSize(20, 10));
    v.open(0);
    editImage(*v.view);
    ASSERT_TRUE(v.view->SaveImageAs(v.dir.file(QStringLiteral("from-png.jpg")), 0));
    EXPECT_EQ(JpegQuality::estimate(v.dir.file(QStringLiteral("from-png.jpg"))), JpegQuality::kFallback);
}

TEST(ViewerSave, SavedPixelsAreShownAfterSteppingAwayAndBack)
{
    Viewer v(2, QSize(20, 10));
    v.open(0);
    v.view->waitForPreload();
    editImage(*v.view);
    // Over the next file, which the look-ahead already holds.
    ASSERT_TRUE(v.view->SaveImageAs(v.files[1], 0));
    EXPECT_FALSE(v.view->isModified());
    EXPECT_EQ(v.view->filePath(), v.files[0]);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 3, 3).rgbRed, 255 - fixtures::patternColor(3, 3).rgbRed);

    // Over the viewed file itself.
    v.view->OnCommand(vcmd::PreviousImage);
    editImage(*v.view);
    v.view->OnCommand(vcmd::Save);
    v.view->OnCommand(vcmd::NextImage);
    v.view->OnCommand(vcmd::PreviousImage);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 3, 3).rgbRed, 255 - fixtures::patternColor(3, 3).rgbRed);
}

TEST(ViewerSave, AnEditedPageOfAThreePageTiffUnderANewNameAndInPlace)
{
    Viewer v(0);
    const QString tiff = viewertest::writeMultiPageTiff(v.dir.file(QStringLiteral("pages.tif")), 3);
    v.start();
    v.open(0, 1);
    editImage(*v.view);
    const auto expectPages = [](const QString& path) {
        for (int page = 0; page < 3; ++page) {
            LoadedImage loaded = LoadImageFile(path, page);
            ASSERT_TRUE(loaded.image) << page;
            EXPECT_EQ(loaded.pageCount, 3);
            EXPECT_EQ(loaded.image->getWidth(), 10u + page);
            const int red = fixtures::patternColor(4, 2).rgbRed;
            EXPECT_EQ(fixtures::pixelAt(*loaded.image, 4, 2).rgbRed, page == 1 ? 255 - red : red) << page;
        }
    };
    const QString other = v.dir.file(QStringLiteral("other.tif"));
    ASSERT_TRUE(v.view->SaveImageAs(other, 0));
    expectPages(other);
    ASSERT_TRUE(v.view->SaveImageAs(tiff, 0));
    expectPages(tiff);
}

// The pages kept from the file are read by the decoder helper, never by the library in this
// process: when the helper cannot read them, the save fails and the file keeps its pages.
TEST(ViewerSave, TheOtherPagesOfAMultiPageFileAreReadByTheDecoderHelper)
{
    Viewer v(0);
    const QString tiff = viewertest::writeMultiPageTiff(v.dir.file(QStringLiteral("pages.tif")), 3);
    v.start();
    v.open(0, 1);
    editImage(*v.view);
    const QByteArray before = fixtures::readFile(tiff);
    auto& decoder = Decode::IsolatedDecoder::shared();
    decoder.abortRequests(1000);
    const bool saved = v.view->SaveImageAs(tiff, 0);
    decoder.abortRequests(0);
    EXPECT_FALSE(saved);
    EXPECT_EQ(fixtures::readFile(tiff), before);
    EXPECT_TRUE(v.view->isModified());
    EXPECT_EQ(LoadImageFile(tiff, 0).pageCount, 3);
}

TEST(ViewerSave, ADepthTheFormatCannotStoreIsConvertedAndEmptiesTheHistory)
{
    Viewer v(0);
    fipSuperImage rgba = fixtures::patternImage(16, 8, 32);
    ASSERT_TRUE(rgba.save(v.dir.file(QStringLiteral("alpha.png"))));
    v.start();
    v.open(0);
    editImage(*v.view);
    ASSERT_TRUE(v.view->canUndo());
    ASSERT_TRUE(v.view->SaveImageAs(v.dir.file(QStringLiteral("flat.jpg")), 0));
    EXPECT_EQ(v.view->image()->getBPP(), 24u);
    EXPECT_FALSE(v.view->canUndo());
    EXPECT_TRUE(v.messages.isEmpty());
}

TEST(ViewerSave, AFailedSaveLeavesTheTargetAloneAndSaysSo)
{
    Viewer v(1);
    v.open(0);
    editImage(*v.view);
    const QString target = v.dir.file(QStringLiteral("keep.bmp"));
    ASSERT_TRUE(fixtures::writeFile(target, QByteArray("original bytes")));
    const QStringList before = QDir(v.dir.path()).entryList(QDir::Files);
    bool saved = true;
    {
        const FileSizeLimit limit(4096);
        saved = v.view->SaveImageAs(target, 0);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(v.messages, QStringList{QStringLiteral("Save File|Failed to save file '%1'.").arg(target)});
    EXPECT_EQ(fixtures::readFile(target), QByteArray("original bytes"));
    EXPECT_EQ(QDir(v.dir.path()).entryList(QDir::Files), before);  // no temporary file left
    EXPECT_TRUE(v.view->isModified());
}

TEST(ViewerSave, AFailedSaveThatNeededAnotherDepthKeepsTheImageAndItsHistory)
{
    Viewer v(1, QSize(40, 24));
    v.open(0);
    editImage(*v.view);
    const fipSuperImage edited = *v.view->image();
    // A folder nobody may write into; root may write anywhere except into /proc.
    const QString folder = v.dir.file(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString target = (::geteuid() == 0 ? QStringLiteral("/proc") : folder) + QStringLiteral("/out.gif");
    EXPECT_FALSE(v.view->SaveImageAs(target, 0));
    EXPECT_EQ(v.messages, QStringList{QStringLiteral("Save File|Failed to save file '%1'.").arg(target)});
    EXPECT_EQ(v.view->image()->getBPP(), 24u);
    EXPECT_TRUE(fixtures::samePixels(*v.view->image(), edited));
    EXPECT_TRUE(v.view->isModified());
    ASSERT_TRUE(v.view->canUndo());
    v.view->Undo();
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 3, 3).rgbRed, fixtures::patternColor(3, 3).rgbRed);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// ---- Files rewritten by someone else ------------------------------------------------------------

TEST(ViewerStaleFile, ALookAheadCopyOfARewrittenFileIsReadAgain)
{
    Viewer v(2, QSize(20, 10));
    v.open(0);
    v.view->waitForPreload();
    ASSERT_TRUE(v.view->preloadSlot().holds(v.files[1], 0));
    viewertest::writePatternPng(v.files[1], 24, 10);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->image()->getWidth(), 24u);
    // The image kept by a step back is as stale once its file is rewritten.
    v.view->OnCommand(vcmd::PreviousImage);
    ASSERT_TRUE(v.view->preloadSlot().holds(v.files[1], 0));
    viewertest::writePatternPng(v.files[1], 28, 10);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->image()->getWidth(), 28u);
}

TEST(ViewerStaleFile, SavingOverAFileRewrittenSinceItWasOpenedAsksFirst)
{
    Viewer v(1, QSize(20, 10));
    v.open(0);
    editImage(*v.view);
    viewertest::writePatternPng(v.files[0], 30, 10);
    const QByteArray newer = fixtures::readFile(v.files[0]);
    v.boxAnswer = QMessageBox::No;
    v.view->OnCommand(vcmd::Save);
    ASSERT_EQ(v.messages.size(), 1);
    EXPECT_TRUE(v.messages[0].startsWith(QStringLiteral("Save File|The file '%1' has been changed").arg(v.files[0])));
    EXPECT_EQ(v.lastBox.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(v.lastBox.defaultButton, QMessageBox::No);
    EXPECT_EQ(fixtures::readFile(v.files[0]), newer);
    EXPECT_TRUE(v.view->isModified());

    v.boxAnswer = QMessageBox::Yes;
    v.view->OnCommand(vcmd::Save);
    EXPECT_EQ(LoadImageFile(v.files[0], 0).image->getWidth(), 20u);
    EXPECT_FALSE(v.view->isModified());
    // What was just written is what was opened now: no question the next time.
    editImage(*v.view);
    v.view->OnCommand(vcmd::Save);
    EXPECT_EQ(v.messages.size(), 2);
}

// A photo too large for memory opens reduced; writing the reduced copy over it is asked first.
TEST(ViewerSave, SavingOverAFileOpenedReducedAsksFirst)
{
    Viewer v(1, QSize(20, 10));
    fixtures::writePatternJpeg(v.files[0], 400, 300);
    const QByteArray original = fixtures::readFile(v.files[0]);
    qputenv("KELVRA_IMAGE_BUDGET", "100000");
    v.open(0);
    qunsetenv("KELVRA_IMAGE_BUDGET");
    ASSERT_LT(v.view->image()->getWidth(), 400u);
    EXPECT_EQ(v.view->fileImageSize(), QSize(400, 300));
    editImage(*v.view);
    v.boxAnswer = QMessageBox::No;
    v.view->OnCommand(vcmd::Save);
    ASSERT_EQ(v.messages.size(), 1);
    EXPECT_TRUE(v.messages[0].startsWith(QStringLiteral("Save File|The file '%1' is 400 x 300 pixels and was opened reduced")
                                             .arg(v.files[0])))
        << v.messages[0].toStdString();
    EXPECT_EQ(v.lastBox.defaultButton, QMessageBox::No);
    EXPECT_EQ(fixtures::readFile(v.files[0]), original);
    EXPECT_TRUE(v.view->isModified());
}

}  // namespace
