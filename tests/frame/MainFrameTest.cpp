#include "frame/CMainFrame.h"
#include "frame/CSuperSplitterWnd.h"
#include "frame/CSuperStatusBar.h"
#include "viewer/CImageView.h"

#include "app/AppPaths.h"
#include "app/ProfileFile.h"
#include "browser/CImageListCtrl.h"
#include "browser/CShellTree.h"
#include "browser/HistoryFile.h"

#include "TestFixtures.h"

#include <QDir>
#include <QTimer>
#include <QMouseEvent>
#include <QMenu>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QFileInfo>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainFrameTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};

    std::unique_ptr<CMainFrame> makeFrame()
    {
        auto frame = std::make_unique<CMainFrame>(services);
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        return frame;
    }
    ProfileFile ini() const { return ProfileFile(services.configPath); }
};

TEST_F(MainFrameTest, FirstStartIsMaximisedWithAllBarsAndTheFolderPaneAt185)
{
    auto frame = makeFrame();
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kelvra Photo Viewer"));
    EXPECT_TRUE(frame->browserToolBar()->isVisible());
    EXPECT_TRUE(frame->addressBand()->isVisible());
    EXPECT_FALSE(frame->viewerToolBar()->isVisible());
    EXPECT_TRUE(frame->GetStatusBar()->isVisible());
    EXPECT_EQ(frame->outerSplitter()->firstPaneSize(), 185);
    EXPECT_GE(frame->innerSplitter()->secondPaneSize(), 150);
    EXPECT_FALSE(QFile::exists(services.configPath)) << "nothing is written while running";
}

TEST_F(MainFrameTest, SettingsAreWrittenAtDestructionAndReadBack)
{
    {
        auto frame = makeFrame();
        frame->setShowAddressBar(false);
        frame->setShowStatusBar(false);
    }
    EXPECT_EQ(ini().getString(QStringLiteral("MainFrame"), QStringLiteral("ShowToolBar"), {}), QStringLiteral("1"));
    EXPECT_EQ(ini().getString(QStringLiteral("MainFrame"), QStringLiteral("ShowAddressBar"), {}), QStringLiteral("0"));
    EXPECT_EQ(ini().getString(QStringLiteral("MainFrame"), QStringLiteral("ShowStatusBar"), {}), QStringLiteral("0"));
    WindowPlacement stored;
    ASSERT_TRUE(ini().getStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), stored));
    EXPECT_EQ(stored.length, 44u);
    EXPECT_EQ(stored.showCmd, WindowPlacement::ShowMaximized);

    auto frame = makeFrame();
    EXPECT_TRUE(frame->browserToolBar()->isVisible());
    EXPECT_FALSE(frame->addressBand()->isVisible());
    EXPECT_FALSE(frame->GetStatusBar()->isVisible());
}

TEST_F(MainFrameTest, AStoredNormalPlacementIsApplied)
{
    WindowPlacement p;
    p.setNormalRect(QRect(30, 40, 700, 500));
    ASSERT_TRUE(ini().writeStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), p));
    auto frame = makeFrame();
    EXPECT_FALSE(frame->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(frame->geometry().size(), QSize(700, 500));
    // A damaged record gives a maximised window.
    frame.reset();
    ASSERT_TRUE(ini().writeString(QStringLiteral("MainFrame"), QStringLiteral("Placement"), QStringLiteral("00FF")));
    frame = makeFrame();
    EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
}

// Any rectangle with a valid checksum may be stored: the window still fits its screen.
TEST_F(MainFrameTest, AStoredPlacementIsFittedToTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        int32_t left, top, right, bottom;
    } cases[] = {
        {0, 0, 60000, 60000},
        {area.right() - 10, area.bottom() - 10, area.right() + 690, area.bottom() + 490},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
    };
    for (const auto& c : cases) {
        WindowPlacement p;
        p.left = c.left, p.top = c.top, p.right = c.right, p.bottom = c.bottom;
        ASSERT_TRUE(ini().writeStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), p));
        auto frame = makeFrame();
        EXPECT_FALSE(frame->windowState() & Qt::WindowMaximized) << c.left;
        // The offscreen platform draws a frame of its own around the client area.
        EXPECT_TRUE(area.size().boundedTo(frame->geometry().size()) == frame->geometry().size()) << c.left;
        EXPECT_TRUE(area.intersects(frame->geometry())) << c.left;
    }
    EXPECT_EQ(WindowPlacement{}.restoredRect({area}), std::nullopt);
    WindowPlacement corner;
    corner.setNormalRect(QRect(area.right() - 10, area.bottom() - 10, 700, 500));
    EXPECT_EQ(corner.restoredRect({area}), QRect(area.right() + 1 - 700, area.bottom() + 1 - 500, 700, 500));
}

