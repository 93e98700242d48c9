// The viewer at work: tools and selection through the mouse and commands, stepping, the quick
// slide show, full screen and the file commands.
#include "ViewerTestSupport.h"

#include "app/MessageBoxSeam.h"
#include "imaging/fipSuperImage.h"
#include "viewer/ImageLoading.h"
#include "imaging/ImagePrinting.h"
#include "viewer/ViewerCommands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using fixtures::TempDir;
using viewertest::Viewer;
using viewertest::editImage;
using viewertest::FileSizeLimit;

namespace {

void mouse(CImageView& view, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(p), view.viewport()->mapToGlobal(QPointF(p)), changed, held, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &event);
}

void drag(CImageView& view, QPoint from, QPoint to)
{
    mouse(view, QEvent::MouseButtonPress, from);
    mouse(view, QEvent::MouseMove, to);
    mouse(view, QEvent::MouseButtonRelease, to);
}

bool checkedState(const CImageView& view, int id)
{
    bool enabled = false;
    std::optional<bool> checked;
    view.OnUpdateCommand(id, enabled, checked);
    return checked.value_or(false);
}

// ---- Tools and selection ----------------------------------------------------------------------

TEST(ViewerSelection, DraggingWithARatioShortensTheWidthFromThePressPoint)
{
    Viewer v(1);
    v.open(0);
    ASSERT_EQ(v.origin(), QPoint(50, 50));
    v.view->OnCommand(vcmd::SelectTool);
    v.view->OnCommand(vcmd::SelRatio10x15);
    drag(*v.view, {100, 100}, {400, 200});
    EXPECT_EQ(v.view->selection(), QRect(50, 50, 67, 100));

    // A click on the image away from the frame drops it.
    mouse(*v.view, QEvent::MouseButtonPress, {450, 300});
    mouse(*v.view, QEvent::MouseButtonRelease, {450, 300});
    EXPECT_TRUE(v.view->selection().isEmpty());
}

TEST(ViewerSelection, MovingStopsAtTheImageEdgeAndComesBackWithThePointer)
{
    Viewer v(1);
    v.open(0);
    v.view->OnCommand(vcmd::SelectTool);
    v.view->setSelection(QRect(100, 100, 60, 40));  // on screen (150, 150)-(210, 190)
    mouse(*v.view, QEvent::MouseButtonPress, {180, 170});
    mouse(*v.view, QEvent::MouseMove, {20, 170});
    EXPECT_EQ(v.view->selection(), QRect(0, 100, 60, 40));
    mouse(*v.view, QEvent::MouseMove, {30, 170});
    EXPECT_EQ(v.view->selection(), QRect(10, 100, 60, 40));
    mouse(*v.view, QEvent::MouseMove, {900, 900});
    EXPECT_EQ(v.view->selection(), QRect(440, 260, 60, 40));
    mouse(*v.view, QEvent::MouseButtonRelease, {900, 900});
}

TEST(ViewerSelection, OrientationSwitchSwapsTheFrameAndInvertsTheRatio)
{
    Viewer v(1);
    v.open(0);
    v.view->OnCommand(vcmd::SelRatio10x15);
    v.view->setSelection(QRect(10, 0, 200, 300));
    v.view->OnCommand(vcmd::SelLandscape);
    EXPECT_EQ(v.view->selection(), QRect(10, 0, 300, 200));
    EXPECT_DOUBLE_EQ(v.view->storedRatio(), 1.5);
    EXPECT_TRUE(checkedState(*v.view, vcmd::SelRatio10x15));
    EXPECT_TRUE(checkedState(*v.view, vcmd::SelLandscape));

    // Select All goes back to a free ratio.
    v.view->OnCommand(vcmd::SelectAll);
    EXPECT_EQ(v.view->selection(), QRect(0, 0, 500, 300));
    EXPECT_EQ(v.view->ratioType(), RatioType::Free);
    EXPECT_TRUE(checkedState(*v.view, vcmd::SelFree));
}

