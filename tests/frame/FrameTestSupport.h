#pragma once
// A shown main frame over a folder of small JPEGs, with every message box recorded
// ("caption|text") and answered Ok.
#include "frame/CMainFrame.h"
#include "viewer/CImageView.h"

#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"

#include "TestFixtures.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

class FrameWithPhotos : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    fixtures::TempDir photos;
    QStringList messages;
    MessageBoxSeam::Handler previousHandler;
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};
    std::unique_ptr<CMainFrame> frame;
    int questions = 0;  // the viewer's save questions, when `startFrame` answers them

    // Writes 32 x 16 JPEGs of these names, then makes and shows the frame. With
    // `discardEdits` the viewer's save question is counted and answered Discard.
    void startFrame(std::initializer_list<const char*> names, bool discardEdits)
    {
        previousHandler = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            messages << r.caption + u'|' + r.text;
            return QMessageBox::Ok;
        });
        for (const char* name : names)
            ASSERT_FALSE(fixtures::writePatternJpeg(photos.file(QString::fromLatin1(name)), 32, 16).isEmpty());
        frame = std::make_unique<CMainFrame>(services);
        if (discardEdits) {
            ViewerDialogs dialogs = ViewerDialogs::standard();
            dialogs.querySave = [this](QWidget*, const QString&, const QString&, QString&) {
                ++questions;
                return int(QuerySaveDiscard);
            };
            frame->GetImageView()->setDialogs(dialogs);
        }
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override
    {
        frame.reset();
        MessageBoxSeam::setHandler(previousHandler);
    }
    CImageListCtrl* list() const { return frame->GetThumbnailList(); }
    CImageView* view() const { return frame->GetImageView(); }
};
