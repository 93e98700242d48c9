#include "app/ProfileFile.h"
#include "app/NativePath.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

const QString kApp = QStringLiteral("App");

struct Placement {
    uint32_t length;
    int32_t values[10];
};

class ProfileFileTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    QString path = dir.file(QStringLiteral("Config.ini"));
    ProfileFile ini{path};

    void setText(const QByteArray& text) { ASSERT_TRUE(fixtures::writeFile(path, text)); }
    QByteArray text() const { return fixtures::readFile(path); }
};

TEST_F(ProfileFileTest, MissingFileGivesDefaultsAndIsCreatedByTheFirstWrite)
{
    EXPECT_EQ(ini.getInt(kApp, QStringLiteral("ShowHiddenFiles"), 7), 7);
    EXPECT_EQ(ini.getString(kApp, QStringLiteral("X"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_TRUE(ini.writeBool(kApp, QStringLiteral("ShowHiddenFiles"), false));
    EXPECT_EQ(text(), QByteArray("[App]\nShowHiddenFiles=0\n"));
}

TEST_F(ProfileFileTest, NamesMatchIgnoringCaseAndEveryCallSeesTheFile)
{
    setText("[zoominfo]\nZOOMLEVEL = 2.5 \n zoomtype=3\n");
    EXPECT_EQ(ini.getString(QStringLiteral("ZoomInfo"), QStringLiteral("ZoomLevel"), {}), QStringLiteral("2.5"));
    EXPECT_EQ(ini.getInt(QStringLiteral("ZOOMINFO"), QStringLiteral("ZoomType"), 0), 3);
    // Another writer changes the file: no cached value may hide it.
    setText("[ZoomInfo]\nZoomType=4\n");
    EXPECT_EQ(ini.getInt(QStringLiteral("ZoomInfo"), QStringLiteral("ZoomType"), 0), 4);
    // A write keeps the key's own spelling.
    ASSERT_TRUE(ini.writeInt(QStringLiteral("zoominfo"), QStringLiteral("zoomtype"), 1));
    EXPECT_EQ(text(), QByteArray("[ZoomInfo]\nZoomType=1\n"));
}

TEST_F(ProfileFileTest, IntegersReadLikeTheirLeadingNumber)
{
    setText("[S]\na=12abc\nb=abc\nc=-5\nd=\ne=99999999999999\n");
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("a"), 1), 12);
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("b"), 1), 0);
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("c"), 1), -5);
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("d"), 1), 0);
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("e"), 1), INT32_MAX);
    EXPECT_EQ(ini.getInt(QStringLiteral("S"), QStringLiteral("missing"), 1), 1);
}

TEST_F(ProfileFileTest, WritesKeepOtherSectionsKeysAndComments)
{
    setText("; settings\n[A]\nx=1\n# note\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(ini.writeString(QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("20")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("A"), QStringLiteral("w"), QStringLiteral("new")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("C"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(text(), QByteArray("; settings\n[A]\nx=1\n# note\ny=20\nw=new\n\n[B]\nz=3\n\n[C]\nk=v\n"));
    ASSERT_TRUE(ini.removeKey(QStringLiteral("A"), QStringLiteral("x")));
    ASSERT_TRUE(ini.removeSection(QStringLiteral("B")));
    EXPECT_EQ(text(), QByteArray("; settings\n[A]\n# note\ny=20\nw=new\n\n[C]\nk=v\n"));
}

TEST_F(ProfileFileTest, StructuresAreHexWithAChecksum)
{
    const uint8_t bytes[] = {0x01, 0xAB, 0xFF};
    EXPECT_EQ(ProfileFile::encodeStruct(bytes, 3), QByteArray("01ABFFAB"));  // sum 0x1AB -> AB
    Placement in = {44, {1, -2, 3, 4, 5, 6, 7, 8, 9, 10}};
    ASSERT_TRUE(ini.writeStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), in));
    Placement out = {};
    ASSERT_TRUE(ini.getStruct(QStringLiteral("MainFrame"), QStringLiteral("Placement"), out));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);
    // Lower-case digits are read as well.
    EXPECT_TRUE(ProfileFile::decodeStruct("01abffab", 3).has_value());
}