TEST(ViewerSelection, ZoomToolClickBringsThePointToTheCentre)
{
    Viewer v(1, QSize(1000, 800));
    v.open(0);
    v.view->OnCommand(vcmd::ZoomTool);
    const QPoint click(120, 90);
    const double x = v.view->ClientToImageX(click.x()), y = v.view->ClientToImageY(click.y());
    mouse(*v.view, QEvent::MouseButtonPress, click);
    mouse(*v.view, QEvent::MouseButtonRelease, click);
    EXPECT_DOUBLE_EQ(v.view->zoom(), 1.5);
    const QSize client = v.view->zoomGeometry().clientSize();
    EXPECT_NEAR(v.view->ImageToClientX(x), client.width() / 2.0, 1.0);
    EXPECT_NEAR(v.view->ImageToClientY(y), client.height() / 2.0, 1.0);
}

TEST(ViewerSelection, SelectAllByKeyAsksForFreshCommandStates)
{
    Viewer v(1, QSize(20, 10));
    v.open(0);
    QSignalSpy refresh(v.view.get(), &CImageView::commandStatesChanged);
    QTest::keyClick(v.view.get(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(v.view->selection(), QRect(0, 0, 20, 10));
    // Without it Crop (Ctrl+Shift+X) stayed disabled until the mouse moved.
    EXPECT_EQ(refresh.count(), 1);
}

TEST(ViewerContextMenu, RightButtonOpensTheMenuExceptWhereTheZoomToolZoomsOut)
{
    Viewer v(1);
    v.open(0);
    QList<QPoint> shownAt;
    bool openWhileShown = false;
    v.view->setContextMenuHandler([&](QPoint global) {
        shownAt << global;
        openWhileShown = v.view->contextMenuOpen();
    });
    mouse(*v.view, QEvent::MouseButtonPress, {100, 100}, Qt::RightButton);
    mouse(*v.view, QEvent::MouseButtonRelease, {100, 100}, Qt::RightButton);
    ASSERT_EQ(shownAt.size(), 1);
    EXPECT_EQ(shownAt[0], v.view->viewport()->mapToGlobal(QPoint(100, 100)));
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(v.view->contextMenuOpen());

    // The zoom tool's right click on the image zooms out; beside the image the menu opens.
    v.view->OnCommand(vcmd::ZoomTool);
    mouse(*v.view, QEvent::MouseButtonPress, {100, 100}, Qt::RightButton);
    mouse(*v.view, QEvent::MouseButtonRelease, {100, 100}, Qt::RightButton);
    EXPECT_EQ(shownAt.size(), 1);
    EXPECT_DOUBLE_EQ(v.view->zoom(), 0.7);
    mouse(*v.view, QEvent::MouseButtonPress, {2, 2}, Qt::RightButton);
    mouse(*v.view, QEvent::MouseButtonRelease, {2, 2}, Qt::RightButton);
    EXPECT_EQ(shownAt.size(), 2);
}

TEST(ViewerEdit, CropClearsTheSelectionAndUndoBringsTheImageBack)
{
    Viewer v(1);
    v.open(0);
    bool enabled = true;
    std::optional<bool> checked;
    v.view->OnUpdateCommand(vcmd::CropToSelection, enabled, checked);
    EXPECT_FALSE(enabled);
    v.view->setSelection(QRect(10, 20, 100, 50));
    v.view->OnCommand(vcmd::CropToSelection);
    EXPECT_EQ(v.view->image()->getWidth(), 100u);
    EXPECT_EQ(v.view->image()->getHeight(), 50u);
    EXPECT_TRUE(v.view->selection().isEmpty());
    EXPECT_TRUE(v.view->isModified());
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 0, 0).rgbRed, fixtures::patternColor(10, 20).rgbRed);
    v.view->OnCommand(vcmd::Undo);
    EXPECT_EQ(v.view->image()->getWidth(), 500u);
}

TEST(ViewerEdit, CutFillsWithTheChosenColourAndCopiesThePiece)
{
    Viewer v(1);
    v.open(0);
    v.view->OnCommand(vcmd::SetBackgroundColor);
    EXPECT_EQ(v.view->cutColor(), 0x0000FF00u);
    v.view->setSelection(QRect(5, 5, 10, 8));
    v.view->OnCommand(vcmd::Cut);
    const RGBQUAD inside = fixtures::pixelAt(*v.view->image(), 7, 7);
    EXPECT_EQ(inside.rgbGreen, 255);
    EXPECT_EQ(inside.rgbRed, 0);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 4, 4).rgbRed, fixtures::patternColor(4, 4).rgbRed);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(10, 8));
    EXPECT_EQ(v.view->selection(), QRect(5, 5, 10, 8));
}

