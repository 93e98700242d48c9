// Set Wallpaper through GNOME's real settings (gsettings, keyfile backend in a temporary
// config folder): the picture saved for the desktop, the previous wallpaper remembered once
// and restored, and the worker's one-job-at-a-time rule.
#include "browser/WallpaperJob.h"

#include "app/MessageBoxSeam.h"
#include "app/ProfileFile.h"
#include "browser/CImageListCtrl.h"
#include "imaging/fipSuperImage.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

constexpr int kBound = 20000;
const QSize kScreen(200, 100);

// GNOME's desktop in folders of the test's own. `hold` makes every gsettings call wait until
// `release`, so a job can be caught while it runs.
class GnomeDesktop {
public:
    GnomeDesktop()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "GSETTINGS_BACKEND", "PATH"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("XDG_CONFIG_HOME", m_dir.file(QStringLiteral("config")).toUtf8());
        qputenv("GSETTINGS_BACKEND", "keyfile");
        QDir().mkpath(m_dir.file(QStringLiteral("bin")));
        const QString wrapper = m_dir.file(QStringLiteral("bin/gsettings"));
        fixtures::writeFile(wrapper, "#!/bin/sh\nwhile [ -e \"$(dirname \"$0\")/hold\" ]; do sleep 0.02; done\n"
                                     "exec /usr/bin/gsettings \"$@\"\n");
        QFile::setPermissions(wrapper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", m_dir.file(QStringLiteral("bin")).toUtf8() + ':' + m_saved.back().second);
    }
    ~GnomeDesktop()
    {
        release();
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }
    void hold() { fixtures::writeFile(m_dir.file(QStringLiteral("bin/hold")), "1"); }
    void release() { QFile::remove(m_dir.file(QStringLiteral("bin/hold"))); }
    static QString get(const QString& key)
    {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/gsettings"), {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.background"), key});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static void set(const QString& key, const QString& value)
    {
        QProcess::execute(QStringLiteral("/usr/bin/gsettings"), {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.background"), key, value});
    }
    static QString uriOf(const QString& path) { return u'\'' + QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + u'\''; }

private:
    fixtures::TempDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

class WallpaperTest : public ::testing::Test {
protected:
    GnomeDesktop gnome;
    fixtures::TempDir data;
    fixtures::TempDir photos;
    wallpaper::Locations at{data.path(), data.file(QStringLiteral("Config.ini"))};
    DesktopWallpaper desktop{DesktopWallpaper::Service::Gnome};
    QStringList messages;
    MessageBoxSeam::Handler previous;

    void SetUp() override
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            messages << r.caption + u'|' + r.text;
            return QMessageBox::Ok;
        });
    }
    void TearDown() override { MessageBoxSeam::setHandler(previous); }

    QString image(const QString& name, unsigned w, unsigned h)
    {
        const QString path = photos.file(name);
        fixtures::patternImage(w, h).save(path);
        return path;
    }
    static QSize savedSize(const QString& path)
    {
        fipSuperImage saved;
        return saved.load(path) ? QSize(int(saved.getWidth()), int(saved.getHeight())) : QSize();
    }
    int remembered(const QString& key) const { return ProfileFile(at.configPath).getInt(QStringLiteral("OldWallpaper"), key, -1); }
    QString rememberedPath() const
    {
        return ProfileFile(at.configPath).getString(QStringLiteral("OldWallpaper"), QStringLiteral("FilePath"), QStringLiteral("?"));
    }
};