TEST_F(MainFrameTest, ModesSwitchBarsAndPanes)
{
    auto frame = makeFrame();
    frame->EnterViewerMode();
    EXPECT_EQ(frame->mode(), FrameMode::Viewer);
    EXPECT_EQ(frame->previousMode(), FrameMode::Browser);
    EXPECT_FALSE(frame->browserToolBar()->isVisible());
    EXPECT_FALSE(frame->addressBand()->isVisible());
    EXPECT_TRUE(frame->viewerToolBar()->isVisible());
    EXPECT_TRUE(frame->GetImageView()->isVisible());
    EXPECT_FALSE(frame->outerSplitter()->isVisible());

    // The close box returns to the browser; nothing ends.
    frame->close();
    EXPECT_EQ(frame->mode(), FrameMode::Browser);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->outerSplitter()->isVisible());
    EXPECT_TRUE(frame->addressBand()->isVisible());

    // File > Exit from the viewer ends the program.
    frame->EnterViewerMode();
    frame->requestQuit();
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrameTest, FullScreenHidesBarsAndLeavingItKeepsThePlacementFromBefore)
{
    WindowPlacement p;
    p.setNormalRect(QRect(10, 20, 640, 480));
    ASSERT_TRUE(ini().writeStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), p));
    {
        auto frame = makeFrame();
        frame->EnterViewerMode();
        frame->EnterFullScreen();
        EXPECT_TRUE(frame->isFullScreenMode());
        EXPECT_FALSE(frame->viewerToolBar()->isVisible());
        EXPECT_FALSE(frame->GetStatusBar()->isVisible());
        EXPECT_TRUE(frame->GetImageView()->fullScreenMode());
    }
    WindowPlacement stored;
    ASSERT_TRUE(ini().getStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), stored));
    EXPECT_EQ(stored.normalRect().size(), QSize(640, 480));
    EXPECT_EQ(stored.showCmd, WindowPlacement::ShowNormal);
}

TEST_F(MainFrameTest, ResizingKeepsTheInformationPaneHeight)
{
    WindowPlacement p;
    p.setNormalRect(QRect(0, 0, 900, 700));
    ASSERT_TRUE(ini().writeStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), p));
    auto frame = makeFrame();
    // The folder pane's first height is the client height (below the menu bar) less 280.
    EXPECT_EQ(frame->innerSplitter()->firstPaneSize(), 700 - frame->menuBar()->height() - 280);
    const int info = frame->innerSplitter()->secondPaneSize();
    const int folders = frame->outerSplitter()->firstPaneSize();
    frame->resize(1000, 600);
    QTest::qWait(1);
    EXPECT_EQ(frame->innerSplitter()->secondPaneSize(), info);
    EXPECT_EQ(frame->outerSplitter()->firstPaneSize(), folders);
    frame->resize(800, 420);
    EXPECT_GE(frame->innerSplitter()->firstPaneSize(), 100) << "the folder pane never gets lower than 100";
}

}  // namespace