TEST(ViewerEdit, PasteIsCroppedToTheImageOrScaledIntoTheSelection)
{
    Viewer v(1);
    v.open(0);
    QImage wide(800, 20, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(wide);
    v.view->OnCommand(vcmd::Paste);
    EXPECT_EQ(v.view->image()->getWidth(), 500u);
    EXPECT_EQ(v.view->image()->getHeight(), 300u);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 499, 19).rgbRed, 255);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 499, 20).rgbRed, fixtures::patternColor(499, 20).rgbRed);

    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(small);
    v.view->setSelection(QRect(100, 100, 50, 40));
    v.view->OnCommand(vcmd::Paste);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 100, 100).rgbBlue, 255);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 149, 139).rgbBlue, 255);
    EXPECT_EQ(fixtures::pixelAt(*v.view->image(), 150, 140).rgbBlue, fixtures::patternColor(150, 140).rgbBlue);
    EXPECT_TRUE(v.view->isModified());
}

TEST(ViewerEdit, CopyWithoutAnImageDoesNothing)
{
    Viewer v(1);
    QImage marker(3, 3, QImage::Format_RGB32);
    marker.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(marker);
    EXPECT_TRUE(v.view->OnCommand(vcmd::Copy));
    QTest::keyClick(v.view.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(3, 3));
}

TEST(ViewerSettings, ToolsAndRatioLastAcrossSessions)
{
    Viewer v(1);
    v.view->OnCommand(vcmd::SelectTool);
    v.view->OnCommand(vcmd::SelLandscape);
    v.view->OnCommand(vcmd::SelRatio3x4);
    v.view->OnCommand(vcmd::SetBackgroundColor);
    v.view.reset();
    v.start();
    EXPECT_EQ(v.view->tool(), ViewTool::Select);
    EXPECT_EQ(v.view->orientation(), SelOrientation::Landscape);
    EXPECT_EQ(v.view->ratioType(), RatioType::Fixed);
    EXPECT_TRUE(checkedState(*v.view, vcmd::SelRatio3x4));
    EXPECT_EQ(v.view->cutColor(), 0x0000FF00u);
}

// ---- Stepping ----------------------------------------------------------------------------------

TEST(ViewerStepping, NothingHappensPastTheLastImage)
{
    Viewer v(3, QSize(20, 10));
    v.open(2);
    v.view->OnCommand(vcmd::NextImage);
    QTest::keyClick(v.view.get(), Qt::Key_Right);
    QTest::keyClick(v.view.get(), Qt::Key_PageDown);
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(v.view->viewport(), &wheel);
    EXPECT_EQ(v.view->listIndex(), 2);

    // The quick slide show ends there instead of wrapping.
    v.view->OnCommand(vcmd::QuickSlideShow);
    EXPECT_TRUE(v.view->quickSlideShowRunning());
    v.view->onQuickSlideTimer();
    EXPECT_FALSE(v.view->quickSlideShowRunning());
    EXPECT_EQ(v.view->listIndex(), 2);

    // Keys and the wheel step backwards and forwards.
    QTest::keyClick(v.view.get(), Qt::Key_Home);
    EXPECT_EQ(v.view->listIndex(), 0);
    v.view->OnCommand(vcmd::QuickSlideShow);
    v.view->onQuickSlideTimer();
    EXPECT_EQ(v.view->listIndex(), 1);
    EXPECT_TRUE(v.view->quickSlideShowRunning());
    QTest::keyClick(v.view.get(), Qt::Key_End);
    EXPECT_EQ(v.view->listIndex(), 2);
    EXPECT_EQ(v.view->titleText(), QStringLiteral("img2.png - Kelvra Photo Viewer"));
}

TEST(ViewerStepping, PreviousKeepsTheImageLeftForAnInstantReturn)
{
    Viewer v(3, QSize(20, 10));
    v.open(1);
    v.view->waitForPreload();
    const int loads = v.view->preloadSlot().loadsStarted();
    v.view->OnCommand(vcmd::PreviousImage);
    EXPECT_EQ(v.view->listIndex(), 0);
    EXPECT_TRUE(v.view->preloadSlot().holds(v.files[1], 0));
    EXPECT_EQ(v.view->preloadSlot().loadsStarted(), loads);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->listIndex(), 1);
    ASSERT_TRUE(v.view->hasImage());
    EXPECT_EQ(v.view->image()->getWidth(), 20u);
}

