#include "frame/FolderHistory.h"

#include <gtest/gtest.h>

namespace {

QByteArray folder(int n)
{
    return QByteArray::number(n);
}

TEST(FolderHistoryTest, BackAndForwardWalkTheVisits)
{
    FolderHistory history;
    EXPECT_FALSE(history.canGoBack());
    EXPECT_FALSE(history.back());
    history.push(folder(1), 0);
    history.push(folder(2), 1);
    history.push(folder(3), 0);
    EXPECT_TRUE(history.canGoBack());
    EXPECT_FALSE(history.canGoForward());
    EXPECT_EQ(history.back(), (HistoryEntry{folder(2), 1}));
    EXPECT_EQ(history.back(), (HistoryEntry{folder(1), 0}));
    EXPECT_FALSE(history.back());
    EXPECT_EQ(history.current(), (HistoryEntry{folder(1), 0}));
    EXPECT_EQ(history.forward(), (HistoryEntry{folder(2), 1}));
    EXPECT_EQ(history.forward(), (HistoryEntry{folder(3), 0}));
    EXPECT_FALSE(history.forward());
}

TEST(FolderHistoryTest, ANewVisitDropsTheForwardPart)
{
    FolderHistory history;
    for (int i = 1; i <= 6; ++i)
        history.push(folder(i), 0);
    for (int i = 0; i < 3; ++i)
        history.back();
    history.push(folder(7), 0);
    EXPECT_FALSE(history.canGoForward());
    EXPECT_EQ(history.back()->idList, folder(3));
    EXPECT_EQ(history.back()->idList, folder(2));
    EXPECT_EQ(history.forward()->idList, folder(3));
    EXPECT_EQ(history.forward()->idList, folder(7));
    EXPECT_FALSE(history.canGoForward());
}

TEST(FolderHistoryTest, The102ndVisitDropsTheOldest)
{
    FolderHistory history;
    for (int i = 0; i < 102; ++i)
        history.push(folder(i), 0);
    EXPECT_EQ(history.position(), 100);
    int steps = 0;
    std::optional<HistoryEntry> entry;
    while (auto previous = history.back()) {
        entry = previous;
        ++steps;
    }
    EXPECT_EQ(steps, 100);
    EXPECT_EQ(entry->idList, folder(1)) << "folder 0 was dropped";
    // And all the way forward again.
    while (history.forward())
        ++steps;
    EXPECT_EQ(steps, 200);
    EXPECT_EQ(history.current()->idList, folder(101));
}

}  // namespace
