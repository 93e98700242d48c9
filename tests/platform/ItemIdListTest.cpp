#include "platform/ItemIdList.h"

#include <gtest/gtest.h>

TEST(ItemIdList, BinaryLayoutCountsIncludeTheirOwnTwoBytesAndEndWithZero)
{
    const ItemIdList list({{ItemTag::Home, {}}, {ItemTag::Entry, "ab"}});
    const QByteArray expected("\x03\x00\x01" "\x05\x00\x04" "ab" "\x00\x00", 10);
    EXPECT_EQ(list.toBinary(), expected);
    EXPECT_EQ(ItemIdList().toBinary(), QByteArray("\x00\x00", 2));

    int consumed = 0;
    const auto back = ItemIdList::fromBinary(expected + "trailing", &consumed);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, list);
    EXPECT_EQ(consumed, expected.size());
}

TEST(ItemIdList, RejectsDamagedData)
{
    EXPECT_FALSE(ItemIdList::fromBinary(QByteArray("\x05\x00\x04" "ab", 5)));       // no terminator
    EXPECT_FALSE(ItemIdList::fromBinary(QByteArray("\x09\x00\x04" "ab\x00\x00", 7)));  // count past end
    EXPECT_FALSE(ItemIdList::fromBinary(QByteArray("\x02\x00\x00\x00", 4)));        // item without a tag
    EXPECT_FALSE(ItemIdList::fromBinary(QByteArray("\x03\x00\x09\x00\x00", 5)));    // unknown tag
    EXPECT_FALSE(ItemIdList::fromBinary(QByteArray("\x00", 1)));
}

TEST(ItemIdList, CombineParentAndLast)
{
    const ItemIdList folder({{ItemTag::Computer, {}}, {ItemTag::Volume, "/"}});
    const ItemIdList child = ItemIdList::entry(QByteArray("x\xff.jpg"));
    const ItemIdList full = folder.combined(child);
    EXPECT_EQ(full.size(), 3u);
    EXPECT_EQ(full.parent(), folder);
    EXPECT_EQ(full.last(), child);
    EXPECT_TRUE(ItemIdList().parent().isRoot());
}