namespace {

TEST_F(MainFrameTest, StatusBarFollowsTheModeAndTheSliderSetsTheThumbnailSize)
{
    fixtures::TempDir folder;
    ASSERT_TRUE(fixtures::writeFile(folder.file(QStringLiteral("a.txt")), QByteArray(1000, 'x')));
    ASSERT_TRUE(fixtures::writeFile(folder.file(QStringLiteral("b.txt")), QByteArray(24, 'x')));
    auto frame = makeFrame();
    ASSERT_TRUE(frame->GetThumbnailList()->BrowseToPath(folder.path()));
    frame->RefreshStatusBar();
    CSuperStatusBar* bar = frame->GetStatusBar();
    EXPECT_EQ(bar->table(), CSuperStatusBar::Table::Browser);
    EXPECT_EQ(bar->paneText(0), QStringLiteral("Total 2 objects (1.00 KB)"));
    // A freshly browsed folder has its first item focused.
    EXPECT_EQ(bar->paneText(1), QStringLiteral("a.txt"));
    EXPECT_EQ(bar->paneText(3), QStringLiteral("1000 bytes"));

    frame->SetThumbnailSizeFromSlider(500);
    EXPECT_EQ(frame->GetThumbnailList()->settings().thumbWidth, 200);
    EXPECT_EQ(bar->slider()->value(), 100);

    // The viewer without an image shows only "No images", and the slider belongs to the zoom.
    frame->EnterViewerMode();
    EXPECT_EQ(bar->table(), CSuperStatusBar::Table::ViewerNoImage);
    EXPECT_EQ(bar->paneText(0), QStringLiteral("No images"));
    frame->SetThumbnailSizeFromSlider(36);
    EXPECT_EQ(frame->GetThumbnailList()->settings().thumbWidth, 200) << "thumbnail sizes are not set from the viewer";
}

TEST_F(MainFrameTest, OpeningAnImageFromTheListEntersTheViewerAndBackAndForthWalkTheHistory)
{
    fixtures::TempDir root;
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("sub"))));
    ASSERT_FALSE(fixtures::writePatternJpeg(root.file(QStringLiteral("sub/photo.jpg")), 64, 48).isEmpty());
    auto frame = makeFrame();
    CImageListCtrl* list = frame->GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(root.path()));
    frame->PushHistory(list->currentFolder().toBinary(), 0);
    ASSERT_TRUE(frame->SelectFolder(list->currentFolder().combined(ItemIdList::entry("sub")), 0));
    EXPECT_EQ(list->currentFolderPath(), root.file(QStringLiteral("sub")));
    ASSERT_EQ(list->GetImageCount(), 1);

    list->OpenItem(list->FindItemByPath(root.file(QStringLiteral("sub/photo.jpg"))));
    EXPECT_EQ(frame->mode(), FrameMode::Viewer);
    ASSERT_TRUE(frame->GetImageView()->hasImage());
    EXPECT_EQ(frame->GetStatusBar()->paneText(0), QStringLiteral("1/1"));
    EXPECT_EQ(frame->GetStatusBar()->paneText(3), QStringLiteral("64x48x24b"));
    frame->close();  // back to the browser
    EXPECT_EQ(frame->mode(), FrameMode::Browser);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("sub - Kelvra Photo Viewer"));
    EXPECT_FALSE(frame->GetImageView()->hasImage());

    frame->OnBack();
    EXPECT_EQ(list->currentFolderPath(), root.path());
    frame->OnForward();
    EXPECT_EQ(list->currentFolderPath(), root.file(QStringLiteral("sub")));
    frame->OnUp();
    EXPECT_EQ(list->currentFolderPath(), root.path());
    EXPECT_TRUE(frame->history().canGoBack());
}

}  // namespace

namespace {

TEST_F(MainFrameTest, TheStartFolderIsTheNewestLiveHistoryEntryOpenInTheTree)
{
    fixtures::TempDir folders;
    ASSERT_TRUE(QDir(folders.path()).mkpath(QStringLiteral("live/inner")));
    const ShellNamespace shell;
    const ItemIdList live = shell.idListFromPath(QFile::encodeName(folders.file(QStringLiteral("live"))));
    const ItemIdList gone = shell.idListFromPath(QFile::encodeName(folders.file(QStringLiteral("gone"))));
    const QString historyPath = dir.file(QStringLiteral("HistoryPath.data"));
    struct Case {
        std::vector<ItemIdList> newestFirst;
        QString start;
    };
    const Case cases[] = {
        {{live, gone}, folders.file(QStringLiteral("live"))},
        {{gone, live}, AppPaths::picturesFolder()},  // only the newest is tried
    };
    for (const Case& c : cases) {
        AddressHistory stored;
        for (auto it = c.newestFirst.rbegin(); it != c.newestFirst.rend(); ++it)
            stored.addAddress(*it, 0);
        HistoryFile::save(historyPath, stored);
        {
            auto frame = makeFrame();
            frame->OpenStartFolder();
            EXPECT_EQ(frame->GetThumbnailList()->currentFolderPath(), c.start);
            QTreeWidgetItem* item = frame->GetShellTree()->currentItem();
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(QFile::decodeName(CShellTree::pathOf(item)), c.start);
            EXPECT_TRUE(item->isExpanded());
        }
        const auto saved = HistoryFile::parse(fixtures::readFile(historyPath));
        EXPECT_EQ(std::count_if(saved.begin(), saved.end(), [&](const AddressEntry& e) { return e.folder == gone; }),
                  c.newestFirst.front() == gone ? 0 : 1);
    }
}

}  // namespace