TEST(ViewerStepping, NextAndPreviousLeadOnFromAFileThatCannotBeDecoded)
{
    Viewer v(0);
    viewertest::writePatternPng(v.dir.file(QStringLiteral("a.png")), 20, 10);
    ASSERT_TRUE(fixtures::writeFile(v.dir.file(QStringLiteral("b.png")), "not a png"));
    viewertest::writePatternPng(v.dir.file(QStringLiteral("c.png")), 30, 10);
    v.start();
    v.open(1);
    ASSERT_FALSE(v.view->hasImage());
    QTest::keyClick(v.view.get(), Qt::Key_PageDown);
    EXPECT_EQ(v.view->listIndex(), 2);
    v.view->OnCommand(vcmd::PreviousImage);
    ASSERT_EQ(v.view->listIndex(), 1);
    QTest::keyClick(v.view.get(), Qt::Key_PageUp);
    EXPECT_EQ(v.view->listIndex(), 0);
    EXPECT_EQ(v.view->image()->getWidth(), 20u);
}

TEST(ViewerStepping, PagesOfAMultiPageFile)
{
    Viewer v(0);
    viewertest::writeMultiPageTiff(v.dir.file(QStringLiteral("pages.tif")), 3);
    v.start();
    v.open(0);
    EXPECT_EQ(v.view->pageCount(), 3);
    bool enabled = true;
    std::optional<bool> checked;
    v.view->OnUpdateCommand(vcmd::PreviousPage, enabled, checked);
    EXPECT_FALSE(enabled);
    v.view->OnCommand(vcmd::LastPage);
    EXPECT_EQ(v.view->pageIndex(), 2);
    EXPECT_EQ(v.view->image()->getWidth(), 12u);
    v.view->OnCommand(vcmd::PreviousPage);
    EXPECT_EQ(v.view->pageIndex(), 1);
}

// ---- Delete --------------------------------------------------------------------------------------

TEST(ViewerDelete, AModifiedImageAsksFirstAndTheNextOrPreviousImageFollows)
{
    Viewer v(3, QSize(20, 10));
    v.open(1);
    editImage(*v.view);
    v.boxAnswer = QMessageBox::No;
    QTest::keyClick(v.view.get(), Qt::Key_Delete);
    EXPECT_EQ(v.messages, QStringList{QStringLiteral(
                              "Delete File|The file has been changed. Do you really want to delete the file?")});
    EXPECT_TRUE(v.trashed.isEmpty());
    EXPECT_TRUE(v.view->isModified());

    v.boxAnswer = QMessageBox::Yes;
    QSignalSpy deleted(v.view.get(), &CImageView::fileDeleted);
    v.view->OnCommand(vcmd::Delete);
    EXPECT_EQ(v.trashed, QStringList{v.files[1]});
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(v.view->listIndex(), 2);
    EXPECT_FALSE(v.view->isModified());

    // The last image: the previous one opens.
    v.view->OnCommand(vcmd::Delete);
    EXPECT_EQ(v.view->listIndex(), 1);
    EXPECT_FALSE(v.view->hasImage());  // its file is gone already in this fixed list
}

TEST(ViewerDelete, DeletingTheOnlyImageLeavesTheViewerEmpty)
{
    Viewer v(1, QSize(20, 10));
    v.open(0);
    v.view->OnCommand(vcmd::Delete);
    EXPECT_FALSE(v.view->hasImage());
    EXPECT_EQ(v.view->listIndex(), -1);
    EXPECT_EQ(v.view->titleText(), QStringLiteral("Kelvra Photo Viewer"));
    EXPECT_TRUE(v.messages.isEmpty());
}

namespace {

// One item: a link in the viewed folder to an image in another folder, as the list hands it over.
class LinkSequence final : public ImageSequence {
public:
    LinkSequence(QString target, QString link) : m_item{std::move(target), std::move(link)} {}
    int itemCount() const override { return 1; }
    std::optional<SequenceItem> itemAt(int index) const override
    {
        return index == 0 ? std::optional<SequenceItem>(m_item) : std::nullopt;
    }
    int nextImage(int index) const override { return index < 0 ? 0 : -1; }
    int previousImage(int) const override { return -1; }
    int imageCount() const override { return 1; }
    int imageOrdinal(int) const override { return 1; }
    int findItem(const QString& itemPath) const override { return itemPath == m_item.itemPath ? 0 : -1; }
    SequenceItem m_item;
};

}  // namespace