TEST_F(ProfileFileTest, DamagedStructuresKeepTheDefault)
{
    uint32_t colour = 0x123456;
    const QString s = QStringLiteral("EditView");
    const QString k = QStringLiteral("ImageBkColor");
    for (const QByteArray& value : {QByteArray("00FF00"), QByteArray("00FF000000"), QByteArray("00FF0000FE"),
                                   QByteArray("00FG0000FF"), QByteArray("")}) {
        setText("[EditView]\nImageBkColor=" + value + "\n");
        EXPECT_FALSE(ini.getStruct(s, k, colour)) << value.constData();
        EXPECT_EQ(colour, 0x123456u);
    }
    setText("[EditView]\nImageBkColor=00FF0000FF\n");
    EXPECT_TRUE(ini.getStruct(s, k, colour));
    EXPECT_EQ(colour, 0xFF00u);
}

TEST_F(ProfileFileTest, HostileFilesGiveDefaultsAndStayWritable)
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) & 255));
    const QByteArray cases[] = {
        QByteArray(),
        garbage,
        QByteArray("[App\nShowHiddenFiles=1\n"),
        QByteArray("no equals sign here\n[App]\njust text\n=1\n"),
    };
    for (const QByteArray& content : cases) {
        setText(content);
        EXPECT_EQ(ini.getInt(kApp, QStringLiteral("ShowHiddenFiles"), 42), 42);
        ASSERT_TRUE(ini.writeInt(kApp, QStringLiteral("ShowHiddenFiles"), 1));
        EXPECT_EQ(ini.getInt(kApp, QStringLiteral("ShowHiddenFiles"), 42), 1);
        // Whatever text was there before is still there.
        if (!content.contains('\r')) {
            EXPECT_TRUE(text().startsWith(content.left(content.lastIndexOf('\n') + 1)));
        }
    }
}

TEST_F(ProfileFileTest, DuplicatesReadAndWriteTheFirst)
{
    setText("[A]\nk=1\nk=2\n[a]\nk=3\n");
    EXPECT_EQ(ini.getInt(QStringLiteral("A"), QStringLiteral("k"), 0), 1);
    ASSERT_TRUE(ini.writeInt(QStringLiteral("A"), QStringLiteral("k"), 9));
    EXPECT_EQ(text(), QByteArray("[A]\nk=9\nk=2\n[a]\nk=3\n"));
}

TEST_F(ProfileFileTest, LineEndsAndLongValues)
{
    setText("[A]\r\nk=1\r\nm=x");  // CRLF and no final newline
    EXPECT_EQ(ini.getInt(QStringLiteral("A"), QStringLiteral("k"), 0), 1);
    EXPECT_EQ(ini.getString(QStringLiteral("A"), QStringLiteral("m"), {}), QStringLiteral("x"));
    ASSERT_TRUE(ini.writeInt(QStringLiteral("A"), QStringLiteral("k"), 2));
    EXPECT_EQ(text(), QByteArray("[A]\r\nk=2\r\nm=x\r\n"));

    const QString big(1 << 20, u'v');
    ASSERT_TRUE(ini.writeString(QStringLiteral("B"), QStringLiteral("big"), big));
    EXPECT_EQ(ini.getString(QStringLiteral("B"), QStringLiteral("big"), {}), big);
    // A value with a line end cannot smuggle in a key of its own.
    ASSERT_TRUE(ini.writeString(QStringLiteral("B"), QStringLiteral("v"), QStringLiteral("a\n[App]\nx=1")));
    EXPECT_EQ(ini.getInt(kApp, QStringLiteral("x"), 5), 5);
}

