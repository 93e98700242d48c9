#include "platform/FolderWatcher.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>

namespace {

const auto kChanged = static_cast<QEvent::Type>(QEvent::User + 104);
constexpr int kBound = 10000;

class Counter : public QObject {
public:
    int count = 0;
    FolderWatcher* watcher = nullptr;
    bool answer = true;
    bool event(QEvent* e) override
    {
        if (e->type() != kChanged)
            return QObject::event(e);
        ++count;
        if (answer && watcher)
            watcher->refreshDone();
        return true;
    }
};

bool armed(FolderWatcher& watcher, const QString& path)
{
    return QTest::qWaitFor([&] { return watcher.isWatching(QFile::encodeName(path)); }, kBound);
}

}  // namespace

TEST(FolderWatcher, ABurstOfChangesGivesOneNoticeAndStoppingCutsThePauseShort)
{
    fixtures::TempDir dir;
    Counter counter;
    auto watcher = std::make_unique<FolderWatcher>(&counter, kChanged, std::chrono::minutes(10));
    counter.watcher = watcher.get();
    watcher->setFolder(QFile::encodeName(dir.path()));
    ASSERT_TRUE(armed(*watcher, dir.path()));

    for (int i = 0; i < 50; ++i)
        fixtures::writeFile(dir.file(QString("burst%1").arg(i)), "x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.count >= 1; }, kBound));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.count, 1);
    watcher.reset();  // in the middle of its ten-minute pause
}

TEST(FolderWatcher, ChangesDuringARefreshGiveOneMoreNoticeAfterIt)
{
    fixtures::TempDir dir;
    QDir(dir.path()).mkdir("w");
    Counter counter;
    counter.answer = false;
    FolderWatcher watcher(&counter, kChanged, std::chrono::milliseconds(0));
    counter.watcher = &watcher;
    watcher.setFolder(QFile::encodeName(dir.file("w")));
    ASSERT_TRUE(armed(watcher, dir.file("w")));

    fixtures::writeFile(dir.file("w/a"), "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.count == 1; }, kBound));
    fixtures::writeFile(dir.file("w/b"), "1");
    fixtures::writeFile(dir.file("w/c"), "1");
    watcher.refreshDone();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.count == 2; }, kBound));

    // The watched folder itself going away is a change too (the list then empties).
    watcher.refreshDone();
    QDir(dir.file("w")).removeRecursively();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count >= 3; }, kBound));
}

TEST(FolderWatcher, AFileRewrittenInPlaceIsNoticed)
{
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("photo.jpg"), "old");
    Counter counter;
    FolderWatcher watcher(&counter, kChanged, std::chrono::milliseconds(0));
    counter.watcher = &watcher;
    watcher.setFolder(QFile::encodeName(dir.path()));
    ASSERT_TRUE(armed(watcher, dir.path()));
    {
        QFile f(dir.file("photo.jpg"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("new");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count >= 1; }, kBound));
}

TEST(FolderWatcher, DestructionNeverWaitsForARefreshThatDoesNotCome)
{
    fixtures::TempDir dir;
    Counter counter;
    counter.answer = false;
    auto watcher = std::make_unique<FolderWatcher>(&counter, kChanged, std::chrono::milliseconds(0));
    counter.watcher = watcher.get();
    watcher->setFolder(QFile::encodeName(dir.path()));
    ASSERT_TRUE(armed(*watcher, dir.path()));
    fixtures::writeFile(dir.file("x"), "1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.count >= 1; }, kBound));
    watcher.reset();

    // A folder that cannot be watched leaves the watcher idle but still stoppable.
    FolderWatcher idle(&counter, kChanged);
    idle.setFolder("/definitely/not/here");
    EXPECT_FALSE(idle.isWatching("/definitely/not/here"));
}
