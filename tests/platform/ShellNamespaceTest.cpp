#include "platform/ShellNamespace.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

const ShellItem* findChild(const std::vector<ShellItem>& items, const QByteArray& name)
{
    for (const ShellItem& item : items) {
        if (item.child.items().back().data == name)
            return &item;
    }
    return nullptr;
}

}  // namespace

TEST(ShellNamespace, PathsAndIdListsRoundTripInsideAndOutsideHome)
{
    fixtures::TempDir dir;
    const QByteArray home = native(dir.path());
    const ShellNamespace shell(home, filterVolumes({}, home));

    const ItemIdList inHome = shell.idListFromPath(home + "/Pictures/a b.jpg");
    EXPECT_EQ(inHome.items().front().tag, ItemTag::Home);
    EXPECT_EQ(shell.pathFromIdList(inHome), home + "/Pictures/a b.jpg");
    EXPECT_EQ(shell.pathFromIdList(shell.idListFromPath(home)), home);

    const ItemIdList outside = shell.idListFromPath("/usr/share/");
    EXPECT_EQ(outside.items().front().tag, ItemTag::Computer);
    EXPECT_EQ(shell.pathFromIdList(outside), QByteArray("/usr/share"));
    EXPECT_EQ(shell.pathFromIdList(shell.idListFromPath("/")), QByteArray("/"));

    EXPECT_FALSE(shell.pathFromIdList(ItemIdList()));
    EXPECT_FALSE(shell.pathFromIdList(ItemIdList({{ItemTag::Computer, {}}})));
    // Names that would climb out of their folder are not file-system items.
    EXPECT_FALSE(shell.pathFromIdList(ItemIdList({{ItemTag::Home, {}}, {ItemTag::Entry, ".."}})));
    EXPECT_FALSE(shell.pathFromIdList(ItemIdList({{ItemTag::Home, {}}, {ItemTag::Entry, "a/b"}})));

    EXPECT_EQ(shell.displayName(ItemIdList()), "Desktop");
    EXPECT_EQ(shell.displayName(ItemIdList({{ItemTag::Home, {}}})), "Home");
    EXPECT_EQ(shell.displayName(ItemIdList({{ItemTag::Computer, {}}})), "Computer");
    EXPECT_EQ(shell.displayName(shell.idListFromPath("/")), "File System");
}

TEST(ShellNamespace, VirtualRootHoldsHomeAndComputerWithItsVolumes)
{
    const std::vector<MountRecord> mounts = {
        {"/", "/dev/sda1", "ext4", "root"},
        {"/boot/efi", "/dev/sda2", "vfat", "efi"},
        {"/run/user/1000", "tmpfs", "tmpfs", "run"},
        {"/media/u/USB", "/dev/sdb1", "vfat", "USB"},
        {"/snap/core/1", "/dev/loop0", "squashfs", "core"},
        {"/home/u/remote", "server:/x", "nfs", "remote"},
        {"/srv/data", "/dev/sdc1", "ext4", "data"},
        {"/var/lib/docker", "overlay", "overlay", "docker"},
    };
    const auto volumes = filterVolumes(mounts, "/home/u");
    std::vector<QByteArray> points;
    for (const MountRecord& m : volumes)
        points.push_back(m.mountPoint);
    EXPECT_EQ(points, (std::vector<QByteArray>{"/", "/media/u/USB", "/home/u/remote", "/srv/data"}));
    EXPECT_EQ(volumes.front().displayName, "File System");

    const ShellNamespace shell("/home/u", volumes);
    const auto top = shell.enumerate(ItemIdList(), false);
    ASSERT_TRUE(top);
    ASSERT_EQ(top->size(), 2u);
    EXPECT_EQ(shell.displayName((*top)[0].child), "Home");
    EXPECT_EQ(shell.displayName((*top)[1].child), "Computer");
    const auto computer = shell.enumerate((*top)[1].child, false);
    ASSERT_TRUE(computer);
    EXPECT_EQ(computer->size(), 4u);
    EXPECT_EQ(shell.displayName(ItemIdList({{ItemTag::Computer, {}}}).combined((*computer)[1].child)), "USB");
}

TEST(ShellNamespace, EnumerationHidesDotFilesAndTheHiddenListUnlessAsked)
{
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("shown.txt"), "x");
    fixtures::writeFile(dir.file(".dot"), "x");
    fixtures::writeFile(dir.file("listed"), "x");
    fixtures::writeFile(dir.file(".hidden"), "listed\nnot-there\n");
    QDir(dir.path()).mkdir("sub");
    const QByteArray weird("\xff\xfe name\nwith newline.jpg");
    {
        const QByteArray p = native(dir.path()) + "/" + weird;
        FILE* f = std::fopen(p.constData(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("abc", f);
        std::fclose(f);
    }
    const ShellNamespace shell(native(dir.path()), {});
    const ItemIdList folder = shell.idListFromPath(native(dir.path()));

    const auto visible = shell.enumerate(folder, false);
    ASSERT_TRUE(visible);
    std::vector<QByteArray> names;
    for (const ShellItem& i : *visible)
        names.push_back(i.child.items().back().data);
    std::vector<QByteArray> expected = {weird, "shown.txt", "sub"};
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    const auto all = shell.enumerate(folder, true);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 6u);
    EXPECT_TRUE(findChild(*all, ".dot")->attributes & ShellAttr::Hidden);
    EXPECT_TRUE(findChild(*all, "listed")->attributes & ShellAttr::Hidden);
    EXPECT_FALSE(findChild(*all, "shown.txt")->attributes & ShellAttr::Hidden);
    EXPECT_TRUE(findChild(*all, "sub")->attributes & ShellAttr::Folder);

    // A name that is not UTF-8 keeps its bytes all the way to a path that opens the file.
    const ShellItem* odd = findChild(*all, weird);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->stat.size, 3u);
    const auto path = shell.pathFromIdList(folder.combined(odd->child));
    ASSERT_TRUE(path);
    EXPECT_TRUE(statPath(*path).exists);
}

