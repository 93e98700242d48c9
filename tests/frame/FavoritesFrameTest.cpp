// The favorites in the whole window: the left pane's tree drives the list (navigation source
// 1), the history and the address bar; shortcuts to folders jump the folder tree; Add to
// Favorites from the list and the folder tree goes through the real dialog.
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CAddressComboEx.h"
#include "browser/CBrowserView.h"
#include "browser/CDlgAddFavorite.h"
#include "browser/CShellTree.h"

#include "TestFixtures.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

class FavoritesFrameTest : public ::testing::Test {
protected:
    fixtures::TempDir data;
    fixtures::TempDir photos;
    QString favorites = data.file(QStringLiteral("Favorites"));
    std::unique_ptr<CMainFrame> frame;
    MessageBoxSeam::Handler previous;
    QStringList messages;

    void SetUp() override
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            messages << r.text;
            return QMessageBox::Yes;
        });
        ASSERT_TRUE(QDir().mkpath(favorites + QStringLiteral("/Trips")));
        ASSERT_TRUE(QDir().mkpath(photos.file(QStringLiteral("Rome"))));
        ASSERT_FALSE(fixtures::writePatternJpeg(photos.file(QStringLiteral("a.jpg")), 32, 16).isEmpty());
        frame = std::make_unique<CMainFrame>(FrameServices{data.file(QStringLiteral("Config.ini")), data.file(QStringLiteral("Temp")), data.path(), false});
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }
    void TearDown() override
    {
        frame.reset();
        MessageBoxSeam::setHandler(previous);
    }
    CFavoritesTree* tree() const { return frame->GetBrowserView()->favoritesTree(); }
    CImageListCtrl* list() const { return frame->GetThumbnailList(); }

    // Runs the command; the Add Favorite dialog it opens picks `category` and presses OK.
    bool addToFavoritesInto(int id, const QString& category)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CDlgAddFavorite*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            dialog->tree()->setCurrentItem(dialog->tree()->findItemByPath(category));
            dialog->accept();
        });
        frame->OnCommand(id);
        return seen;
    }
};