TEST(ViewerDelete, DeleteAndRenameOfALinkActOnTheLinkNeverOnItsTarget)
{
    Viewer v(1, QSize(20, 10));
    TempDir elsewhere;
    const QString target = viewertest::writePatternPng(elsewhere.file(QStringLiteral("t.png")), 20, 10);
    const QString link = v.dir.file(QStringLiteral("ln.png"));
    ASSERT_TRUE(QFile::link(target, link));
    LinkSequence sequence(target, link);
    v.view->setSequence(&sequence);
    ViewerDialogs dialogs;
    QStringList trashed;
    dialogs.askNewName = [](QWidget*, const QString&) { return std::optional<QString>(QStringLiteral("renamed.png")); };
    dialogs.moveToTrash = [&](const QString& path) {
        trashed << path;
        return QFile::remove(path);
    };
    v.view->setDialogs(dialogs);
    v.open(0);
    ASSERT_TRUE(v.view->hasImage());

    v.view->OnCommand(vcmd::Rename);
    const QString renamed = v.dir.file(QStringLiteral("renamed.png"));
    EXPECT_TRUE(QFileInfo(renamed).isSymLink());
    EXPECT_TRUE(QFileInfo(target).isFile()) << "the target keeps its name";
    EXPECT_EQ(v.view->filePath(), target);

    sequence.m_item.itemPath = renamed;  // as the list's rescan would
    v.view->OnCommand(vcmd::Delete);
    EXPECT_EQ(trashed, QStringList{renamed});
    EXPECT_FALSE(QFileInfo::exists(renamed) || QFileInfo(renamed).isSymLink());
    EXPECT_TRUE(QFileInfo(target).isFile());
    v.view->setSequence(nullptr);
}

// ---- Rename, copy and move, the desktop ------------------------------------------------------------

TEST(ViewerFileCommands, RenameKeepsTheImageItsEditsAndItsPlaceInTheList)
{
    Viewer v(3, QSize(20, 10));
    std::optional<QString> typed;
    ViewerDialogs dialogs;
    dialogs.querySave = [](QWidget*, const QString&, const QString&, QString&) { return int(QuerySaveCancel); };
    dialogs.askNewName = [&](QWidget*, const QString&) { return typed; };
    v.view->setDialogs(dialogs);
    v.open(0);
    editImage(*v.view);

    typed = std::nullopt;  // cancelled
    v.view->OnCommand(vcmd::Rename);
    typed = QStringLiteral("img2.png");  // taken: never replaced
    v.view->OnCommand(vcmd::Rename);
    typed = QStringLiteral("../escaped.png");  // would leave the folder
    v.view->OnCommand(vcmd::Rename);
    EXPECT_EQ(v.messages, (QStringList{QStringLiteral("Rename|Cannot rename 'img0.png' to 'img2.png'."),
                                       QStringLiteral("Rename|Cannot rename 'img0.png' to '../escaped.png'.")}));
    EXPECT_TRUE(QFile::exists(v.files[0]));
    EXPECT_FALSE(QFile::exists(v.dir.file(QStringLiteral("../escaped.png"))));
    EXPECT_EQ(v.view->filePath(), v.files[0]);

    typed = QStringLiteral("z last.png");
    v.view->OnCommand(vcmd::Rename);
    const QString renamed = v.dir.file(QStringLiteral("z last.png"));
    EXPECT_FALSE(QFile::exists(v.files[0]));
    ASSERT_TRUE(QFile::exists(renamed));
    EXPECT_EQ(v.view->filePath(), renamed);
    EXPECT_EQ(v.view->titleText(), QStringLiteral("z last.png - Kelvra Photo Viewer"));
    EXPECT_TRUE(v.view->hasImage());
    EXPECT_TRUE(v.view->isModified());
    EXPECT_TRUE(v.view->canUndo());

    // The list rescans and sorts the new name last: the viewer follows it, so Next is over.
    v.sequence = std::make_unique<FileListSequence>(FileListSequence::fromFolder(v.dir.path()));
    v.view->setSequence(v.sequence.get());
    v.view->SequenceChanged();
    EXPECT_EQ(v.view->listIndex(), 2);
    v.view->OnCommand(vcmd::NextImage);
    EXPECT_EQ(v.view->filePath(), renamed);
}

