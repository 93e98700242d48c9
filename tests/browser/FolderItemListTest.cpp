#include "browser/FolderItemList.h"

#include "TestFixtures.h"
#include "app/NativePath.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

FolderItem record(const QString& path, ItemKind kind, std::uint64_t size = 0, bool targetIsImage = false)
{
    FolderItem r;
    r.path = path;
    r.nativePath = QFile::encodeName(path);
    r.displayName = path.mid(path.lastIndexOf('/') + 1);
    r.kind = kind;
    r.size = size;
    r.targetIsImage = targetIsImage || kind == ItemKind::Image;
    r.targetExists = true;
    return r;
}

// folder, image, other, link to image, image, dangling link to image.
FolderItemList sampleList()
{
    FolderItemList list;
    list.append(record("/p/sub", ItemKind::Folder));
    list.append(record("/p/a.jpg", ItemKind::Image, 1000));
    list.append(record("/p/notes.txt", ItemKind::OtherFile, 24));
    list.append(record("/p/link", ItemKind::Shortcut, 5, true));
    list.append(record("/p/b.png", ItemKind::Image, 2000));
    FolderItem dangling = record("/p/gone", ItemKind::Shortcut, 0, true);
    dangling.targetExists = false;
    list.append(dangling);
    return list;
}

}  // namespace

TEST(FormatFileSize, UnitsAndTheirBoundaries)
{
    EXPECT_EQ(FormatFileSize(0), "0 bytes");
    EXPECT_EQ(FormatFileSize(1), "1 byte");
    EXPECT_EQ(FormatFileSize(1023), "1023 bytes");
    EXPECT_EQ(FormatFileSize(1024), "1.00 KB");
    EXPECT_EQ(FormatFileSize(1536), "1.50 KB");
    EXPECT_EQ(FormatFileSize(1048575), "1024.00 KB");
    EXPECT_EQ(FormatFileSize(1048576), "1.00 MB");
    EXPECT_EQ(FormatFileSize(1073741824), "1.00 GB");
    EXPECT_EQ(FormatFileSize(5ULL << 40), "5120.00 GB");
}

TEST(FolderItemList, ImageNavigationCountsLinksToExistingImages)
{
    const FolderItemList list = sampleList();
    EXPECT_EQ(list.GetNextImage(-1), 1);
    EXPECT_EQ(list.GetNextImage(1), 3);
    EXPECT_EQ(list.GetNextImage(3), 4);
    EXPECT_EQ(list.GetNextImage(4), -1);  // the dangling link is not one, and no wrap
    EXPECT_EQ(list.GetPreviousImage(4), 3);
    EXPECT_EQ(list.GetPreviousImage(1), -1);
    EXPECT_EQ(list.GetPreviousImage(99), 4);
    EXPECT_EQ(list.GetImageCount(), 4);
    EXPECT_EQ(list.GetImageOrdinal(4), 3);
    EXPECT_EQ(list.GetImageOrdinal(0), 1);
    EXPECT_EQ(list.GetImageOrdinal(-5), 1);
    EXPECT_EQ(list.GetAllImagePaths(), QStringList({"/p/a.jpg", "/p/b.png"}));
    EXPECT_EQ(list.GetTotalFileSize(), 3029u);
    EXPECT_EQ(list.GetAllDisplayNames().size(), 6);
}

TEST(FolderItemList, SelectionQueriesAndCommands)
{
    FolderItemList list = sampleList();
    EXPECT_EQ(list.GetFocusedItem(), -1);
    list.setSelected(0, true);
    list.setSelected(2, true);
    list.setSelected(4, true);
    EXPECT_EQ(list.GetSelectedImageCount(), 1);
    EXPECT_EQ(list.GetSelectedImagePaths(), QStringList({"/p/b.png"}));
    EXPECT_EQ(list.GetSelectedPaths(), QStringList({"/p/sub", "/p/notes.txt", "/p/b.png"}));
    EXPECT_EQ(list.GetSelectedFileSize(), 2024u);

    list.selectAllFiles();
    EXPECT_FALSE(list.isSelected(0));
    EXPECT_EQ(list.selectedCount(), 5);
    list.selectAllImages();
    EXPECT_EQ(list.selectedCount(), 2);
    list.invertSelection();
    EXPECT_EQ(list.selectedCount(), 4);
    list.selectOnlyRange(4, 2);
    EXPECT_EQ(list.firstSelected(), 2);
    EXPECT_EQ(list.selectedCount(), 3);
    list.clearSelection();
    EXPECT_EQ(list.selectedCount(), 0);

    list.setFocusedItem(3);
    list.removeAt(1);
    EXPECT_EQ(list.GetFocusedItem(), 2);
    list.removeAt(2);
    EXPECT_EQ(list.GetFocusedItem(), -1);
}

TEST(FolderItemList, FindByPathTypeAheadAndRecordIndex)
{
    FolderItemList list = sampleList();
    EXPECT_EQ(list.FindItemByPath("/p/b.png"), 4);
    EXPECT_EQ(list.FindItemByPath("/p/B.PNG"), -1);
    EXPECT_EQ(list.findByNativePath("/p/sub/"), 0);
    EXPECT_EQ(list.FindItemIndex(&list.at(3)), 3);
    EXPECT_EQ(list.FindItemIndex(nullptr), -1);

    EXPECT_EQ(list.typeAheadMatch('B'), 4);
    list.setFocusedItem(4);
    EXPECT_EQ(list.typeAheadMatch('b'), 4);  // wraps round to the focused item itself
    EXPECT_EQ(list.typeAheadMatch('s'), 0);
    EXPECT_EQ(list.typeAheadMatch('q'), -1);
}

