#include "platform/TreeWatcher.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <cstdlib>

TEST(TreeWatcher, ReportsSubFolderChangesButNotFiles)
{
    fixtures::TempDir dir;
    QDir(dir.path()).mkpath("watched/old");
    TreeWatcher watcher;
    QSignalSpy changed(&watcher, &TreeWatcher::folderChanged);
    const QByteArray watched = QFile::encodeName(dir.file("watched"));
    watcher.watch(watched);
    ASSERT_TRUE(watcher.isWatching(watched));

    fixtures::writeFile(dir.file("watched/file.jpg"), "x");
    QDir(dir.path()).mkpath("watched/new");
    ASSERT_TRUE(changed.wait(5000));
    ASSERT_EQ(changed.size(), 1);  // the file made no notice of its own
    EXPECT_EQ(changed[0][0].toByteArray(), watched);

    // A watched folder that goes away is a change of its parent.
    const QByteArray old = QFile::encodeName(dir.file("watched/old"));
    watcher.watch(old);
    QDir(dir.file("watched/old")).removeRecursively();
    ASSERT_TRUE(QTest::qWaitFor([&] { return changed.size() >= 2; }, 5000));
    for (const auto& notice : changed)
        EXPECT_EQ(notice[0].toByteArray(), watched);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.isWatching(old); }, 5000));
}

TEST(TreeWatcher, ReportsVolumesComingAndGoing)
{
    fixtures::TempDir dir;
    TreeWatcher watcher;
    QSignalSpy mounts(&watcher, &TreeWatcher::mountsChanged);
    const QByteArray point = QFile::encodeName(dir.path());
    if (std::system(("mount -t tmpfs -o size=1m kelvra-watch-test '" + point + "' 2>/dev/null").constData()) != 0)
        GTEST_SKIP() << "no permission to mount a volume";
    auto unmount = qScopeGuard([&] { std::system(("umount '" + point + "'").constData()); });
    EXPECT_TRUE(mounts.wait(5000));
}
