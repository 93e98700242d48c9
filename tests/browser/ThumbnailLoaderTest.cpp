#include "browser/BrowserEvents.h"
#include "browser/ThumbnailLoader.h"

#include <gtest/gtest.h>

#include <QTest>

#include <condition_variable>
#include <mutex>

namespace {

constexpr int kBound = 10000;

// Receives the loader's results in arrival order.
class Sink : public QObject {
public:
    std::vector<QByteArray> paths;
    std::vector<std::uint64_t> generations;
    bool event(QEvent* e) override
    {
        if (e->type() != WM_THUMBNAIL_READY)
            return QObject::event(e);
        auto* ready = static_cast<ThumbnailReadyEvent*>(e);
        paths.push_back(ready->path);
        generations.push_back(ready->generation);
        return true;
    }
};

// Holds the loader inside its first thumbnail until the test opens it.
class Gate {
public:
    void open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_cv.notify_all();
    }
    void pass()
    {
        std::unique_lock lock(m_mutex);
        m_entered = true;
        m_cv.notify_all();
        m_cv.wait(lock, [&] { return m_open; });
    }
    bool entered()
    {
        std::lock_guard lock(m_mutex);
        return m_entered;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = false;
    bool m_entered = false;
};

std::vector<ThumbnailLoader::Request> requests(std::initializer_list<const char*> names)
{
    std::vector<ThumbnailLoader::Request> out;
    for (const char* n : names)
        out.push_back({n, n});
    return out;
}

}  // namespace

TEST(ThumbnailLoader, NewestRequestsAreServedFirstInTheirOwnOrder)
{
    Sink sink;
    Gate gate;
    ThumbnailLoader loader(&sink, [&](const QByteArray&, int, int) {
        gate.pass();
        return ThumbnailResult();
    });
    loader.queue(requests({"a"}), 85, 85);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.entered(); }, kBound));

    loader.queue(requests({"b", "c"}), 85, 85);
    loader.queue(requests({"d", "e", "b"}), 85, 85);  // b is waiting already: not twice
    EXPECT_EQ(loader.pendingPaths(), (std::vector<QByteArray>{"d", "e", "b", "c", "a"}));

    gate.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.paths.size() == 5; }, kBound));
    EXPECT_EQ(sink.paths, (std::vector<QByteArray>{"a", "d", "e", "b", "c"}));  // a was in the making
    EXPECT_TRUE(loader.idle());
}

TEST(ThumbnailLoader, ClearingDropsTheQueueAndMarksTheResultInFlightAsStale)
{
    Sink sink;
    Gate gate;
    ThumbnailLoader loader(&sink, [&](const QByteArray&, int, int) {
        gate.pass();
        return ThumbnailResult();
    });
    loader.queue(requests({"old1", "old2", "old3"}), 85, 85);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.entered(); }, kBound));
    const auto before = loader.generation();
    loader.clear();
    EXPECT_EQ(loader.generation(), before + 1);
    loader.queue(requests({"new"}), 85, 85);
    gate.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sink.paths.size() == 2; }, kBound));
    EXPECT_EQ(sink.paths, (std::vector<QByteArray>{"old1", "new"}));
    EXPECT_EQ(sink.generations[0], before);
    EXPECT_EQ(sink.generations[1], before + 1);
}

TEST(ThumbnailLoader, DestructionWhileAThumbnailIsBeingMadeJoinsOnceItIsDone)
{
    Sink sink;
    Gate gate;
    auto loader = std::make_unique<ThumbnailLoader>(&sink, [&](const QByteArray&, int, int) {
        gate.pass();
        return ThumbnailResult();
    });
    loader->queue(requests({"x", "y"}), 85, 85);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.entered(); }, kBound));
    std::thread opener([&] { gate.open(); });
    loader.reset();
    opener.join();
    QCoreApplication::processEvents();
    EXPECT_LE(sink.paths.size(), 2u);
}
