#include "frame/CMainFrame.h"
#include "frame/CSuperStatusBar.h"
#include "app/CommandIds.h"
#include "platform/FileClipboard.h"
#include "viewer/CImageView.h"

#include "TestFixtures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FrameCommandsTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};
    std::unique_ptr<CMainFrame> frame = std::make_unique<CMainFrame>(services);

    void SetUp() override
    {
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    QStringList menuTitles() const
    {
        QStringList titles;
        for (QAction* action : frame->menuBar()->actions())
            titles << action->text();
        return titles;
    }
};

TEST_F(FrameCommandsTest, EachModeHasItsMenu)
{
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));
    frame->EnterViewerMode();
    EXPECT_EQ(menuTitles(), (QStringList{"&File", "&Edit", "&View", "&Zoom", "&Image", "Effect&s", "&Tools", "&Help"}));
    frame->EnterBrowserMode();
    EXPECT_EQ(menuTitles().size(), 5);
}

TEST_F(FrameCommandsTest, ToolKeysWorkInBothModesAndExitEndsFromTheViewer)
{
    QTest::keyClick(frame.get(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(frame->GetImageView()->tool(), ViewTool::Select) << "set silently in the browser";
    frame->EnterViewerMode();
    QTest::keyClick(frame->GetImageView(), Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(frame->GetImageView()->tool(), ViewTool::Zoom);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->actionFor(cmd::ZoomTool)->isChecked());
    EXPECT_FALSE(frame->actionFor(cmd::PanTool)->isChecked());
    QTest::keyClick(frame->GetImageView(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(FrameCommandsTest, ViewerOnlyCommandsAreDisabledInTheBrowser)
{
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->actionFor(cmd::ZoomIn)->isEnabled());
    EXPECT_FALSE(frame->actionFor(cmd::Undo)->isEnabled());
    EXPECT_FALSE(frame->OnCommand(cmd::ZoomIn));
    // Commands whose owners are not built yet are shown disabled, never pretending to work.
    EXPECT_FALSE(frame->actionFor(cmd::Delete)->isEnabled());
    EXPECT_FALSE(frame->actionFor(cmd::Export)->isEnabled());
    EXPECT_FALSE(frame->actionFor(cmd::EffectsFirst)->isEnabled());
    EXPECT_TRUE(frame->actionFor(cmd::Exit)->isEnabled());
    EXPECT_TRUE(frame->actionFor(cmd::About)->isEnabled());
}

TEST_F(FrameCommandsTest, BarsAndThumbnailSizesToggleWithTheirChecks)
{
    ASSERT_TRUE(frame->OnCommand(cmd::StatusBar));
    EXPECT_FALSE(frame->showStatusBar());
    EXPECT_FALSE(frame->actionFor(cmd::StatusBar)->isChecked());
    ASSERT_TRUE(frame->OnCommand(cmd::StatusBar));
    EXPECT_TRUE(frame->actionFor(cmd::StatusBar)->isChecked());

    ASSERT_TRUE(frame->OnCommand(cmd::ThumbSizeFirst + 6));  // 150x150
    EXPECT_EQ(frame->GetThumbnailList()->settings().thumbWidth, 150);
    EXPECT_TRUE(frame->actionFor(cmd::ThumbSizeFirst + 6)->isChecked());
    EXPECT_FALSE(frame->actionFor(cmd::ThumbSizeFirst + 3)->isChecked());
    frame->EnterViewerMode();
    EXPECT_FALSE(frame->OnCommand(cmd::ThumbSizeFirst)) << "thumbnail sizes are browser commands";
}

TEST_F(FrameCommandsTest, BackAndForwardFollowTheHistory)
{
    fixtures::TempDir a;
    fixtures::TempDir b;
    CImageListCtrl* list = frame->GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(a.path()));
    frame->PushHistory(list->currentFolder().toBinary(), 0);
    ASSERT_TRUE(list->BrowseToPath(b.path()));
    frame->PushHistory(list->currentFolder().toBinary(), 0);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->actionFor(cmd::Back)->isEnabled());
    EXPECT_FALSE(frame->actionFor(cmd::Forward)->isEnabled());
    QTest::keyClick(frame.get(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(list->currentFolderPath(), a.path());
    EXPECT_TRUE(frame->actionFor(cmd::Forward)->isEnabled());
    QTest::keyClick(frame.get(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(list->currentFolderPath(), b.path());
}

TEST_F(FrameCommandsTest, ViewerCommandsReachTheImageView)
{
    fixtures::TempDir folder;
    ASSERT_FALSE(fixtures::writePatternJpeg(folder.file(QStringLiteral("a.jpg")), 64, 48).isEmpty());
    ASSERT_FALSE(fixtures::writePatternJpeg(folder.file(QStringLiteral("b.jpg")), 32, 32).isEmpty());
    CImageListCtrl* list = frame->GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(folder.path()));
    list->OpenItem(list->FindItemByPath(folder.file(QStringLiteral("a.jpg"))));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->actionFor(cmd::NextImage)->isEnabled());
    EXPECT_TRUE(frame->actionFor(cmd::Save)->isEnabled());

    ASSERT_TRUE(frame->OnCommand(cmd::NextImage));
    EXPECT_EQ(frame->GetImageView()->filePath(), folder.file(QStringLiteral("b.jpg")));
    EXPECT_EQ(frame->GetStatusBar()->paneText(0), QStringLiteral("2/2"));

    // Full screen asked of the viewer lays the frame out in full screen, and back.
    ASSERT_TRUE(frame->OnCommand(cmd::FullScreen));
    EXPECT_TRUE(frame->isFullScreenMode());
    ASSERT_TRUE(frame->OnCommand(cmd::FullScreen));
    EXPECT_FALSE(frame->isFullScreenMode());

    // Browse gives up the image and returns to the browser.
    ASSERT_TRUE(frame->OnCommand(cmd::Browse));
    EXPECT_EQ(frame->mode(), FrameMode::Browser);
    EXPECT_FALSE(frame->GetImageView()->hasImage());
}

}  // namespace

namespace {

// Clipboard data that counts every look at it: with another program owning the clipboard each
// look is a round trip that waits on that program.
class CountingMimeData : public QMimeData {
public:
    explicit CountingMimeData(int& reads) : m_reads(reads) {}
    QStringList formats() const override
    {
        ++m_reads;
        return QMimeData::formats();
    }

protected:
    QVariant retrieveData(const QString& format, QMetaType type) const override
    {
        ++m_reads;
        return QMimeData::retrieveData(format, type);
    }

private:
    int& m_reads;
};

TEST_F(FrameCommandsTest, CommandStatesNeverReadTheClipboardButFollowItsChanges)
{
    fixtures::TempDir folder;
    ASSERT_TRUE(frame->GetThumbnailList()->BrowseToPath(folder.path()));
    int reads = 0;
    auto data = std::make_unique<CountingMimeData>(reads);
    const auto files = FileClipboard::encode({{"/tmp/a.jpg"}, false});
    for (const QString& format : files->formats())
        data->setData(format, files->data(format));
    QGuiApplication::clipboard()->setMimeData(data.release());
    EXPECT_GT(reads, 0) << "read once when it changed";

    reads = 0;
    frame->GetThumbnailList()->selectOnly(-1);
    for (int i = 0; i < 3; ++i)
        frame->RefreshStatusBar();
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(frame->actionFor(cmd::Paste)->isEnabled());

    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->actionFor(cmd::Paste)->isEnabled());

    // The viewer asks whether an image is there the same way.
    const QString photo = fixtures::writePatternJpeg(folder.file(QStringLiteral("p.jpg")), 40, 30);
    ASSERT_TRUE(frame->GetThumbnailList()->BrowseToPath(folder.path()));
    frame->GetThumbnailList()->OpenItem(frame->GetThumbnailList()->FindItemByPath(photo));
    ASSERT_TRUE(frame->GetImageView()->hasImage());
    auto image = std::make_unique<CountingMimeData>(reads);
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(image.release());
    reads = 0;
    for (int i = 0; i < 3; ++i)
        frame->UpdateCommandStates();
    EXPECT_EQ(reads, 0);
    EXPECT_TRUE(frame->actionFor(cmd::Paste)->isEnabled());
}

}  // namespace

namespace {

TEST_F(FrameCommandsTest, TheSortButtonDropsTheSortByMenu)
{
    auto* button = qobject_cast<QToolButton*>(frame->browserToolBar()->widgetForAction(frame->actionFor(cmd::Sort)));
    ASSERT_NE(button, nullptr);
    frame->UpdateCommandStates();
    ASSERT_TRUE(button->isEnabled());
    QStringList items;
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                items << action->text();
            menu->close();
        }
    });
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_FALSE(items.isEmpty()) << "no menu dropped";
    EXPECT_EQ(items.first(), QStringLiteral("File &Name"));
    frame->actionFor(cmd::SortByDate)->trigger();
    EXPECT_EQ(frame->GetThumbnailList()->settings().sortType, ::SortByDate);
    EXPECT_TRUE(frame->actionFor(cmd::SortByDate)->isChecked());
    EXPECT_FALSE(frame->actionFor(cmd::SortByName)->isChecked());
}

}  // namespace