TEST(ShellNamespace, LinksResolveDangleAndLoopWithoutHanging)
{
    fixtures::TempDir dir;
    const QByteArray d = native(dir.path());
    fixtures::writeFile(dir.file("photo.jpg"), "not really");
    QDir(dir.path()).mkdir("folder");
    ASSERT_EQ(::symlink("photo.jpg", (d + "/to-photo").constData()), 0);
    ASSERT_EQ(::symlink((d + "/folder").constData(), (d + "/to-folder").constData()), 0);
    ASSERT_EQ(::symlink("missing", (d + "/dangling").constData()), 0);
    ASSERT_EQ(::symlink("loop-b", (d + "/loop-a").constData()), 0);
    ASSERT_EQ(::symlink("loop-a", (d + "/loop-b").constData()), 0);

    const ShellNamespace shell(d, {});
    const auto items = shell.enumerate(shell.idListFromPath(d), false);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->size(), 7u);

    const ShellItem* photo = findChild(*items, "to-photo");
    EXPECT_TRUE(photo->attributes & ShellAttr::Link);
    EXPECT_FALSE(photo->attributes & ShellAttr::Folder);
    EXPECT_EQ(photo->linkTarget, d + "/photo.jpg");
    EXPECT_EQ(photo->stat.size, 10u);

    const ShellItem* folder = findChild(*items, "to-folder");
    EXPECT_TRUE(folder->stat.isDirectory);
    EXPECT_EQ(folder->linkTarget, d + "/folder");

    for (const char* name : {"dangling", "loop-a", "loop-b"}) {
        const ShellItem* link = findChild(*items, name);
        EXPECT_TRUE(link->attributes & ShellAttr::Link) << name;
        EXPECT_FALSE(link->stat.exists) << name;
        EXPECT_TRUE(link->linkTarget.isEmpty()) << name;
    }
}

TEST(ShellNamespace, UnreadableOrMissingFoldersAreNotEnumerated)
{
    fixtures::TempDir dir;
    const QByteArray d = native(dir.path());
    const ShellNamespace shell(d, {});
    EXPECT_FALSE(shell.enumerate(shell.idListFromPath(d + "/nope"), false));
    fixtures::writeFile(dir.file("file"), "x");
    EXPECT_FALSE(shell.enumerate(shell.idListFromPath(d + "/file"), false));
    if (::geteuid() != 0) {
        QDir(dir.path()).mkdir("locked");
        ::chmod((d + "/locked").constData(), 0);
        EXPECT_FALSE(shell.enumerate(shell.idListFromPath(d + "/locked"), false));
        ::chmod((d + "/locked").constData(), 0700);
    }
}

TEST(ShellNamespace, AttributesOfSingleItems)
{
    fixtures::TempDir dir;
    const QByteArray d = native(dir.path());
    fixtures::writeFile(dir.file("a.png"), "x");
    const ShellNamespace shell(d, {});
    const unsigned file = shell.attributes(shell.idListFromPath(d + "/a.png"));
    EXPECT_TRUE(file & ShellAttr::FileSystem);
    EXPECT_TRUE(file & ShellAttr::CanRename);
    EXPECT_FALSE(file & ShellAttr::Folder);
    EXPECT_TRUE(shell.attributes(shell.idListFromPath(d)) & ShellAttr::Folder);
    EXPECT_EQ(shell.attributes(shell.idListFromPath(d + "/gone")), 0u);
    EXPECT_TRUE(shell.attributes(ItemIdList()) & ShellAttr::Folder);
}

TEST(PathPieces, ExtensionFileNameAndFolder)
{
    EXPECT_EQ(extensionOf("/a.b/c"), "");
    EXPECT_EQ(extensionOf("/a/c.JPG"), "JPG");
    EXPECT_EQ(extensionOf("/a/.bashrc"), "bashrc");
    EXPECT_EQ(fileNameOf("/a/b.c"), QByteArray("b.c"));
    EXPECT_EQ(folderOf("/a/b.c"), QByteArray("/a"));
    EXPECT_EQ(folderOf("/b.c"), QByteArray("/"));
    EXPECT_EQ(joinPath("/", "x"), QByteArray("/x"));
}