TEST(ViewerFileCommands, MoveAsksToSaveFirstAndOpensTheImageThatFollowed)
{
    Viewer v(3, QSize(20, 10));
    TempDir elsewhere;
    QList<std::pair<QString, bool>> asked;
    bool chooserCancels = false;
    ViewerDialogs dialogs;
    dialogs.querySave = [&](QWidget*, const QString&, const QString&, QString&) { return v.querySaveAnswer; };
    dialogs.transferToFolder = [&](QWidget*, const QString& path, bool move) {
        asked.append({path, move});
        if (chooserCancels)
            return false;
        const QString target = elsewhere.file(QFileInfo(path).fileName());
        return move ? QFile::rename(path, target) : QFile::copy(path, target);
    };
    v.view->setDialogs(dialogs);
    v.open(1);

    // Copy changes nothing in the viewer, edits included.
    editImage(*v.view);
    v.view->OnCommand(vcmd::CopyToFolder);
    EXPECT_TRUE(QFile::exists(elsewhere.file(QStringLiteral("img1.png"))));
    EXPECT_EQ(v.view->filePath(), v.files[1]);
    EXPECT_TRUE(v.view->isModified());

    // Cancel in "Save Changes" moves nothing; a cancelled folder choice leaves the image.
    v.querySaveAnswer = QuerySaveCancel;
    v.view->OnCommand(vcmd::MoveToFolder);
    EXPECT_EQ(asked.size(), 1);
    v.querySaveAnswer = QuerySaveDiscard;
    chooserCancels = true;
    v.view->OnCommand(vcmd::MoveToFolder);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(v.view->hasImage());
    EXPECT_EQ(v.view->filePath(), v.files[1]);

    chooserCancels = false;
    QFile::remove(elsewhere.file(QStringLiteral("img1.png")));
    v.view->OnCommand(vcmd::MoveToFolder);
    EXPECT_EQ(asked.back(), std::make_pair(v.files[1], true));
    EXPECT_TRUE(QFile::exists(elsewhere.file(QStringLiteral("img1.png"))));
    EXPECT_EQ(v.view->filePath(), v.files[2]);
    EXPECT_FALSE(v.view->isModified());

    // The list drops the moved item: the open image's index moves down with it, and
    // Previous goes to the image before the moved one.
    v.sequence = std::make_unique<FileListSequence>(FileListSequence::fromFolder(v.dir.path()));
    v.view->setSequence(v.sequence.get());
    v.view->SequenceChanged();
    EXPECT_EQ(v.view->listIndex(), 1);
    ASSERT_TRUE(v.view->OnCommand(vcmd::PreviousImage));
    EXPECT_EQ(v.view->filePath(), v.files[0]);
}

TEST(ViewerFileCommands, TheDesktopGetsTheOpenFileAndNothingWithoutOne)
{
    Viewer v(1, QSize(20, 10));
    QStringList calls;
    ViewerDialogs dialogs;
    dialogs.locateOnDisk = [&](const QString& path) { calls << "locate " + path; return true; };
    dialogs.openWith = [&](const QString& path, bool editor) { calls << (editor ? "edit " : "open ") + path; return true; };
    dialogs.showProperties = [&](QWidget*, const QString& path) { calls << "properties " + path; return true; };
    v.view->setDialogs(dialogs);
    for (int id : {vcmd::LocateOnDisk, vcmd::OpenWithProgram, vcmd::OpenWithEditor, vcmd::Properties})
        EXPECT_TRUE(v.view->OnCommand(id)) << "a viewer command, disabled without an image";
    EXPECT_TRUE(calls.isEmpty());
    v.open(0);
    for (int id : {vcmd::LocateOnDisk, vcmd::OpenWithProgram, vcmd::OpenWithEditor, vcmd::Properties})
        v.view->OnCommand(id);
    EXPECT_EQ(calls, (QStringList{"locate " + v.files[0], "open " + v.files[0], "edit " + v.files[0],
                                  "properties " + v.files[0]}));
}

