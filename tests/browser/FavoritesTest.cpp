// Favorites: shortcut names and links, the category tree on disk and as it follows changes
// made outside the program, its commands, and the Add Favorite dialog.
#include "browser/CDlgAddFavorite.h"
#include "browser/CFavoritesTree.h"
#include "browser/CSuperFavoritesTree.h"
#include "browser/Favorites.h"

#include "app/MessageBoxSeam.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kBound = 5000;

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    texts.sort();
    return texts;
}

class FavoritesTest : public ::testing::Test {
protected:
    fixtures::TempDir data;
    fixtures::TempDir photos;
    QString folder = data.file(QStringLiteral("Favorites"));
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    MessageBoxSeam::Handler previous;

    void SetUp() override
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            messages << r.text;
            return answer;
        });
    }
    void TearDown() override { MessageBoxSeam::setHandler(previous); }
    void mkdir(const QString& relative) { ASSERT_TRUE(QDir().mkpath(folder + u'/' + relative)); }
    QString photo(const QString& name)
    {
        const QString path = photos.file(name);
        fixtures::writeFile(path, "jpeg");
        return path;
    }
};

TEST(FavoriteNamesTest, ShortcutNamesLoseTheCharactersFileNamesCannotHold)
{
    const std::pair<const char*, const char*> cases[] = {
        {"beach.jpg", "beach.jpg.lnk"},
        {"Time: 10?30", "Time 1030.lnk"},
        {"a\"b*c/d:e<f>g?h\\i|j", "abcdefghij.lnk"},
        {"Grüße", "Grüße.lnk"},
    };
    for (const auto& [display, expected] : cases)
        EXPECT_EQ(favorites::shortcutFileName(QString::fromUtf8(display)), QString::fromUtf8(expected));
}

TEST_F(FavoritesTest, AShortcutLinksToItsTargetAndAShortcutIsCopiedNotLinkedTo)
{
    mkdir(QStringLiteral("Trips"));
    const QString trips = folder + QStringLiteral("/Trips");
    const QString image = photo(QStringLiteral("sea.jpg"));
    ASSERT_TRUE(favorites::AddFavorite(trips, {image, QStringLiteral("sea.jpg")}, false));
    const QFileInfo link(trips + QStringLiteral("/sea.jpg.lnk"));
    ASSERT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), image);

    // Taken: refused without overwrite, replaced with it.
    const QString other = photo(QStringLiteral("other.jpg"));
    EXPECT_FALSE(favorites::AddFavorite(trips, {other, QStringLiteral("sea.jpg")}, false));
    EXPECT_EQ(QFileInfo(link.filePath()).symLinkTarget(), image);
    ASSERT_TRUE(favorites::AddFavorite(trips, {other, QStringLiteral("sea.jpg")}, true));
    EXPECT_EQ(QFileInfo(link.filePath()).symLinkTarget(), other);

    // A shortcut added as a favorite points where it points.
    ASSERT_TRUE(favorites::AddFavorite(folder, {link.filePath(), QStringLiteral("sea.jpg")}, false));
    EXPECT_EQ(QFileInfo(folder + QStringLiteral("/sea.jpg.lnk")).symLinkTarget(), other);

    // A folder that happens to carry the name is never replaced.
    mkdir(QStringLiteral("x.lnk"));
    EXPECT_FALSE(favorites::AddFavorite(folder, {image, QStringLiteral("x")}, true));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/x.lnk")).isDir());
}

