// The Tools menu's lossless JPEG turns as the window carries them out: the list's selection in
// the browser, the viewed file in the viewer.
#include "FrameTestSupport.h"
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"
#include "imaging/fipSuperImage.h"
#include "viewer/CImageView.h"

#include "TestFixtures.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QSize sizeOnDisk(const QString& path)
{
    fipSuperImage image;
    return image.load(path) ? QSize(int(image.getWidth()), int(image.getHeight())) : QSize();
}

class JpegLosslessFrameTest : public FrameWithPhotos {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(startFrame({"a.jpg", "b.jpg", "c.jpg"}, true));
        ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    }
};

TEST_F(JpegLosslessFrameTest, SelectedJpegsTurnOnDiskAndTheirThumbnailsFollow)
{
    list()->runSelectionCommand(cmd::SelectAll);
    ASSERT_TRUE(frame->OnCommand(cmd::JpegRotateRight));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        EXPECT_EQ(sizeOnDisk(photos.file(QString::fromLatin1(name))), QSize(16, 32)) << name;
    // The rescan gave the turned files fresh records, whose thumbnails are made again.
    const int index = list()->FindItemByPath(photos.file("b.jpg"));
    QTRY_VERIFY_WITH_TIMEOUT(list()->items().at(index).thumbnail.isValid()
                                 && list()->items().at(index).thumbnail.getWidth() < list()->items().at(index).thumbnail.getHeight(),
                             10000);

    // A PNG among the selection turns the whole submenu off.
    ASSERT_TRUE(fixtures::patternImage(8, 8).save(photos.file("d.png")));
    list()->Rescan();
    list()->runSelectionCommand(cmd::SelectAll);
    EXPECT_FALSE(frame->OnCommand(cmd::JpegRotateLeft));
    EXPECT_EQ(sizeOnDisk(photos.file("a.jpg")), QSize(16, 32));
}

TEST_F(JpegLosslessFrameTest, TheViewedJpegTurnsAndReopensAndUnsavedEditsAreWarnedAbout)
{
    list()->OpenItem(list()->FindItemByPath(photos.file("a.jpg")));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    CImageView* view = frame->GetImageView();
    ASSERT_TRUE(frame->OnCommand(cmd::JpegRotateLeft));
    EXPECT_EQ(view->image()->getWidth(), 16u);
    EXPECT_EQ(sizeOnDisk(photos.file("a.jpg")), QSize(16, 32));
    EXPECT_TRUE(messages.isEmpty());

    view->image()->invert();
    view->setModified(true);
    ASSERT_TRUE(frame->OnCommand(cmd::JpegRotateRight));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("has just been transformed on disk")) << messages[0].toStdString();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(view->image()->getWidth(), 32u);
    EXPECT_FALSE(view->isModified());
}

// The Image menu's geometry commands reach the viewed image through the frame; the custom
// rotation is the viewer's alone.
TEST_F(JpegLosslessFrameTest, ImageMenuCommandsChangeTheViewedImage)
{
    EXPECT_FALSE(frame->OnCommand(cmd::CustomRotation)) << "browser mode";
    list()->OpenItem(list()->FindItemByPath(photos.file("a.jpg")));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    CImageView* view = frame->GetImageView();
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        dialog->findChildren<QLineEdit*>().at(1)->setText("300");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_TRUE(frame->OnCommand(cmd::SetDpi));
    EXPECT_NEAR(view->image()->getResolutionY(), 118.11, 0.01);
    EXPECT_TRUE(view->isModified());
    ASSERT_TRUE(frame->OnCommand(cmd::DepthBlackAndWhite));
    EXPECT_EQ(view->image()->getBPP(), 1u);
}

}  // namespace
