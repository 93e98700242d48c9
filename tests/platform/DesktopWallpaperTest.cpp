// The desktop's wallpaper service: which one a session gets, and the GNOME settings written
// and read back through the real gsettings (keyfile backend in a temporary config folder).
#include "platform/DesktopWallpaper.h"

#include "TestFixtures.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

using Service = DesktopWallpaper::Service;

// GNOME's settings in a folder of the test's own, written by the real gsettings.
class GnomeSettings {
public:
    GnomeSettings() : m_config(qgetenv("XDG_CONFIG_HOME")), m_backend(qgetenv("GSETTINGS_BACKEND"))
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        qputenv("GSETTINGS_BACKEND", "keyfile");
    }
    ~GnomeSettings()
    {
        qputenv("XDG_CONFIG_HOME", m_config);
        qputenv("GSETTINGS_BACKEND", m_backend);
    }
    static QString get(const QString& key)
    {
        QProcess p;
        p.start(QStringLiteral("gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private:
    fixtures::TempDir m_dir;
    QByteArray m_config;
    QByteArray m_backend;
};

TEST(DesktopWallpaperTest, TheSessionsDesktopChoosesTheService)
{
    struct Case {
        const char* desktops;
        bool x11;
        QStringList programs;
        Service expected;
    };
    const Case cases[] = {
        {"GNOME", false, {}, Service::Gnome},
        {"ubuntu:GNOME", true, {"feh"}, Service::Gnome},
        {"X-Cinnamon", false, {}, Service::Cinnamon},
        {"MATE", false, {}, Service::Mate},
        {"XFCE", false, {}, Service::Xfce},
        {"KDE", false, {}, Service::Kde},
        {"LXQt", true, {"xwallpaper", "feh"}, Service::Feh},
        {"", true, {"xwallpaper"}, Service::Xwallpaper},
        {"", false, {"feh"}, Service::None},  // feh draws on X11 only
        {"sway", true, {}, Service::None},
    };
    for (const Case& c : cases) {
        const auto has = [&c](const QString& program) { return c.programs.contains(program); };
        EXPECT_EQ(DesktopWallpaper::serviceFor(QString::fromLatin1(c.desktops), c.x11, has), c.expected) << c.desktops;
    }
}

TEST(DesktopWallpaperTest, GnomeKeepsPictureAndPlacementBothForLightAndDarkStyle)
{
    GnomeSettings settings;
    fixtures::TempDir dir;
    const QString path = dir.file(QStringLiteral("Jürgen's \"best\" #1 & 50%.bmp"));
    DesktopWallpaper desktop(Service::Gnome);

    struct Case {
        int style;
        const char* option;
    };
    for (const Case& c : {Case{DesktopWallpaper::Tile, "'wallpaper'"}, Case{DesktopWallpaper::Stretch, "'stretched'"},
                          Case{DesktopWallpaper::Center, "'centered'"}}) {
        ASSERT_TRUE(desktop.setStyle(c.style));
        ASSERT_TRUE(desktop.setPicture(path));
        EXPECT_EQ(GnomeSettings::get(QStringLiteral("picture-options")), QLatin1String(c.option));
        const auto current = desktop.current();
        ASSERT_TRUE(current);
        EXPECT_EQ(current->path, path);
        EXPECT_EQ(current->style, c.style);
        EXPECT_EQ(GnomeSettings::get(QStringLiteral("picture-uri-dark")), GnomeSettings::get(QStringLiteral("picture-uri")));
    }
    // A placement the program does not offer reads as Center but keeps its own word.
    ASSERT_TRUE(desktop.setPlacement(QStringLiteral("zoom")));
    EXPECT_EQ(desktop.current()->style, DesktopWallpaper::Center);
    EXPECT_EQ(desktop.current()->placement, QStringLiteral("zoom"));

    ASSERT_TRUE(desktop.setPicture(QString()));
    EXPECT_EQ(desktop.current()->path, QString());
}

TEST(DesktopWallpaperTest, WithoutAServiceNothingIsSetOrRead)
{
    DesktopWallpaper desktop(Service::None);
    EXPECT_FALSE(desktop.setStyle(DesktopWallpaper::Center));
    EXPECT_FALSE(desktop.setPicture(QStringLiteral("/tmp/x.bmp")));
    EXPECT_FALSE(desktop.current());
}

}  // namespace