TEST_F(FavoritesTest, TheTreeShowsCategoriesOnlyAndFollowsChangesMadeOutside)
{
    mkdir(QStringLiteral("Trips/Italy"));
    mkdir(QStringLiteral("Family"));
    mkdir(QStringLiteral(".cache"));
    mkdir(QStringLiteral("Secret"));
    fixtures::writeFile(folder + QStringLiteral("/.hidden"), "Secret\n");
    fixtures::writeFile(folder + QStringLiteral("/note.jpg.lnk"), "x");
    ASSERT_TRUE(QFile::link(photos.path(), folder + QStringLiteral("/Photos.lnk")));

    CSuperFavoritesTree tree;
    tree.initialize(folder);
    QTreeWidgetItem* root = tree.root();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->text(0), QStringLiteral("Favorites"));
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(tree.currentItem(), root);
    EXPECT_EQ(childTexts(root), (QStringList{QStringLiteral("Family"), QStringLiteral("Trips")}));
    QTreeWidgetItem* italy = tree.findItemByPath(folder + QStringLiteral("/Trips/Italy/"));
    ASSERT_TRUE(italy);
    EXPECT_EQ(tree.pathOf(italy), folder + QStringLiteral("/Trips/Italy"));
    EXPECT_FALSE(tree.findItemByPath(photos.path()));

    // Made, renamed and removed by another program: the tree follows within about half a second.
    mkdir(QStringLiteral("Trips/Spain"));
    QTRY_COMPARE_WITH_TIMEOUT(childTexts(tree.findItemByPath(folder + QStringLiteral("/Trips"))),
                              (QStringList{QStringLiteral("Italy"), QStringLiteral("Spain")}), 2000);
    tree.setCurrentItem(tree.findItemByPath(folder + QStringLiteral("/Family")));
    ASSERT_TRUE(QDir(folder).rename(QStringLiteral("Family"), QStringLiteral("Kin")));
    QTRY_COMPARE_WITH_TIMEOUT(childTexts(root), (QStringList{QStringLiteral("Kin"), QStringLiteral("Trips")}), 2000);
    ASSERT_TRUE(QDir(folder + QStringLiteral("/Trips/Italy")).removeRecursively());
    QTRY_COMPARE_WITH_TIMEOUT(childTexts(tree.findItemByPath(folder + QStringLiteral("/Trips"))),
                              QStringList{QStringLiteral("Spain")}, 2000);
}

TEST_F(FavoritesTest, AClickOnALabelOpensTheCategoryAndTheBranchMarkStillFoldsIt)
{
    mkdir(QStringLiteral("Trips/Italy"));
    CFavoritesTree tree;
    tree.initializeFavorites(folder);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    QTreeWidgetItem* trips = tree.findItemByPath(folder + QStringLiteral("/Trips"));
    ASSERT_TRUE(trips);
    ASSERT_FALSE(trips->isExpanded());
    const QRect label = tree.visualItemRect(trips);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, label.center());
    EXPECT_TRUE(trips->isExpanded());
    EXPECT_EQ(tree.currentItem(), trips);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(label.left() - tree.indentation() / 2, label.center().y()));
    EXPECT_FALSE(trips->isExpanded());
}

TEST_F(FavoritesTest, AFavoritesFolderThatIsAFileLeavesTheTreeEmptyAndAMissingOneIsMade)
{
    fixtures::writeFile(folder, "not a folder");
    CSuperFavoritesTree tree;
    tree.initialize(folder);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_TRUE(QFileInfo(folder).isFile());

    const QString missing = data.file(QStringLiteral("Other/Favorites"));
    tree.initialize(missing);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(tree.topLevelItemCount(), 1);
}

