#include "browser/CAddressComboEx.h"
#include "browser/CBrowserView.h"
#include "browser/CFileNameEdit.h"
#include "browser/CShellTree.h"
#include "browser/CTitle.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <QToolButton>

namespace {

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

class ShellTree : public ::testing::Test {
protected:
    ShellTree()
    {
        for (const char* f : {"Pictures/2024/May", "Pictures/2023", "Pictures/b10", "Pictures/B9", "Music", ".dots/in"})
            QDir(dir.path()).mkpath(f);
        fixtures::writeFile(dir.file("Pictures/photo.jpg"), "x");
        tree.setHooks({[this](const ItemIdList& f) { return shown == f; },
                       [this](const ItemIdList& f) { shown = f; ++browsed; return true; },
                       [this](const ItemIdList& f) { history.push_back(f); },
                       [this] { ++rescans; },
                       {}});
        tree.initialize(ShellNamespace(QFile::encodeName(dir.path()), {{"/", "/dev/sda1", "ext4", "File System"}}), false);
    }
    ItemIdList folder(const char* relative) const
    {
        return tree.shell().idListFromPath(QFile::encodeName(dir.file(QString::fromUtf8(relative))));
    }

    fixtures::TempDir dir;
    CShellTree tree;
    ItemIdList shown{{{ItemTag::Computer, {}}}};
    int browsed = 0;
    int rescans = 0;
    std::vector<ItemIdList> history;
};

}  // namespace

TEST_F(ShellTree, StartsWithTheRootHomeAndComputerWithItsVolumes)
{
    QTreeWidgetItem* root = tree.topLevelItem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(tree.currentItem(), root);
    EXPECT_EQ(childTexts(root), QStringList({"Home", "Computer"}));
    EXPECT_TRUE(root->child(1)->isExpanded());
    EXPECT_EQ(root->child(1)->childCount(), 1);
    // Filling the tree does not browse.
    EXPECT_EQ(browsed, 0);
}

TEST_F(ShellTree, ChildrenComeOnFirstExpansionSortedWithChildMarks)
{
    QTreeWidgetItem* home = tree.topLevelItem(0)->child(0);
    home->setExpanded(true);
    EXPECT_EQ(childTexts(home), QStringList({"Music", "Pictures"}));  // no dot folders
    QTreeWidgetItem* pictures = home->child(1);
    EXPECT_EQ(pictures->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(home->child(0)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(pictures->childCount(), 0);
    pictures->setExpanded(true);
    EXPECT_EQ(childTexts(pictures), QStringList({"2023", "2024", "B9", "b10"}));
}

TEST_F(ShellTree, FindItemOfADeepPathExpandsItsAncestorsOnlyWhenAsked)
{
    EXPECT_EQ(tree.FindItem(folder("Pictures/2024/May"), false), nullptr);
    QTreeWidgetItem* may = tree.FindItem(folder("Pictures/2024/May"), true);
    ASSERT_TRUE(may);
    EXPECT_EQ(may->text(0), "May");
    for (QTreeWidgetItem* up = may->parent(); up; up = up->parent())
        EXPECT_TRUE(up->isExpanded()) << up->text(0).toStdString();
    EXPECT_EQ(tree.FindItem(folder("Pictures/none"), true), nullptr);
}

TEST_F(ShellTree, SelectFolderBrowsesRecordsAndFeedsTheAddressBar)
{
    ShellNamespace shell(QFile::encodeName(dir.path()), {});
    CAddressComboEx combo({});
    combo.setShell(&shell);
    tree.setAddressBar(&combo);
    QTreeWidgetItem* item = tree.SelectFolder(folder("Pictures/2023"), true);
    ASSERT_TRUE(item);
    EXPECT_EQ(tree.currentItem(), item);
    EXPECT_EQ(shown, folder("Pictures/2023"));
    EXPECT_EQ(browsed, 1);
    EXPECT_EQ(history, std::vector<ItemIdList>{folder("Pictures/2023")});
    EXPECT_TRUE(combo.selectedNames(folder("Pictures/2023")));

    // Choosing another node goes through the same road; a folder the tree cannot follow
    // still browses and leaves the selection alone.
    tree.setCurrentItem(item->parent());
    EXPECT_EQ(shown, folder("Pictures"));
    EXPECT_EQ(history.size(), 2u);
    EXPECT_EQ(tree.SelectFolder(folder(".dots/in"), false), nullptr);
    EXPECT_EQ(shown, folder(".dots/in"));
    EXPECT_EQ(tree.currentItem()->text(0), "Pictures");
    EXPECT_EQ(combo.count(), 3);
}

TEST_F(ShellTree, MovingToASiblingWithTheArrowKeysClosesTheOldFolder)
{
    QTreeWidgetItem* y2023 = tree.SelectFolder(folder("Pictures/2023"), true);
    QTreeWidgetItem* y2024 = tree.FindItem(folder("Pictures/2024"), true);
    y2023->setExpanded(true);
    tree.setCurrentItem(y2023);
    tree.show();
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.currentItem(), y2024);
    EXPECT_FALSE(y2023->isExpanded());
    EXPECT_EQ(shown, folder("Pictures/2024"));
}

TEST_F(ShellTree, FoldersMadeOrRemovedOutsideTheProgramFollow)
{
    QTreeWidgetItem* pictures = tree.FindItem(folder("Pictures"), true);
    pictures->setExpanded(true);
    QDir(dir.path()).mkpath("Pictures/2025");
    ASSERT_TRUE(QTest::qWaitFor([&] { return childTexts(pictures).contains("2025"); }, 5000));
    QDir(dir.file("Pictures/2023")).removeRecursively();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !childTexts(pictures).contains("2023"); }, 5000));
    EXPECT_EQ(childTexts(pictures), QStringList({"2024", "2025", "B9", "b10"}));

    // A folder made in a never-expanded folder without sub-folders gives it its expand mark.
    QTreeWidgetItem* music = tree.FindItem(folder("Music"), false);
    ASSERT_TRUE(music);
    ASSERT_EQ(music->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    QDir(dir.path()).mkpath("Music/Jazz");
    ASSERT_TRUE(QTest::qWaitFor([&] { return music->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator; }, 5000));
    music->setExpanded(true);
    EXPECT_EQ(childTexts(music), QStringList({"Jazz"}));
}