TEST_F(ProfileFileTest, ADirectoryInPlaceOfTheFile)
{
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_EQ(ini.getInt(kApp, QStringLiteral("ShowHiddenFiles"), 3), 3);
    EXPECT_FALSE(ini.writeInt(kApp, QStringLiteral("ShowHiddenFiles"), 1));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(ProfileFileTest, WritingLeavesNoTemporaryFiles)
{
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(ini.writeInt(kApp, QStringLiteral("n"), i));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Config.ini")});
}

TEST_F(ProfileFileTest, DecimalNumbersUseAPointInAnyLocale)
{
    const fixtures::CommaDecimalLocale german;
    if (!german.active())
        GTEST_SKIP() << "no de_DE.UTF-8 locale here (scripts/install-deps.sh generates it as root)";
    ASSERT_TRUE(ini.writeDouble(kApp, QStringLiteral("d"), 2.5));
    EXPECT_EQ(ini.getString(kApp, QStringLiteral("d"), {}), QStringLiteral("2.500000"));
    setText("[App]\na=0.5\nb=+2.25x\nc=abc\nd=0,5\n");
    for (auto [key, expected] : {std::pair{"a", 0.5}, {"b", 2.25}, {"c", 0.0}, {"d", 0.0}, {"missing", 7.0}})
        EXPECT_EQ(ini.getDouble(kApp, QString::fromLatin1(key), 7.0), expected) << key;
}

TEST_F(ProfileFileTest, AFullDiskFailsTheWriteAndKeepsTheOldFile)
{
    const fixtures::SmallTmpfs disk(256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "may not mount a tmpfs here";
    ProfileFile full(disk.file(QStringLiteral("Config.ini")));
    ASSERT_TRUE(full.writeInt(kApp, QStringLiteral("ShowHiddenFiles"), 1));
    const QByteArray before = fixtures::readFile(full.path());
    disk.fill();
    EXPECT_FALSE(full.writeString(kApp, QStringLiteral("more"), QStringLiteral("a short value")));
    EXPECT_EQ(fixtures::readFile(full.path()), before);
    EXPECT_EQ(QDir(QFileInfo(full.path()).path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no temporary file is left";
}

// A link is written through only to a regular file; a pipe never blocks a read.
TEST_F(ProfileFileTest, LinksAndSpecialFilesInPlaceOfTheFile)
{
    const QString regular = dir.file(QStringLiteral("real.ini"));
    ASSERT_TRUE(fixtures::writeFile(regular, "[App]\nx=1\n"));
    ASSERT_EQ(::symlink("real.ini", QFile::encodeName(path).constData()), 0);
    ASSERT_TRUE(ini.writeInt(kApp, QStringLiteral("x"), 2));
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(fixtures::readFile(regular), QByteArray("[App]\nx=2\n"));
    ASSERT_TRUE(QFile::remove(path));

    const QByteArray fifo = QFile::encodeName(dir.file(QStringLiteral("fifo")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QByteArray device = QFile::encodeName(dir.file(QStringLiteral("device")));
    const bool haveDevice = ::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;  // like /dev/null
    for (const char* target : {"fifo", "device", "missing", "."}) {
        if (!haveDevice && target == std::string("device"))
            continue;
        ASSERT_EQ(::symlink(target, QFile::encodeName(path).constData()), 0);
        EXPECT_EQ(ini.getInt(kApp, QStringLiteral("x"), 5), 5) << target;
        EXPECT_FALSE(ini.writeInt(kApp, QStringLiteral("x"), 3)) << target;
        EXPECT_TRUE(QFileInfo(path).isSymLink()) << target;
        ASSERT_TRUE(QFile::remove(path));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("missing"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(ini.getInt(kApp, QStringLiteral("x"), 5), 5);
    EXPECT_FALSE(ini.writeInt(kApp, QStringLiteral("x"), 3));
}

TEST(NativePath, EveryByteOfANameSurvivesAQString)
{
    const QByteArray names[] = {
        "/home/u/caf\xC3\xA9.png",     // valid UTF-8 decodes as Qt does
        "/tmp/caf\xE9.png",             // a Latin-1 byte alone
        "/tmp/\xE2\x82",               // a sequence cut short
        "/tmp/\xC0\xAF\xED\xA0\x80", // overlong '/' and an encoded surrogate
        "/tmp/\xF0\x9F\x98\x80\xFF\xFE\x80",
    };
    for (const QByteArray& native : names) {
        const QString path = NativePath::decode(native);
        EXPECT_EQ(NativePath::encode(path), native) << native.toHex().constData();
        EXPECT_FALSE(path.contains(QChar::ReplacementCharacter)) << native.toHex().constData();
    }
    EXPECT_EQ(NativePath::decode(names[0]), QFile::decodeName(names[0]));
    EXPECT_EQ(NativePath::decode("/tmp/caf\xE9.png"), QStringLiteral("/tmp/caf") + QChar(0xDCE9) + QStringLiteral(".png"));
}

}  // namespace
