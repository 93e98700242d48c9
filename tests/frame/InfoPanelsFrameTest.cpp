#include "frame/CMainFrame.h"
#include "viewer/CImageView.h"

#include "app/CommandIds.h"
#include "info/CFilePropertyDlg.h"
#include "info/CHistogramWnd.h"
#include "info/InfoPanels.h"

#include "TestFixtures.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class InfoPanelsFrameTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};
    std::unique_ptr<CMainFrame> frame;
    QString photo;

    void SetUp() override
    {
        photo = fixtures::writePatternJpeg(dir.file(QStringLiteral("photo.jpg")), 64, 48);
        frame = std::make_unique<CMainFrame>(services);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        ASSERT_TRUE(frame->GetThumbnailList()->BrowseToPath(dir.path()));
    }
    bool checked(int id) { return frame->actionFor(id)->isChecked(); }
};

TEST_F(InfoPanelsFrameTest, TheListsFocusReachesThePaneAndTheChannelCommandsToggleIt)
{
    CImageListCtrl* list = frame->GetThumbnailList();
    CImagePreviewView* pane = frame->infoPanels()->pane();
    EXPECT_EQ(frame->GetInformationPane(), pane);
    list->setFocusedItem(list->FindItemByPath(photo));
    EXPECT_EQ(pane->histogram()->path(), photo);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->histogram()->data().maxima[histogram::Red] > 0; }, 20000));

    frame->UpdateCommandStates();
    EXPECT_TRUE(checked(cmd::HistogramRed));
    EXPECT_FALSE(checked(cmd::HistogramGray));
    EXPECT_TRUE(frame->OnCommand(cmd::HistogramGray));
    EXPECT_TRUE(checked(cmd::HistogramGray));
    EXPECT_TRUE(pane->histogram()->isChecked(cmd::HistogramGray));
}

TEST_F(InfoPanelsFrameTest, TheViewerHistogramFollowsTheModesAndTheImage)
{
    CImageListCtrl* list = frame->GetThumbnailList();
    list->OpenItem(list->FindItemByPath(photo));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    CDlgHistogram* dialog = frame->infoPanels()->dialog();
    EXPECT_FALSE(dialog->isVisible());

    EXPECT_TRUE(frame->OnCommand(cmd::Histogram));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(checked(cmd::Histogram));
    dialog->histogramWindow()->grab();
    EXPECT_TRUE(dialog->histogramWindow()->data().computed(histogram::DlgRed));
    frame->GetImageView()->RefreshAfterChange();
    EXPECT_FALSE(dialog->histogramWindow()->data().computed(histogram::DlgRed));

    // Leaving the viewer hides it and keeps the wish; coming back shows it again.
    frame->EnterBrowserMode();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(frame->infoPanels()->dialogWanted());
    frame->EnterViewerMode();
    EXPECT_TRUE(dialog->isVisible());
    dialog->close();
    EXPECT_FALSE(frame->infoPanels()->dialogWanted());
    frame->EnterBrowserMode();
    frame->EnterViewerMode();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(InfoPanelsFrameTest, PropertiesOpensTheDialogForAListFileAndTheViewersImage)
{
    QStringList shown;
    const auto previous = CFilePropertyDlg::setTestHook(
        [&](CFilePropertyDlg& dialog) { shown << dialog.field("Filename")->text(); });
    CImageListCtrl* list = frame->GetThumbnailList();
    list->setFocus();
    list->selectOnly(list->FindItemByPath(photo));
    EXPECT_TRUE(frame->OnCommand(cmd::Properties));
    list->OpenItem(list->FindItemByPath(photo));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    EXPECT_TRUE(frame->OnCommand(cmd::Properties));
    CFilePropertyDlg::setTestHook(previous);
    EXPECT_EQ(shown, (QStringList{"photo.jpg", "photo.jpg"}));
}

}  // namespace