TEST_F(ShellTree, WhenTheShownFolderGoesItsNearestRemainingAncestorIsShown)
{
    ASSERT_TRUE(tree.SelectFolder(folder("Pictures/2024/May"), true));
    QDir(dir.file("Pictures/2024")).removeRecursively();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown != folder("Pictures/2024/May"); }, 5000));
    EXPECT_EQ(shown, folder("Pictures"));
    EXPECT_EQ(tree.currentItem()->text(0), "Pictures");
    EXPECT_EQ(history.back(), folder("Pictures"));
}

TEST_F(ShellTree, NewFolderAndRenameWorkOnTheContextItem)
{
    QDir(dir.path()).mkpath("Pictures/New Folder");
    QDir(dir.path()).mkpath("Pictures/new folder (2)");
    QTreeWidgetItem* pictures = tree.SelectFolder(folder("Pictures"), true);
    tree.show();
    EXPECT_TRUE(tree.isCommandEnabled(33073));
    ASSERT_TRUE(tree.runCommand(33073));
    EXPECT_TRUE(QFileInfo(dir.file("Pictures/New Folder (3)")).isDir());
    EXPECT_EQ(rescans, 1);
    // The new folder's name is being edited; a refused character never reaches it.
    auto* editor = tree.findChild<CFileNameEdit*>();
    ASSERT_TRUE(editor);
    editor->setBeep([] {});
    editor->selectAll();
    QTest::keyClicks(editor, "Trip:");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(dir.file("Pictures/Trip")).isDir(); }, 2000));
    EXPECT_TRUE(childTexts(pictures).contains("Trip"));
    EXPECT_FALSE(childTexts(pictures).contains("New Folder (3)"));
}

TEST_F(ShellTree, VolumeRootsAndHomeCannotBeRenamedOrDeleted)
{
    QTreeWidgetItem* fileSystem = tree.topLevelItem(0)->child(1)->child(0);
    tree.setCurrentItem(fileSystem);
    EXPECT_FALSE(tree.isCommandEnabled(33419));
    EXPECT_FALSE(tree.isCommandEnabled(33052));
    EXPECT_FALSE(tree.beginRename(fileSystem));
    EXPECT_FALSE(tree.beginRename(tree.topLevelItem(0)->child(0)));
    tree.SelectFolder(folder("Music"), true);
    EXPECT_TRUE(tree.isCommandEnabled(33419));
}

TEST(BrowserView, TheChooserSwitchesTreesAndTitle)
{
    CBrowserView view;
    view.show();
    EXPECT_EQ(view.title()->title(), "Folders");
    EXPECT_TRUE(view.showsFolders());
    view.favoritesButton()->click();
    EXPECT_EQ(view.title()->title(), "Favorites");
    EXPECT_FALSE(view.showsFolders());
    EXPECT_TRUE(view.favoritesTree()->isVisible());
    EXPECT_FALSE(view.shellTree()->isVisible());
    view.foldersButton()->click();
    EXPECT_EQ(view.title()->title(), "Folders");
    EXPECT_TRUE(view.shellTree()->isVisible());
}
