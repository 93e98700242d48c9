#include "browser/HistoryFile.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

ItemIdList folder(const QByteArray& name)
{
    return ItemIdList({{ItemTag::Home, {}}, {ItemTag::Entry, name}});
}

QByteArray le32(std::uint32_t v)
{
    QByteArray out;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((v >> shift) & 0xff);
    return out;
}

}  // namespace

TEST(HistoryFile, ExactBytesOfAKnownListAndTheirRoundTrip)
{
    const std::vector<AddressEntry> entries{{folder("Pics"), 0}, {ItemIdList(), 1}};
    const QByteArray expected = QByteArray::fromHex(
        "0300" "01"            // Home: count 3, tag 1
        "0700" "04" "50696373"  // Entry "Pics": count 7, tag 4
        "0000" "00000000"       // end of list, source 0
        "0000" "01000000");     // the virtual root, source 1
    EXPECT_EQ(HistoryFile::serialize(entries), expected);
    EXPECT_EQ(HistoryFile::parse(expected), entries);

    fixtures::TempDir dir;
    const QString path = dir.file("HistoryPath.data");
    AddressHistory history;
    history.addAddress(ItemIdList(), 1);
    history.addAddress(folder("Pics"), 0);
    HistoryFile::save(path, history);
    EXPECT_EQ(fixtures::readFile(path), expected);
    EXPECT_EQ(HistoryFile::load(path).entries(), entries);
}

TEST(HistoryFile, DamageEndsLoadingAtTheLastWholeRecord)
{
    const QByteArray good = folder("a").toBinary() + le32(0);
    const QByteArray second = folder("b").toBinary() + le32(1);

    // Truncated inside the id list and inside the source value.
    for (int cut = 1; cut < second.size(); ++cut)
        EXPECT_EQ(HistoryFile::parse(good + second.left(cut)).size(), 1u) << cut;
    // A zero-length item (count 2, no tag), a count of 1, and a count running past the end.
    EXPECT_EQ(HistoryFile::parse(good + QByteArray::fromHex("0200") + second).size(), 1u);
    EXPECT_EQ(HistoryFile::parse(good + QByteArray::fromHex("0100") + second).size(), 1u);
    EXPECT_EQ(HistoryFile::parse(good + QByteArray::fromHex("ff7f04616263")).size(), 1u);
    // Unknown item tags are someone else's data.
    EXPECT_EQ(HistoryFile::parse(good + QByteArray::fromHex("040009410000") + le32(0)).size(), 1u);

    EXPECT_TRUE(HistoryFile::parse({}).empty());
    fixtures::TempDir dir;
    EXPECT_TRUE(HistoryFile::load(dir.file("missing")).entries().empty());
    fixtures::writeFile(dir.file("empty"), {});
    EXPECT_TRUE(HistoryFile::load(dir.file("empty")).entries().empty());
}

TEST(HistoryFile, ManyRecordsOrRandomBytesLoadAtMostTwentyFolders)
{
    QByteArray many;
    for (int i = 0; i < 10000; ++i)
        many += folder(QByteArray::number(i)).toBinary() + le32(0);
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("many"), many);
    const auto loaded = HistoryFile::load(dir.file("many")).entries();
    ASSERT_EQ(loaded.size(), 20u);
    // Loading appends and replaces the bottom entry at the limit.
    EXPECT_EQ(loaded[0].folder, folder("0"));
    EXPECT_EQ(loaded[18].folder, folder("18"));
    EXPECT_EQ(loaded[19].folder, folder("9999"));

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(static_cast<int>(random() % 300), '\0');
        for (auto& c : noise)
            c = static_cast<char>(random() % 6);  // small values make plausible counts and tags
        AddressHistory history;
        for (const auto& record : HistoryFile::parse(noise))
            history.appendLoaded(record.folder, record.source);
        EXPECT_LE(history.entries().size(), 20u);
    }
}