TEST_F(FavoritesFrameTest, ACategoryShowsInTheListWithTheHistoryAndTheAddress)
{
    frame->GetBrowserView()->choosePane(2);
    ASSERT_TRUE(tree()->isVisible());
    ASSERT_TRUE(tree()->root());
    ASSERT_TRUE(QFile::link(photos.file(QStringLiteral("Rome")), favorites + QStringLiteral("/Trips/Rome.lnk")));

    tree()->setCurrentItem(tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
    EXPECT_EQ(list()->currentFolderPath(), favorites + QStringLiteral("/Trips"));
    EXPECT_EQ(list()->navigationSource(), 1);
    ASSERT_TRUE(frame->history().current());
    EXPECT_EQ(frame->history().current()->source, 1u);
    EXPECT_TRUE(frame->GetAddressBar()->selectedNames(list()->currentFolder()));

    // Its shortcut to a folder jumps the folder tree there.
    const int rome = list()->FindItemByPath(favorites + QStringLiteral("/Trips/Rome.lnk"));
    ASSERT_GE(rome, 0);
    list()->OpenItem(rome);
    EXPECT_EQ(list()->currentFolderPath(), photos.file(QStringLiteral("Rome")));
    EXPECT_EQ(CShellTree::pathOf(frame->GetShellTree()->currentItem()), QFile::encodeName(photos.file(QStringLiteral("Rome"))));

    // Back returns to the category through the favorites tree.
    frame->OnBack();
    EXPECT_EQ(list()->currentFolderPath(), favorites + QStringLiteral("/Trips"));
    EXPECT_EQ(tree()->currentItem(), tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
}

TEST_F(FavoritesFrameTest, AShortcutWhoseTargetIsGoneIsShownAndCannotBeOpened)
{
    ASSERT_TRUE(QFile::link(photos.file(QStringLiteral("gone.jpg")), favorites + QStringLiteral("/Trips/gone.jpg.lnk")));
    frame->GetBrowserView()->choosePane(2);
    tree()->setCurrentItem(tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
    const int gone = list()->FindItemByPath(favorites + QStringLiteral("/Trips/gone.jpg.lnk"));
    ASSERT_GE(gone, 0);
    list()->OpenItem(gone);
    EXPECT_EQ(messages, QStringList{QStringLiteral("Can not open this item.")});
    EXPECT_EQ(frame->mode(), FrameMode::Browser);
    EXPECT_EQ(list()->currentFolderPath(), favorites + QStringLiteral("/Trips"));
}

TEST_F(FavoritesFrameTest, ACategoryRemovedOutsideWhileShownLeavesTheTreeAndTheList)
{
    ASSERT_TRUE(QDir().mkpath(favorites + QStringLiteral("/Zoo")));
    frame->GetBrowserView()->choosePane(2);
    tree()->refresh();
    tree()->setCurrentItem(tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
    ASSERT_EQ(list()->currentFolderPath(), favorites + QStringLiteral("/Trips"));
    ASSERT_TRUE(QDir(favorites).rename(QStringLiteral("Trips"), QStringLiteral("Travel")));
    QTRY_VERIFY_WITH_TIMEOUT(tree()->findItemByPath(favorites + QStringLiteral("/Travel")), 3000);
    EXPECT_FALSE(tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
    // The selection moved to a category that exists, and the list with it.
    ASSERT_TRUE(tree()->currentItem());
    EXPECT_EQ(list()->currentFolderPath(), tree()->pathOf(tree()->currentItem()));
    ASSERT_TRUE(QDir(favorites + QStringLiteral("/Zoo")).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(!tree()->findItemByPath(favorites + QStringLiteral("/Zoo")), 3000);
    EXPECT_EQ(list()->currentFolderPath(), tree()->pathOf(tree()->currentItem()));
}

TEST_F(FavoritesFrameTest, AddToFavoritesFromTheListAndTheFolderTree)
{
    ASSERT_TRUE(list()->BrowseToPath(photos.path()));
    list()->selectOnly(list()->FindItemByPath(photos.file(QStringLiteral("a.jpg"))));
    ASSERT_TRUE(frame->commandState(cmd::AddToFavorites).enabled);
    ASSERT_TRUE(addToFavoritesInto(cmd::AddToFavorites, favorites + QStringLiteral("/Trips")));
    EXPECT_EQ(QFileInfo(favorites + QStringLiteral("/Trips/a.jpg.lnk")).symLinkTarget(), photos.file(QStringLiteral("a.jpg")));

    // The folder tree's popup adds its context item.
    CShellTree* shellTree = frame->GetShellTree();
    QTreeWidgetItem* rome = shellTree->FindItem(shellTree->shell().idListFromPath(QFile::encodeName(photos.file(QStringLiteral("Rome")))), true);
    ASSERT_TRUE(rome);
    QContextMenuEvent press(QContextMenuEvent::Mouse, shellTree->visualItemRect(rome).center());
    QTimer::singleShot(0, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    QApplication::sendEvent(shellTree->viewport(), &press);
    ASSERT_EQ(shellTree->contextItem(), rome);
    ASSERT_TRUE(addToFavoritesInto(cmd::TreeAddToFavorites, favorites));
    EXPECT_EQ(QFileInfo(favorites + QStringLiteral("/Rome.lnk")).symLinkTarget(), photos.file(QStringLiteral("Rome")));
}

TEST_F(FavoritesFrameTest, TheTreesCommandsReachItWhenItHasTheFocus)
{
    frame->GetBrowserView()->choosePane(2);
    tree()->setFocus();
    QTRY_VERIFY(tree()->hasFocus());
    tree()->setCurrentItem(tree()->root());
    EXPECT_FALSE(frame->commandState(cmd::Delete).enabled);
    tree()->setCurrentItem(tree()->findItemByPath(favorites + QStringLiteral("/Trips")));
    ASSERT_TRUE(frame->commandState(cmd::Delete).enabled);
    ASSERT_TRUE(frame->OnCommand(cmd::Delete));
    EXPECT_FALSE(QFileInfo::exists(favorites + QStringLiteral("/Trips")));
}

}  // namespace
