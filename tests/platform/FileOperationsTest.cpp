#include "platform/FileOperations.h"

#include "TestFixtures.h"

#include <gtest/gtest.h>

#include <QFile>

TEST(RenamePath, RenamesButNeverReplacesAndRefusesTheRoot)
{
    fixtures::TempDir dir;
    const QByteArray d = QFile::encodeName(dir.path());
    fixtures::writeFile(dir.file("a.jpg"), "a");
    fixtures::writeFile(dir.file("b.jpg"), "b");

    EXPECT_TRUE(FileOperations::RenamePath(d + "/a.jpg", d + "/c d.jpg"));
    EXPECT_EQ(fixtures::readFile(dir.file("c d.jpg")), "a");
    EXPECT_FALSE(QFile::exists(dir.file("a.jpg")));

    EXPECT_FALSE(FileOperations::RenamePath(d + "/c d.jpg", d + "/b.jpg"));
    EXPECT_EQ(fixtures::readFile(dir.file("b.jpg")), "b");

    EXPECT_FALSE(FileOperations::RenamePath(d + "/missing", d + "/x"));
    EXPECT_FALSE(FileOperations::RenamePath("/", d + "/root"));
    EXPECT_FALSE(FileOperations::RenamePath(d + "/b.jpg", d + "/b.jpg"));
    EXPECT_FALSE(FileOperations::RenamePath(d + "/b.jpg", d + "/.."));
}