TEST(WallpaperFitTest, OnlyALargerPictureIsFittedAndNeverForStretch)
{
    struct Case {
        QSize image;
        int style;
        QSize expected;
    };
    const Case cases[] = {
        {{50, 40}, DesktopWallpaper::Center, {50, 40}},
        {{200, 100}, DesktopWallpaper::Tile, {200, 100}},
        {{400, 100}, DesktopWallpaper::Center, {200, 50}},
        {{100, 400}, DesktopWallpaper::Tile, {25, 100}},
        {{300, 101}, DesktopWallpaper::Center, {200, 67}},  // 67.33
        {{301, 100}, DesktopWallpaper::Center, {200, 66}},  // 66.45
        {{403, 2}, DesktopWallpaper::Center, {200, 1}},     // 0.99
        {{400, 100}, DesktopWallpaper::Stretch, {400, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wallpaper::fittedSize(c.image, kScreen, c.style), c.expected) << c.image.width() << 'x' << c.image.height();
}

TEST_F(WallpaperTest, ThePictureIsSavedFittedWhereNeededAndTheDesktopShowsIt)
{
    struct Case {
        QSize image;
        int style;
        QSize saved;
        const char* option;
    };
    const Case cases[] = {
        {{50, 40}, DesktopWallpaper::Center, {50, 40}, "'centered'"},
        {{50, 40}, DesktopWallpaper::Tile, {50, 40}, "'wallpaper'"},
        {{50, 40}, DesktopWallpaper::Stretch, {50, 40}, "'stretched'"},
        {{400, 100}, DesktopWallpaper::Center, {200, 50}, "'centered'"},
        {{100, 400}, DesktopWallpaper::Tile, {25, 100}, "'wallpaper'"},
        {{400, 100}, DesktopWallpaper::Stretch, {400, 100}, "'stretched'"},
    };
    for (const Case& c : cases) {
        const QString path = image(QStringLiteral("photo %1.png").arg(c.image.width()), unsigned(c.image.width()), unsigned(c.image.height()));
        ASSERT_TRUE(wallpaper::SetWallpaper(at, desktop, path, c.style, kScreen));
        EXPECT_EQ(savedSize(at.programWallpaper()), c.saved) << c.image.width() << ' ' << c.style;
        EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-options")), QLatin1String(c.option));
        EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-uri")), GnomeDesktop::uriOf(at.programWallpaper()));
    }
}

TEST_F(WallpaperTest, SetTwiceThenRestoreBringsBackTheWallpaperFromBeforeTheFirst)
{
    const QString original = photos.file(QStringLiteral("desktop's own.svg"));
    fixtures::writeFile(original, "<svg/>");
    GnomeDesktop::set(QStringLiteral("picture-uri"), QUrl::fromLocalFile(original).toString());
    GnomeDesktop::set(QStringLiteral("picture-options"), QStringLiteral("zoom"));

    CImageListCtrl list(CImageListCtrl::Options{});
    auto* job = WallpaperJob::of(&list);
    job->setDesktop(desktop);
    QSignalSpy finished(job, &WallpaperJob::finished);
    ASSERT_TRUE(job->StartWallpaperJob(image(QStringLiteral("a.png"), 20, 10), DesktopWallpaper::Center, at, kScreen));
    EXPECT_TRUE(list.isBusy());
    ASSERT_TRUE(finished.wait(kBound));
    QTRY_VERIFY_WITH_TIMEOUT(!list.isBusy(), kBound);
    ASSERT_TRUE(job->StartWallpaperJob(image(QStringLiteral("b.png"), 20, 10), DesktopWallpaper::Stretch, at, kScreen));
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_EQ(finished.at(1).at(0).toBool(), true);
    EXPECT_EQ(remembered(QStringLiteral("HasOldWallpaper")), 1);
    EXPECT_EQ(rememberedPath(), original);

    wallpaper::RestoreWallpaper(at, desktop, kScreen);
    EXPECT_EQ(desktop.current()->path, original);
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-options")), QStringLiteral("'zoom'"));
    EXPECT_EQ(remembered(QStringLiteral("HasOldWallpaper")), 0);
    EXPECT_EQ(rememberedPath(), QString());
    EXPECT_FALSE(wallpaper::hasOldWallpaper(at));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WallpaperTest, TheProgramsOwnPreviousWallpaperIsKeptAsOldAndRemovedByRestore)
{
    QDir().mkpath(at.folder());
    ASSERT_TRUE(fixtures::patternImage(12, 8).save(at.programWallpaper()));
    ASSERT_TRUE(desktop.setStyle(DesktopWallpaper::Tile));
    ASSERT_TRUE(desktop.setPicture(at.programWallpaper()));

    ASSERT_TRUE(wallpaper::RememberOldWallpaper(at, desktop));
    ASSERT_TRUE(wallpaper::SetWallpaper(at, desktop, image(QStringLiteral("new.png"), 30, 30), DesktopWallpaper::Center, kScreen));
    EXPECT_EQ(rememberedPath(), at.oldWallpaper());
    EXPECT_EQ(remembered(QStringLiteral("WallpaperStyle")), DesktopWallpaper::Tile);
    EXPECT_EQ(savedSize(at.oldWallpaper()), QSize(12, 8));

    wallpaper::RestoreWallpaper(at, desktop, kScreen);
    EXPECT_FALSE(QFile::exists(at.oldWallpaper()));
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-uri")), GnomeDesktop::uriOf(at.programWallpaper()));
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-options")), QStringLiteral("'wallpaper'"));
    fipSuperImage back;
    ASSERT_TRUE(back.load(at.programWallpaper()));
    EXPECT_TRUE(fixtures::samePixels(back, fixtures::patternImage(12, 8)));
}

TEST_F(WallpaperTest, AnImageThatCannotBeLoadedLeavesNoPictureButWritesTheStyle)
{
    const QString broken = photos.file(QStringLiteral("broken.jpg"));
    fixtures::writeFile(broken, QByteArray("\xFF\xD8\xFF\xE0 not really", 16));
    GnomeDesktop::set(QStringLiteral("picture-uri"), QStringLiteral("file:///somewhere/else.png"));
    ASSERT_TRUE(wallpaper::SetWallpaper(at, desktop, broken, DesktopWallpaper::Tile, kScreen));
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-uri")), QStringLiteral("''"));
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-options")), QStringLiteral("'wallpaper'"));
}

TEST_F(WallpaperTest, OneJobAtATimeAndAFailedSetIsReported)
{
    CImageListCtrl list(CImageListCtrl::Options{});
    auto* job = WallpaperJob::of(&list);
    job->setDesktop(desktop);
    QSignalSpy finished(job, &WallpaperJob::finished);
    const QString path = image(QStringLiteral("a.png"), 20, 10);
    gnome.hold();
    ASSERT_TRUE(job->StartWallpaperJob(path, DesktopWallpaper::Center, at, kScreen));
    EXPECT_FALSE(job->StartWallpaperJob(path, DesktopWallpaper::Tile, at, kScreen));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Set Wallpaper|Application is busy now. Please try again later.")});
    gnome.release();
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_EQ(GnomeDesktop::get(QStringLiteral("picture-options")), QStringLiteral("'centered'"));

    // No desktop service at all: the set fails and says so.
    messages.clear();
    job->setDesktop(DesktopWallpaper(DesktopWallpaper::Service::None));
    ASSERT_TRUE(job->StartWallpaperJob(path, DesktopWallpaper::Center, at, kScreen));
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_FALSE(finished.last().at(0).toBool());
    EXPECT_EQ(messages, QStringList{QStringLiteral("Set Wallpaper|Failed to set wallpaper '%1'.").arg(path)});
}

}  // namespace
