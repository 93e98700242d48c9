// The Export command as the window carries it: enabled by the list's images, and run from
// the File menu over the list's selection.
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"
#include "export/CDlgExport.h"
#include "export/CDlgExportingImages.h"

#include "TestFixtures.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(ExportFrameTest, TheFileMenusExportRunsOverTheListsSelection)
{
    fixtures::TempDir dir;
    fixtures::TempDir photos;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        ASSERT_FALSE(fixtures::writePatternJpeg(photos.file(QString::fromLatin1(name)), 32, 16).isEmpty());
    QDir(photos.path()).mkpath(QStringLiteral("sub"));
    FrameServices services{dir.file(QStringLiteral("Config.ini")), dir.file(QStringLiteral("Temp")), dir.path(), false};
    CMainFrame frame(services);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CImageListCtrl* list = frame.GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(photos.path()));

    QAction* exportAction = frame.actionFor(cmd::Export);
    frame.UpdateCommandStates();
    EXPECT_TRUE(exportAction->isEnabled());
    const int sub = list->FindItemByPath(photos.file(QStringLiteral("sub")));
    ASSERT_GE(sub, 0);
    list->selectOnly(sub);
    frame.UpdateCommandStates();
    EXPECT_FALSE(exportAction->isEnabled());  // only a folder is selected
    list->selectOnly(list->FindItemByPath(photos.file(QStringLiteral("b.jpg"))));
    frame.UpdateCommandStates();
    ASSERT_TRUE(exportAction->isEnabled());

    const QString out = dir.file(QStringLiteral("out"));
    QDir().mkpath(out);
    QTimer::singleShot(0, [&] {
        auto* options = qobject_cast<CDlgExport*>(QApplication::activeModalWidget());
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(options->folderEdit()->text(), photos.path());
        options->formatCombo()->setCurrentIndex(options->formatCombo()->findData(static_cast<int>(FIF_PNG)));
        options->otherFolderButton()->click();
        options->folderEdit()->setText(out);
        QTimer::singleShot(0, [&] {
            auto* progress = qobject_cast<CDlgExportingImages*>(QApplication::activeModalWidget());
            ASSERT_NE(progress, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return progress->button()->text() == QStringLiteral("Finish"); }, 20000));
            QTest::mouseClick(progress->button(), Qt::LeftButton);
        });
        options->accept();
    });
    exportAction->trigger();
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{QStringLiteral("b.png")});
}

}  // namespace
