#include "platform/FileClipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

TEST(FileClipboard, WritesEveryFormatAndReadsItBack)
{
    const ClipboardFiles files{{"/home/u/a b.jpg", QByteArray("/tmp/caf\xe9#1%.png")}, true};
    const auto data = FileClipboard::encode(files);
    EXPECT_EQ(data->data("x-special/gnome-copied-files"),
              "cut\nfile:///home/u/a%20b.jpg\nfile:///tmp/caf%E9%231%25.png");
    EXPECT_EQ(data->data("text/uri-list"), "file:///home/u/a%20b.jpg\r\nfile:///tmp/caf%E9%231%25.png\r\n");
    EXPECT_EQ(data->data("application/x-kde-cutselection"), "1");
    EXPECT_EQ(data->data("Preferred DropEffect"), QByteArray("\x02\0\0\0", 4));

    const auto back = FileClipboard::decode(*data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->paths, files.paths);
    EXPECT_TRUE(back->cut);

    const auto copy = FileClipboard::encode({{"/x"}, false});
    EXPECT_EQ(copy->data("x-special/gnome-copied-files"), "copy\nfile:///x");
    EXPECT_EQ(copy->data("Preferred DropEffect"), QByteArray("\x01\0\0\0", 4));
    EXPECT_FALSE(FileClipboard::decode(*copy)->cut);
}

TEST(FileClipboard, ReadsWhatLinuxFileManagersWrite)
{
    // As a GNOME file manager writes a cut: its own format plus a URI list without a marker.
    QMimeData gnome;
    gnome.setData("x-special/gnome-copied-files", "cut\nfile:///home/u/My%20photo.jpg\nfile:///home/u/b.png");
    gnome.setData("text/uri-list", "file:///home/u/My%20photo.jpg\r\nfile:///home/u/b.png\r\n");
    auto files = FileClipboard::decode(gnome);
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->cut);
    EXPECT_EQ(files->paths, (std::vector<QByteArray>{"/home/u/My photo.jpg", "/home/u/b.png"}));

    // As a KDE file manager writes a cut: URIs plus its marker, no GNOME format.
    QMimeData kde;
    kde.setData("text/uri-list", "file:///home/u/a.jpg\r\n# comment\r\nfile://localhost/home/u/c.jpg\r\n");
    kde.setData("application/x-kde-cutselection", "1");
    files = FileClipboard::decode(kde);
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->cut);
    EXPECT_EQ(files->paths, (std::vector<QByteArray>{"/home/u/a.jpg", "/home/u/c.jpg"}));
    kde.setData("application/x-kde-cutselection", "0");
    EXPECT_FALSE(FileClipboard::decode(kde)->cut);

    // A plain URI list is a copy; remote URIs and text are not files.
    QMimeData plain;
    plain.setData("text/uri-list", "file:///a\r\n");
    EXPECT_FALSE(FileClipboard::decode(plain)->cut);
    QMimeData remote;
    remote.setData("text/uri-list", "https://example.com/a.jpg\r\nsftp://host/b\r\n");
    EXPECT_FALSE(FileClipboard::decode(remote));
    QMimeData text;
    text.setText("/home/u/a.jpg");
    EXPECT_FALSE(FileClipboard::decode(text));
    // A damaged GNOME block falls back to the URI list.
    QMimeData damaged;
    damaged.setData("x-special/gnome-copied-files", "move\nfile:///a");
    damaged.setData("text/uri-list", "file:///b\r\n");
    EXPECT_EQ(FileClipboard::decode(damaged)->paths, std::vector<QByteArray>{"/b"});
}

TEST(FileClipboard, TheFilesFlagFollowsEveryChangeOfTheClipboard)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    FileClipboardState state(clipboard);
    EXPECT_FALSE(state.hasFiles());
    clipboard->setMimeData(FileClipboard::encode({{"/tmp/a.jpg"}, true}).release());
    EXPECT_TRUE(state.hasFiles());
    clipboard->setText(QStringLiteral("/tmp/a.jpg"));
    EXPECT_FALSE(state.hasFiles()) << "text is not a file";
    auto remote = std::make_unique<QMimeData>();
    remote->setData("text/uri-list", "https://example.com/a.jpg\r\n");
    clipboard->setMimeData(remote.release());
    EXPECT_FALSE(state.hasFiles());
    clipboard->setMimeData(FileClipboard::encode({{"/tmp/b.jpg"}, false}).release());
    EXPECT_TRUE(state.hasFiles());
    clipboard->clear();
    EXPECT_FALSE(state.hasFiles());
}
