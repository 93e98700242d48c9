// The file commands as the whole window carries them out: a typed address, and the viewer's
// rename and move through the browser's dialog and folder chooser, with the list catching up.
#include "FrameTestSupport.h"
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CAddressComboEx.h"
#include "browser/CComboEdit.h"
#include "browser/CDlgRename.h"
#include "browser/CFileNameEdit.h"
#include "platform/ShellActions.h"
#include "viewer/CImageView.h"

#include "TestFixtures.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kBound = 5000;

class FrameFileCommandsTest : public FrameWithPhotos {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(startFrame({"a.jpg", "b.jpg", "c.jpg"}, false)); }
    void TearDown() override
    {
        FrameWithPhotos::TearDown();
        ShellActions::setFolderChooser({});
    }

    void openInViewer(const QString& name)
    {
        ASSERT_TRUE(list()->BrowseToPath(photos.path()));
        list()->OpenItem(list()->FindItemByPath(photos.file(name)));
        ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    }

    // The item the viewer's list index points at, by the list's own record.
    QString listItemOfViewer() const
    {
        const int index = frame->GetImageView()->listIndex();
        return list()->items().isValidIndex(index) ? list()->items().at(index).path : QString();
    }
};

TEST_F(FrameFileCommandsTest, ATypedFolderIsBrowsedAndABadOneIsExplained)
{
    CComboEdit* edit = frame->GetAddressBar()->comboEdit();
    edit->setText(photos.path());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(list()->currentFolderPath(), photos.path());
    EXPECT_EQ(list()->GetItemCount(), 3);
    EXPECT_TRUE(messages.isEmpty());

    const QString missing = photos.file(QStringLiteral("no such folder"));
    edit->setText(missing);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Kelvra Photo Viewer|Could not browse to folder '%1'.\nPlease check "
                                                   "the path.").arg(missing)});
    EXPECT_EQ(list()->currentFolderPath(), photos.path());
}

TEST_F(FrameFileCommandsTest, TheViewerRenamesWithTheRenameDialogAndFollowsTheItem)
{
    openInViewer(QStringLiteral("a.jpg"));
    // F2 opens the dialog; the test types the new name into it.
    bool dialogSeen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CDlgRename*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogSeen = true;
        EXPECT_EQ(dialog->edit()->text(), QStringLiteral("a.jpg"));
        dialog->edit()->setText(QStringLiteral("z.jpg"));
        dialog->accept();
    });
    QTest::keyClick(frame->GetImageView(), Qt::Key_F2);
    ASSERT_TRUE(dialogSeen);
    const QString renamed = photos.file(QStringLiteral("z.jpg"));
    EXPECT_TRUE(QFile::exists(renamed));
    EXPECT_EQ(frame->GetImageView()->filePath(), renamed);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("z.jpg - Kelvra Photo Viewer"));

    // The list hears of the change and puts z.jpg at its end; the viewer's place goes with it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return listItemOfViewer() == renamed; }, kBound));
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->actionFor(cmd::NextImage)->isEnabled());
    ASSERT_TRUE(frame->OnCommand(cmd::PreviousImage));
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("c.jpg")));
}

TEST_F(FrameFileCommandsTest, TheViewerMovesItsFileAwayAndStepsOnWithoutSkipping)
{
    fixtures::TempDir elsewhere;
    QStringList prompts;
    ShellActions::setFolderChooser([&](QWidget*, const QString& title, const QString& prompt) {
        prompts << title + u'|' + prompt;
        return elsewhere.path();
    });
    openInViewer(QStringLiteral("a.jpg"));

    ASSERT_TRUE(frame->OnCommand(cmd::CopyToFolder));
    EXPECT_TRUE(QFile::exists(elsewhere.file(QStringLiteral("a.jpg"))));
    EXPECT_TRUE(QFile::exists(photos.file(QStringLiteral("a.jpg"))));
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("a.jpg")));

    ASSERT_TRUE(QFile::remove(elsewhere.file(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(frame->OnCommand(cmd::MoveToFolder));
    EXPECT_EQ(prompts, (QStringList{QStringLiteral("Copy Files|Select folder to copy to"),
                                    QStringLiteral("Move Files|Select folder to move to")}));
    EXPECT_TRUE(QFile::exists(elsewhere.file(QStringLiteral("a.jpg"))));
    EXPECT_FALSE(QFile::exists(photos.file(QStringLiteral("a.jpg"))));
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("b.jpg")));
    EXPECT_TRUE(messages.isEmpty());

    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->GetItemCount() == 2; }, kBound));
    EXPECT_EQ(listItemOfViewer(), photos.file(QStringLiteral("b.jpg")));
    ASSERT_TRUE(frame->OnCommand(cmd::NextImage));
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("c.jpg")));
}

// Opens the list's context menu with the keyboard on the selected item; `use` sees the menu
// while it is open and may trigger one of its items.
void withListMenu(CImageListCtrl* list, const std::function<void(QMenu&)>& use)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        seen = true;
        use(*menu);
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), list->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(list, &event);
    EXPECT_TRUE(seen) << "no menu opened";
}

