// Set Wallpaper and Restore as the window offers them: from the list's current image and from
// the viewer's open image, through GNOME's real settings (keyfile backend).
#include "frame/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"

#include "TestFixtures.h"

#include <QProcess>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString gnome(const QString& key)
{
    QProcess p;
    p.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

TEST(WallpaperCommandsTest, TheListAndTheViewerSetAndRestoreTheDesktopPicture)
{
    fixtures::TempDir config;
    std::vector<std::pair<const char*, QByteArray>> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "GSETTINGS_BACKEND", "XDG_CURRENT_DESKTOP"})
        saved.emplace_back(name, qgetenv(name));
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    QStringList messages;
    const auto previous = MessageBoxSeam::setHandler([&messages](const MessageBoxSeam::Request& r) {
        messages << r.text;
        return QMessageBox::Ok;
    });
    {
        fixtures::TempDir data;
        fixtures::TempDir photos;
        const QString a = fixtures::writePatternJpeg(photos.file(QStringLiteral("a.jpg")), 32, 16);
        fixtures::writePatternJpeg(photos.file(QStringLiteral("b.jpg")), 32, 16);
        QProcess::execute(QStringLiteral("gsettings"), {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"),
                                                        QStringLiteral("picture-options"), QStringLiteral("zoom")});
        CMainFrame frame(FrameServices{data.file(QStringLiteral("Config.ini")), data.file(QStringLiteral("Temp")), data.path(), false});
        CImageListCtrl* list = frame.GetThumbnailList();
        ASSERT_TRUE(list->BrowseToPath(photos.path()));
        EXPECT_FALSE(frame.commandState(cmd::SetWallpaperCenter).enabled);
        EXPECT_FALSE(frame.commandState(cmd::RestoreWallpaper).enabled);

        list->selectOnly(list->FindItemByPath(a));
        ASSERT_TRUE(frame.commandState(cmd::SetWallpaperCenter).enabled);
        ASSERT_TRUE(frame.OnCommand(cmd::SetWallpaperCenter));
        EXPECT_TRUE(list->isBusy());
        QTRY_VERIFY_WITH_TIMEOUT(!list->isBusy(), 20000);
        const QString ours = data.file(QStringLiteral("Images/Wallpaper/Kelvra Wallpaper.bmp"));
        EXPECT_EQ(gnome(QStringLiteral("picture-uri")), u'\'' + QUrl::fromLocalFile(ours).toString(QUrl::FullyEncoded) + u'\'');
        EXPECT_EQ(gnome(QStringLiteral("picture-options")), QStringLiteral("'centered'"));
        EXPECT_TRUE(frame.commandState(cmd::RestoreWallpaper).enabled);

        // The viewer's open image goes through the list's job too.
        list->OpenItem(list->FindItemByPath(photos.file(QStringLiteral("b.jpg"))));
        ASSERT_EQ(frame.mode(), FrameMode::Viewer);
        ASSERT_TRUE(frame.commandState(cmd::SetWallpaperTile).enabled);
        ASSERT_TRUE(frame.OnCommand(cmd::SetWallpaperTile));
        QTRY_VERIFY_WITH_TIMEOUT(!list->isBusy(), 20000);
        EXPECT_EQ(gnome(QStringLiteral("picture-options")), QStringLiteral("'wallpaper'"));

        ASSERT_TRUE(frame.OnCommand(cmd::RestoreWallpaper));
        EXPECT_EQ(gnome(QStringLiteral("picture-options")), QStringLiteral("'zoom'"));
        EXPECT_FALSE(frame.commandState(cmd::RestoreWallpaper).enabled);
        EXPECT_TRUE(messages.isEmpty());
    }
    MessageBoxSeam::setHandler(previous);
    for (const auto& [name, value] : saved)
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

}  // namespace