TEST_F(FavoritesTest, DeletingACategoryRemovesItsLinksButNeverWhatTheyPointAt)
{
    mkdir(QStringLiteral("Trips/Inner"));
    const QString image = photo(QStringLiteral("keep.jpg"));
    ASSERT_TRUE(QFile::link(photos.path(), folder + QStringLiteral("/Trips/Photos.lnk")));
    ASSERT_TRUE(QFile::link(photos.path(), folder + QStringLiteral("/Trips/Inner/Again.lnk")));
    CSuperFavoritesTree tree;
    tree.initialize(folder);
    QTreeWidgetItem* trips = tree.findItemByPath(folder + QStringLiteral("/Trips"));
    ASSERT_TRUE(trips);

    // The root can be neither deleted nor renamed, through the popup or the keys.
    tree.setContextItem(tree.root());
    EXPECT_FALSE(tree.isCommandEnabled(33550));
    EXPECT_FALSE(tree.isCommandEnabled(33551));
    EXPECT_TRUE(tree.isCommandEnabled(33544));
    tree.setCurrentItem(tree.root());
    EXPECT_FALSE(tree.isCommandEnabled(33052));

    tree.setCurrentItem(trips);
    QTest::keyClick(&tree, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/Trips")));
    EXPECT_TRUE(childTexts(tree.root()).isEmpty());
    EXPECT_TRUE(QFileInfo(image).isFile());
    EXPECT_TRUE(QFileInfo(photos.path()).isDir());
}

TEST_F(FavoritesTest, NewFolderAndRenameWorkOnDiskAndARefusedNameReopensTheEditor)
{
    CSuperFavoritesTree tree;
    tree.initialize(folder);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    tree.setContextItem(tree.root());
    ASSERT_TRUE(tree.runCommand(33544));
    ASSERT_TRUE(tree.isEditingLabel());
    QTest::keyClick(tree.findChild<QLineEdit*>(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!tree.isEditingLabel(), kBound);
    ASSERT_TRUE(tree.runCommand(33544));
    EXPECT_EQ(childTexts(tree.root()), (QStringList{QStringLiteral("New Folder"), QStringLiteral("New Folder (2)")}));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/New Folder (2)")).isDir());

    // A name with a slash is refused and asked again.
    QPointer<QLineEdit> editor = tree.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("a/b"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!editor && tree.isEditingLabel(), kBound);
    editor = tree.findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("  Holidays "));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(childTexts(tree.root()), (QStringList{QStringLiteral("Holidays"), QStringLiteral("New Folder")}), kBound);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Holidays")).isDir());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/a")));
}

TEST_F(FavoritesTest, AddingTheSameImageTwiceAsksAndNoCreatesNothing)
{
    mkdir(QStringLiteral("Trips"));
    const QString first = photo(QStringLiteral("a.jpg"));
    const QString second = photo(QStringLiteral("b.jpg"));
    const QString trips = folder + QStringLiteral("/Trips");
    auto addWith = [&](QMessageBox::StandardButton button) {
        answer = button;
        CDlgAddFavorite dialog(folder, {{first, QStringLiteral("a.jpg")}, {second, QStringLiteral("b: the best?")}});
        dialog.tree()->setCurrentItem(dialog.tree()->findItemByPath(trips));
        dialog.accept();
        return dialog.result();
    };
    EXPECT_EQ(addWith(QMessageBox::Yes), QDialog::Accepted);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(QFileInfo(trips + QStringLiteral("/a.jpg.lnk")).isSymLink());
    EXPECT_EQ(QFileInfo(trips + QStringLiteral("/b the best.lnk")).symLinkTarget(), second);

    QFile::remove(trips + QStringLiteral("/b the best.lnk"));
    EXPECT_EQ(addWith(QMessageBox::No), QDialog::Rejected);
    EXPECT_EQ(messages, QStringList{QStringLiteral("The shortcut that you are trying to save already exists. "
                                                   "Would you like to overwrite the existing shortcut?")});
    EXPECT_FALSE(QFileInfo(trips + QStringLiteral("/b the best.lnk")).isSymLink());

    EXPECT_EQ(addWith(QMessageBox::Yes), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(trips + QStringLiteral("/b the best.lnk")).isSymLink());
}

TEST_F(FavoritesTest, TheDialogsCreateFolderMakesACategoryUnderTheSelectedOne)
{
    CDlgAddFavorite dialog(folder, {{photo(QStringLiteral("a.jpg")), QStringLiteral("a.jpg")}});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.createFolderButton(), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/New Folder")).isDir());
    EXPECT_EQ(childTexts(dialog.tree()->root()), QStringList{QStringLiteral("New Folder")});
    EXPECT_TRUE(dialog.tree()->isEditingLabel());
}

}  // namespace
