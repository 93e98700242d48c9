#include "platform/FileOperations.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <cstdlib>
#include <unistd.h>

namespace {

// Points the home trash into a temporary folder for the length of a test.
class TrashHome {
public:
    TrashHome() : m_old(qgetenv("XDG_DATA_HOME")) { qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.file("data"))); }
    ~TrashHome() { qputenv("XDG_DATA_HOME", m_old); }
    QString trash(const QString& relative) const { return m_dir.file("data/Trash/" + relative); }
    QString file(const QString& name) const { return m_dir.file(name); }

private:
    fixtures::TempDir m_dir;
    QByteArray m_old;
};

QMap<QString, QByteArray> infoOf(const QString& path)
{
    QMap<QString, QByteArray> values;
    const QList<QByteArray> lines = fixtures::readFile(path).split('\n');
    EXPECT_EQ(lines.value(0), "[Trash Info]");
    for (const QByteArray& line : lines) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values[QString::fromLatin1(line.left(eq))] = line.mid(eq + 1);
    }
    return values;
}

}  // namespace

TEST(Trash, WritesARestorableInfoFileWithAnEncodedPathAndTheDate)
{
    TrashHome home;
    const QString original = home.file("My photo ü#1 50%.jpg");
    fixtures::writeFile(original, "pixels");
    QString error;
    ASSERT_TRUE(FileOperations::MoveToTrash(QFile::encodeName(original), &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(original));
    EXPECT_EQ(fixtures::readFile(home.trash("files/My photo ü#1 50%.jpg")), "pixels");

    const auto info = infoOf(home.trash("info/My photo ü#1 50%.jpg.trashinfo"));
    EXPECT_EQ(info.value("Path"), QFile::encodeName(home.file("")).toPercentEncoding("/") + "/My%20photo%20%C3%BC%231%2050%25.jpg");
    EXPECT_EQ(QByteArray::fromPercentEncoding(info.value("Path")), QFile::encodeName(original));
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$").match(QString::fromLatin1(info.value("DeletionDate"))).hasMatch());
}

TEST(Trash, SameNamesGetUniqueEntriesAndFoldersGoWhole)
{
    TrashHome home;
    for (const char* content : {"1", "2", "3"}) {
        fixtures::writeFile(home.file("a.jpg"), content);
        ASSERT_TRUE(FileOperations::MoveToTrash(QFile::encodeName(home.file("a.jpg"))));
    }
    EXPECT_EQ(fixtures::readFile(home.trash("files/a.jpg")), "1");
    EXPECT_EQ(fixtures::readFile(home.trash("files/a.2.jpg")), "2");
    EXPECT_EQ(fixtures::readFile(home.trash("files/a.3.jpg")), "3");
    EXPECT_EQ(QByteArray::fromPercentEncoding(infoOf(home.trash("info/a.3.jpg.trashinfo")).value("Path")),
              QFile::encodeName(home.file("a.jpg")));

    QDir(home.file("")).mkpath("folder/inner");
    fixtures::writeFile(home.file("folder/inner/x"), "x");
    fixtures::writeFile(home.file("readonly"), "r");
    QFile::setPermissions(home.file("readonly"), QFile::ReadOwner);
    EXPECT_TRUE(FileOperations::MoveToTrash(QFile::encodeName(home.file("folder"))));
    EXPECT_TRUE(FileOperations::MoveToTrash(QFile::encodeName(home.file("readonly"))));
    EXPECT_EQ(fixtures::readFile(home.trash("files/folder/inner/x")), "x");
    EXPECT_TRUE(QFile::exists(home.trash("info/readonly.trashinfo")));

    QString error;
    EXPECT_FALSE(FileOperations::MoveToTrash(QFile::encodeName(home.file("missing")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(home.trash("info/missing.trashinfo")));
}

TEST(Trash, OnAnotherVolumeTheTopDirectoryTrashHoldsARelativePath)
{
    TrashHome home;
    fixtures::TempDir volume;
    const QByteArray top = QFile::encodeName(volume.path());
    if (::system(("mount -t tmpfs -o size=1m kelvra-trash-test '" + top + "' 2>/dev/null").constData()) != 0)
        GTEST_SKIP() << "no permission to mount a volume";
    const auto unmount = qScopeGuard([&] { ::system(("umount '" + top + "'").constData()); });
    QDir(volume.path()).mkpath("sub");
    fixtures::writeFile(volume.file("sub/p q.jpg"), "v");
    QString error;
    ASSERT_TRUE(FileOperations::MoveToTrash(top + "/sub/p q.jpg", &error)) << error.toStdString();
    const QString trash = volume.file(QStringLiteral(".Trash-%1").arg(::getuid()));
    EXPECT_EQ(fixtures::readFile(trash + "/files/p q.jpg"), "v");
    EXPECT_EQ(infoOf(trash + "/info/p q.jpg.trashinfo").value("Path"), "sub/p%20q.jpg");
    EXPECT_FALSE(QFile::exists(home.trash("files/p q.jpg")));
}