TEST(FolderItemList, BuildsKindsFromTheFolder)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    fixtures::writeFile(dir.file("photo.JPG"), "x");
    fixtures::writeFile(dir.file("doc.txt"), "xy");
    fixtures::writeFile(dir.file("archive.zip"), "zip");
    fixtures::writeFile(dir.file("picture.pcx"), "x");
    QDir(dir.path()).mkdir("sub");
    QDir(dir.path()).mkdir("folder.zip");
    ASSERT_EQ(::symlink("photo.JPG", (d + "/to-photo").constData()), 0);
    ASSERT_EQ(::symlink("sub", (d + "/to-sub").constData()), 0);
    ASSERT_EQ(::symlink("nothing.jpg", (d + "/dangling.jpg").constData()), 0);
    ASSERT_EQ(::symlink("loop", (d + "/loop").constData()), 0);

    const ShellNamespace shell(d, {});
    FolderItemList list;
    ASSERT_TRUE(list.populate(shell, shell.idListFromPath(d), false));
    ASSERT_EQ(list.GetItemCount(), 10);
    auto item = [&](const char* name) -> const FolderItem& { return list.at(list.FindItemByPath(dir.file(name))); };

    EXPECT_EQ(item("photo.JPG").kind, ItemKind::Image);
    EXPECT_TRUE(item("photo.JPG").needsThumbnail);
    EXPECT_EQ(item("photo.JPG").size, 1u);
    EXPECT_NE(item("photo.JPG").lastWriteTime, 0);
    EXPECT_EQ(item("picture.pcx").kind, ItemKind::Image);
    EXPECT_FALSE(item("picture.pcx").needsThumbnail);  // images outside the thumbnail set keep their icon
    EXPECT_EQ(item("doc.txt").kind, ItemKind::OtherFile);
    EXPECT_EQ(item("archive.zip").kind, ItemKind::OtherFile);
    EXPECT_EQ(item("folder.zip").kind, ItemKind::Folder);
    EXPECT_TRUE(item("sub").browsableFolder);

    EXPECT_EQ(item("to-photo").kind, ItemKind::Shortcut);
    EXPECT_EQ(item("to-photo").targetPath, dir.file("photo.JPG"));
    EXPECT_TRUE(item("to-photo").countsAsImage());
    EXPECT_TRUE(item("to-photo").needsThumbnail);
    EXPECT_EQ(item("to-sub").kind, ItemKind::Shortcut);
    EXPECT_TRUE(item("to-sub").browsableFolder);
    EXPECT_EQ(item("dangling.jpg").kind, ItemKind::OtherFile);
    EXPECT_FALSE(item("dangling.jpg").needsThumbnail);
    EXPECT_EQ(item("loop").kind, ItemKind::OtherFile);

    // Folders first after sorting; a folder that cannot be read keeps what is shown.
    list.SortItems(0, 0);
    EXPECT_EQ(list.at(0).kind, ItemKind::Folder);
    EXPECT_FALSE(list.populate(shell, shell.idListFromPath(d + "/nope"), false));
    EXPECT_EQ(list.GetItemCount(), 10);
}

// The viewer opens what the list's paths name, byte for byte.
TEST(FolderItemList, ANameThatIsNotUtf8KeepsItsBytesInThePath)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    ASSERT_TRUE(fixtures::writeFile(dir.file("a"), "x"));
    ASSERT_EQ(std::rename((d + "/a").constData(), (d + "/caf\xE9.jpg").constData()), 0);
    const ShellNamespace shell(d, {});
    FolderItemList list;
    ASSERT_TRUE(list.populate(shell, shell.idListFromPath(d), false));
    ASSERT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(NativePath::encode(list.at(0).targetPath), d + "/caf\xE9.jpg");
    EXPECT_EQ(NativePath::encode(list.at(0).path), d + "/caf\xE9.jpg");
}

TEST(FolderItemList, RescanKeepsUnchangedRecordsReplacesChangedOnesAndAppendsNewOnes)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    fixtures::writeFile(dir.file("b.jpg"), "b");
    fixtures::writeFile(dir.file("c.jpg"), "c");
    fixtures::writeFile(dir.file("d.jpg"), "d");
    const ShellNamespace shell(d, {});
    const ItemIdList folder = shell.idListFromPath(d);
    FolderItemList list;
    ASSERT_TRUE(list.populate(shell, folder, false));
    list.SortItems(0, 0);
    for (int i = 0; i < list.GetItemCount(); ++i) {
        list.at(i).thumbnail = fipSuperImage(FIT_BITMAP, 4, 4, 24);
        list.at(i).needsThumbnail = false;
    }

    fixtures::writeFile(dir.file("a.jpg"), "new");
    QFile::remove(dir.file("d.jpg"));
    {
        QFile f(dir.file("c.jpg"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("changed");
        f.flush();
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    }
    const auto result = list.rescan(shell, folder, false);
    EXPECT_TRUE(result.changed);
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.at(0).displayName, "b.jpg");
    EXPECT_TRUE(list.at(0).thumbnail.isValid());
    EXPECT_EQ(list.at(1).displayName, "c.jpg");
    EXPECT_FALSE(list.at(1).thumbnail.isValid());
    EXPECT_TRUE(list.at(1).needsThumbnail);
    EXPECT_EQ(list.at(2).displayName, "a.jpg");  // new items come last until the next sort
    EXPECT_FALSE(list.at(0).seen);

    EXPECT_FALSE(list.rescan(shell, folder, false).changed);

    QDir(dir.path()).removeRecursively();
    const auto gone = list.rescan(shell, folder, false);
    EXPECT_TRUE(gone.changed);
    EXPECT_EQ(list.GetItemCount(), 0);
}