namespace {

TEST_F(MainFrameTest, ClicksOnTheStatusBarSliderSetTheThumbnailSizeAndTheZoom)
{
    fixtures::TempDir folder;
    ASSERT_FALSE(fixtures::writePatternJpeg(folder.file(QStringLiteral("a.jpg")), 64, 48).isEmpty());
    auto frame = makeFrame();
    CImageListCtrl* list = frame->GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(folder.path()));
    frame->SetThumbnailSizeFromSlider(36);
    QSlider* slider = frame->GetStatusBar()->slider();
    const QPoint nearEnd(slider->width() - 4, slider->height() / 2);
    // The middle button jumps to the point; the left one steps a page towards it.
    for (const Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton}) {
        frame->SetThumbnailSizeFromSlider(36);
        QTest::mouseClick(slider, button, {}, nearEnd);
        QCoreApplication::sendPostedEvents();
        EXPECT_GT(list->settings().thumbWidth, 36) << button;
        EXPECT_EQ(StatusBarModel::sliderFromThumbnailSize(list->settings().thumbWidth), slider->value()) << button;
    }

    list->OpenItem(0);
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    const double before = frame->GetImageView()->zoom();
    QTest::mouseClick(slider, Qt::MiddleButton, {}, QPoint(4, slider->height() / 2));
    QCoreApplication::sendPostedEvents();
    EXPECT_NE(frame->GetImageView()->zoom(), before);
    EXPECT_EQ(StatusBarModel::sliderFromZoom(frame->GetImageView()->zoom()), slider->value());
}

}  // namespace

namespace {

// Keys and mouse buttons of Linux desktops beside the program's own: Alt+Up and Backspace go
// up, the mouse's side buttons walk the history, Shift+F10 opens the focused pane's menu, and
// the keyboard starts in the pictures.
TEST_F(MainFrameTest, LinuxDesktopKeysAndMouseButtons)
{
    fixtures::TempDir root;
    ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("sub"))));
    auto frame = makeFrame();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    frame->OpenStartFolder();
    CImageListCtrl* list = frame->GetThumbnailList();
    EXPECT_EQ(QApplication::focusWidget(), list);

    const QString sub = root.file(QStringLiteral("sub"));
    const auto enterSub = [&] {
        ASSERT_TRUE(list->BrowseToPath(root.path()));
        frame->PushHistory(list->currentFolder().toBinary(), 0);
        ASSERT_TRUE(frame->SelectFolder(list->currentFolder().combined(ItemIdList::entry("sub")), 0));
        ASSERT_EQ(list->currentFolderPath(), sub);
    };
    for (const QKeyCombination keys : {QKeyCombination(Qt::AltModifier, Qt::Key_Up), QKeyCombination(Qt::Key_Backspace)}) {
        enterSub();
        QTest::keyClick(list, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(list->currentFolderPath(), root.path()) << keys.toCombined();
    }

    const auto pressSideButton = [&](Qt::MouseButton button) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), list->viewport()->mapToGlobal(QPointF(5, 5)), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &press);
    };
    pressSideButton(Qt::BackButton);
    EXPECT_EQ(list->currentFolderPath(), sub);
    pressSideButton(Qt::ForwardButton);
    EXPECT_EQ(list->currentFolderPath(), root.path());

    bool menuSeen = false;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuSeen = true;
            menu->close();
        }
    });
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menuSeen);
}

}  // namespace