TEST(AddressHistory, KeepsTheTwentyNewestAndMovesARevisitedFolderToTheTop)
{
    AddressHistory history;
    for (int i = 0; i < 21; ++i)
        history.addAddress(folder(QByteArray::number(i)), 0);
    ASSERT_EQ(history.entries().size(), 20u);
    EXPECT_EQ(history.entries().front().folder, folder("20"));
    EXPECT_EQ(history.entries().back().folder, folder("1"));

    // At the limit the oldest goes first, then the older copy: nineteen remain.
    history.addAddress(folder("10"), 1);
    ASSERT_EQ(history.entries().size(), 19u);
    EXPECT_EQ(history.entries().front(), (AddressEntry{folder("10"), 1}));
    EXPECT_EQ(history.indexOf(folder("1")), -1);
    EXPECT_EQ(history.entries().back().folder, folder("2"));

    history.addAddress(folder("20"), 0);
    EXPECT_EQ(history.entries().size(), 19u);
    EXPECT_EQ(history.indexOf(folder("20")), 0);
    EXPECT_EQ(history.indexOf(folder("10")), 1);
}

TEST(AddressHistory, LoadingDropsAnEarlierCopyOfTheSameFolder)
{
    const QByteArray bytes = HistoryFile::serialize({{folder("a"), 0}, {folder("b"), 0}, {folder("a"), 1}});
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("h"), bytes);
    const auto entries = HistoryFile::load(dir.file("h")).entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].folder, folder("b"));
    EXPECT_EQ(entries[1], (AddressEntry{folder("a"), 1}));
}

// What is at the file's path is not trusted: a pipe never blocks the start, a link is written
// through only to a regular file, and a full disk keeps the old history.
TEST(HistoryFile, OnlyARegularFileIsReadOrReplaced)
{
    AddressHistory history;
    history.addAddress(folder("Pics"), 0);
    const QByteArray saved = HistoryFile::serialize(history.entries());
    fixtures::TempDir dir;
    const QString path = dir.file("HistoryPath.data");
    const QByteArray native = QFile::encodeName(path);

    ASSERT_EQ(::mkfifo(native.constData(), 0600), 0);
    EXPECT_TRUE(HistoryFile::load(path).entries().empty());
    EXPECT_FALSE(HistoryFile::save(path, history));
    ASSERT_TRUE(QFile::remove(path));

    fixtures::writeFile(dir.file("real"), {});
    ASSERT_EQ(::symlink("real", native.constData()), 0);
    EXPECT_TRUE(HistoryFile::save(path, history));
    EXPECT_EQ(fixtures::readFile(dir.file("real")), saved);
    EXPECT_EQ(HistoryFile::load(path).entries(), history.entries());
    ASSERT_TRUE(QFile::remove(path));

    const QByteArray device = QFile::encodeName(dir.file("device"));
    const bool haveDevice = ::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;  // like /dev/null
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0600), 0);
    for (const char* target : {"device", "fifo", "missing"}) {
        if (!haveDevice && target == std::string("device"))
            continue;
        ASSERT_EQ(::symlink(target, native.constData()), 0);
        EXPECT_FALSE(HistoryFile::save(path, history)) << target;
        EXPECT_TRUE(QFileInfo(path).isSymLink()) << target;
        ASSERT_TRUE(QFile::remove(path));
    }
    struct stat st = {};
    EXPECT_TRUE(!haveDevice || (::stat(device.constData(), &st) == 0 && S_ISCHR(st.st_mode)));
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing")));

    const fixtures::SmallTmpfs disk(256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "may not mount a tmpfs here";
    const QString onDisk = disk.file("HistoryPath.data");
    ASSERT_TRUE(HistoryFile::save(onDisk, history));
    disk.fill();
    history.addAddress(folder("More"), 0);
    EXPECT_FALSE(HistoryFile::save(onDisk, history));
    EXPECT_EQ(fixtures::readFile(onDisk), saved);
}