TEST(ViewerZoomCommands, EveryZoomTypeAndFixedLevelIsAViewerCommandWithItsCheck)
{
    Viewer v(1, QSize(500, 300));
    EXPECT_TRUE(v.view->OnCommand(vcmd::ZoomLevelFirst)) << "known, though disabled";
    v.open(0);
    ASSERT_TRUE(v.view->OnCommand(vcmd::FitWidth));
    EXPECT_EQ(v.view->zoomType(), ZoomType::FitWidth);
    EXPECT_TRUE(checkedState(*v.view, vcmd::FitWidth));
    ASSERT_TRUE(v.view->OnCommand(vcmd::FitHeight));
    EXPECT_TRUE(checkedState(*v.view, vcmd::FitHeight));
    EXPECT_FALSE(checkedState(*v.view, vcmd::FitWidth));
    ASSERT_TRUE(v.view->OnCommand(vcmd::FitImageButton));
    EXPECT_TRUE(checkedState(*v.view, vcmd::FitImage));
    ASSERT_TRUE(v.view->OnCommand(vcmd::ZoomLock));
    EXPECT_TRUE(checkedState(*v.view, vcmd::ZoomLock));
    // The first fixed level is 1600%, the last 7%.
    ASSERT_TRUE(v.view->OnCommand(vcmd::ZoomLevelFirst));
    EXPECT_DOUBLE_EQ(v.view->zoom(), 16.0);
    EXPECT_TRUE(checkedState(*v.view, vcmd::ZoomLevelFirst));
    ASSERT_TRUE(v.view->OnCommand(vcmd::ZoomLevelLast));
    EXPECT_DOUBLE_EQ(v.view->zoom(), 0.07);
    EXPECT_FALSE(checkedState(*v.view, vcmd::ZoomLevelFirst));
}

// ---- Printing ------------------------------------------------------------------------------------

TEST(ViewerPrint, AnEditedImageIsPrintedOnOnePageOfItsOrientation)
{
    Viewer v(1, QSize(300, 100));
    v.open(0);
    editImage(*v.view);
    const QString pdf = v.dir.file(QStringLiteral("out.pdf"));
    int asked = 0;
    ViewerDialogs dialogs;
    dialogs.print = [&](QWidget*, QPrinter& printer) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    v.view->setDialogs(dialogs);
    v.view->OnCommand(vcmd::Print);
    EXPECT_EQ(asked, 1);
    const QByteArray bytes = fixtures::readFile(pdf);
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 1);
    const QRegularExpressionMatch box =
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(bytes));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());  // landscape for a wide image

    // The pixels drawn are the edited ones, fitted into the page.
    QImage page(600, 600, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    renderForPrint(*v.view->image(), painter, page.rect());
    painter.end();
    EXPECT_EQ(page.pixelColor(300, 150), QColor(Qt::white));  // above the 600 x 200 picture
    EXPECT_NEAR(qRed(page.pixel(1, 201)), 255 - fixtures::patternColor(0, 0).rgbRed, 8);
}

// ---- Full screen ---------------------------------------------------------------------------------

TEST(ViewerFullScreen, CursorHidesWhenIdleAndComesBackWithTheMouse)
{
    Viewer v(1, QSize(20, 10));
    bool enabled = true;
    std::optional<bool> checked;
    v.view->OnUpdateCommand(vcmd::FullScreen, enabled, checked);
    EXPECT_FALSE(enabled);
    v.open(0);
    QSignalSpy layout(v.view.get(), &CImageView::fullScreenLayoutRequested);
    v.view->OnCommand(vcmd::FullScreen);
    EXPECT_TRUE(v.view->fullScreenMode());
    EXPECT_TRUE(v.view->cursorTimerActive());
    ASSERT_EQ(layout.count(), 1);
    EXPECT_TRUE(layout.at(0).at(0).toBool());
    v.view->onCursorTimer();
    EXPECT_TRUE(v.view->cursorHidden());
    EXPECT_EQ(v.view->viewport()->cursor().shape(), Qt::BlankCursor);

    // Leaving keeps the cursor hidden until the mouse moves.
    v.view->OnCommand(vcmd::FullScreen);
    EXPECT_FALSE(v.view->fullScreenMode());
    EXPECT_FALSE(v.view->cursorTimerActive());
    EXPECT_TRUE(v.view->cursorHidden());
    mouse(*v.view, QEvent::MouseMove, {30, 30}, Qt::NoButton);
    EXPECT_FALSE(v.view->cursorHidden());
}

}  // namespace