QAction* actionNamed(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

TEST_F(FrameFileCommandsTest, TheListsMenusAreTheProgramsAndTheirItemsActOnTheItem)
{
    ASSERT_TRUE(QDir(photos.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    list()->setFocus();
    list()->selectOnly(list()->FindItemByPath(photos.file(QStringLiteral("b.jpg"))));
    withListMenu(list(), [](QMenu& menu) {
        EXPECT_EQ(menu.title(), QStringLiteral("ListCtrl Popup Menu - Photo"));
        ASSERT_FALSE(menu.actions().isEmpty());
        EXPECT_EQ(menu.actions().first()->text(), QStringLiteral("&View and Edit\tEnter"));
        QAction* rename = actionNamed(menu, QStringLiteral("Rena&me\tF2"));
        ASSERT_NE(rename, nullptr);
        EXPECT_TRUE(rename->isEnabled());
    });

    // A folder's "Browse" goes into the folder.
    list()->selectOnly(list()->FindItemByPath(photos.file(QStringLiteral("sub"))));
    withListMenu(list(), [](QMenu& menu) {
        EXPECT_EQ(menu.title(), QStringLiteral("ListCtrl Popup Menu - Folder"));
        QAction* browse = actionNamed(menu, QStringLiteral("&Browse"));
        ASSERT_NE(browse, nullptr);
        browse->trigger();
    });
    EXPECT_EQ(list()->currentFolderPath(), photos.file(QStringLiteral("sub")));

    // The empty folder's background: the sort order is checked in the submenu.
    list()->selectOnly(-1);
    withListMenu(list(), [](QMenu& menu) {
        EXPECT_EQ(menu.title(), QStringLiteral("ListCtrl Popup Menu - SYS"));
        ASSERT_FALSE(menu.actions().isEmpty());
        QMenu* sortBy = menu.actions().first()->menu();
        ASSERT_NE(sortBy, nullptr);
        EXPECT_TRUE(sortBy->actions().first()->isChecked());  // by name
    });
}

TEST_F(FrameFileCommandsTest, DeletingInTheViewerDropsTheItemAtOnceAndStepsOn)
{
    openInViewer(QStringLiteral("b.jpg"));
    ASSERT_TRUE(frame->OnCommand(cmd::Delete));
    EXPECT_EQ(list()->GetItemCount(), 2) << "without waiting for the watcher";
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("c.jpg")));
    EXPECT_EQ(listItemOfViewer(), photos.file(QStringLiteral("c.jpg")));
    ASSERT_TRUE(frame->OnCommand(cmd::PreviousImage));
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("a.jpg")));
    EXPECT_FALSE(QFile::exists(photos.file(QStringLiteral("b.jpg"))));
}

TEST_F(FrameFileCommandsTest, ViewInFullScreenOpensTheSelectedImageFullScreen)
{
    ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    list()->setFocus();
    list()->selectOnly(-1);
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->actionFor(cmd::FullScreen)->isEnabled()) << "nothing selected";
    list()->selectOnly(list()->FindItemByPath(photos.file(QStringLiteral("b.jpg"))));
    ASSERT_TRUE(frame->OnCommand(cmd::FullScreen));
    EXPECT_EQ(frame->mode(), FrameMode::Viewer);
    EXPECT_TRUE(frame->isFullScreenMode());
    EXPECT_TRUE(frame->GetImageView()->fullScreenMode());
    EXPECT_EQ(frame->GetImageView()->filePath(), photos.file(QStringLiteral("b.jpg")));
    ASSERT_TRUE(frame->OnCommand(cmd::FullScreen));
    EXPECT_FALSE(frame->isFullScreenMode());
    EXPECT_EQ(frame->mode(), FrameMode::Viewer);
}

TEST_F(FrameFileCommandsTest, ZoomTypesAndFixedLevelsFromTheMenusReachTheViewer)
{
    openInViewer(QStringLiteral("a.jpg"));
    frame->UpdateCommandStates();
    ASSERT_TRUE(frame->actionFor(cmd::ZoomLevelFirst)->isEnabled());
    frame->actionFor(cmd::ZoomLevelFirst)->trigger();
    EXPECT_DOUBLE_EQ(frame->GetImageView()->zoom(), 16.0);
    EXPECT_TRUE(frame->actionFor(cmd::ZoomLevelFirst)->isChecked());
    frame->actionFor(cmd::FitWidth)->trigger();
    EXPECT_EQ(frame->GetImageView()->zoomType(), ZoomType::FitWidth);
    EXPECT_TRUE(frame->actionFor(cmd::FitWidth)->isChecked());
    EXPECT_FALSE(frame->actionFor(cmd::ZoomLevelFirst)->isChecked());
}

}  // namespace

namespace {

TEST_F(FrameFileCommandsTest, NewFolderOpensItsRenameEditorAndTheWatchersRescanKeepsIt)
{
    ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    list()->setFocus();
    // The list's watcher is in place once it has seen a change.
    ASSERT_TRUE(fixtures::writeFile(photos.file(QStringLiteral("seen.txt")), "x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->GetItemCount() == 4; }, kBound));

    ASSERT_TRUE(frame->OnCommand(cmd::NewFolder));
    ASSERT_NE(list()->labelEditor(), nullptr);
    QTest::keyClicks(list()->labelEditor(), QStringLiteral("Trips"));
    // Another change after the folder's own: once the list shows it, the watcher has rescanned.
    ASSERT_TRUE(fixtures::writeFile(photos.file(QStringLiteral("later.txt")), "x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return list()->GetItemCount() == 6; }, kBound));
    ASSERT_NE(list()->labelEditor(), nullptr) << "the rescan closed the editor";
    EXPECT_EQ(list()->labelEditor()->text(), QStringLiteral("Trips"));
    QTest::keyClick(list()->labelEditor(), Qt::Key_Return);
    EXPECT_TRUE(QFileInfo(photos.file(QStringLiteral("Trips"))).isDir());
}

}  // namespace
