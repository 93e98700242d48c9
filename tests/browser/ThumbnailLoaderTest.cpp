#include "browser/BrowserEvents.h"
#include "browser/ThumbnailLoader.h"
#include "platform/ShellNamespace.h"

#include "TestFixtures.h"

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
    std::vector<QRgb> colours;  // of each picture's first pixel
    bool event(QEvent* e) override
    {
        if (e->type() != WM_THUMBNAIL_READY)
            return QObject::event(e);
        auto* ready = static_cast<ThumbnailReadyEvent*>(e);
        paths.push_back(ready->path);
        generations.push_back(ready->generation);
        colours.push_back(ready->image.isValid() ? ready->image.toQImage().pixel(0, 0) : 0);
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

// A one-pixel picture whose grey is the file's first byte.
ThumbnailResult greyOfFirstByte(const QByteArray& path)
{
    const QByteArray bytes = fixtures::readFile(QFile::decodeName(path));
    QImage pixel(1, 1, QImage::Format_RGB32);
    const int grey = static_cast<unsigned char>(bytes.at(0));
    pixel.fill(qRgb(grey, grey, grey));
    ThumbnailResult result;
    result.image.copyFromQImage(pixel);
    return result;
}

ThumbnailLoader::Request requestFor(const QByteArray& path)
{
    const FileStat st = statPath(path);
    return {path, path, st.mtimeNs, st.size};
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

TEST(ThumbnailLoader, AFileRewrittenWhileItsThumbnailIsMadeGetsOnlyTheNewPicture)
{
    fixtures::TempDir dir;
    const QByteArray path = QFile::encodeName(dir.file("photo.png"));
    for (const bool askedAgain : {false, true}) {
        ASSERT_TRUE(fixtures::writeFile(QFile::decodeName(path), "\x40"));
        Sink sink;
        Gate gate;
        ThumbnailLoader loader(&sink, [&](const QByteArray& p, int, int) {
            ThumbnailResult made = greyOfFirstByte(p);
            gate.pass();
            return made;
        });
        loader.queue({requestFor(path)}, 85, 85);
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate.entered(); }, kBound));
        ASSERT_TRUE(fixtures::writeFile(QFile::decodeName(path), "\xA0 and longer"));
        if (askedAgain)
            loader.queue({requestFor(path)}, 85, 85);  // as the rescan's new record does
        gate.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return loader.idle(); }, kBound));
        QCoreApplication::processEvents();
        // The old picture never arrives; the new one does once the new record asks for it.
        if (!askedAgain) {
            EXPECT_TRUE(sink.paths.empty());
            continue;
        }
        ASSERT_EQ(sink.colours.size(), 1u);
        EXPECT_EQ(qGray(sink.colours[0]), 0xA0);
    }
}

TEST(ThumbnailLoader, ThePathInWorkAskedForAgainAfterClearingIsDelivered)
{
    Sink sink;
    Gate gate;
    ThumbnailLoader loader(&sink, [&](const QByteArray&, int, int) {
        gate.pass();
        return ThumbnailResult();
    });
    // Into a folder, out to another and straight back while the first picture is made.
    loader.queue(requests({"back/a"}), 85, 85);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.entered(); }, kBound));
    loader.clear();
    loader.queue(requests({"other/b"}), 85, 85);
    loader.clear();
    loader.queue(requests({"back/a"}), 85, 85);
    gate.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return loader.idle(); }, kBound));
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.paths, (std::vector<QByteArray>{"back/a"}));
    EXPECT_EQ(sink.generations[0], loader.generation());
}
