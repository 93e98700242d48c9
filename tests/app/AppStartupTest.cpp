#include "app/AppContext.h"
#include "app/AppPaths.h"
#include "app/CPixaneApp.h"
#include "app/ProfileFile.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Points the data folder at a temporary place for one test and restores it afterwards.
class ScopedDataHome {
public:
    explicit ScopedDataHome(const QString& path) : m_old(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", path.toUtf8());
    }
    ~ScopedDataHome() { qputenv("XDG_DATA_HOME", m_old); }

private:
    QByteArray m_old;
};

bool catchesSigterm(qint64 pid)
{
    const QByteArray status = fixtures::readFile(QStringLiteral("/proc/%1/status").arg(pid));
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    }
    return false;
}

QString configText(const AppContext& app)
{
    return QString::fromUtf8(fixtures::readFile(app.settingsPath()));
}

TEST(AppPathsTest, PathPieces)
{
    EXPECT_EQ(AppPaths::join(QStringLiteral("/a/b/"), QStringLiteral("c")), QStringLiteral("/a/b/c"));
    EXPECT_EQ(AppPaths::join(QStringLiteral("/a/b"), QStringLiteral("c")), QStringLiteral("/a/b/c"));
    EXPECT_EQ(AppPaths::folderOf(QStringLiteral("/usr/bin/kelvra")), QStringLiteral("/usr/bin"));
    EXPECT_EQ(AppPaths::folderOf(QStringLiteral("/kelvra")), QStringLiteral("/"));
    const QString dirs = QStringLiteral("# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                        "XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n");
    EXPECT_EQ(AppPaths::parseUserDirsValue(dirs, QStringLiteral("XDG_PICTURES_DIR"), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/My \"Pics\""));
    EXPECT_TRUE(AppPaths::parseUserDirsValue(QStringLiteral("XDG_PICTURES_DIR=\"relative\""),
                                             QStringLiteral("XDG_PICTURES_DIR"), QStringLiteral("/h"))
                    .isEmpty());
}

TEST(AppContextTest, FirstStartCreatesTheDataFolderWithItsParents)
{
    fixtures::TempDir tmp;
    ScopedDataHome home(tmp.file(QStringLiteral("deep/er/share/")));
    AppContext app;
    ASSERT_EQ(app.start(QStringLiteral("/opt/kelvra/kelvra")), AppContext::StartResult::Ok);
    const QString data = tmp.file(QStringLiteral("deep/er/share/Kelvra Photo Viewer"));
    EXPECT_EQ(app.dataFolder(), data);
    EXPECT_TRUE(QFileInfo(data).isDir());
    EXPECT_EQ(app.programFolder(), QStringLiteral("/opt/kelvra"));
    EXPECT_EQ(app.settingsPath(), data + QStringLiteral("/Config.ini"));
    EXPECT_EQ(app.favoritesFolder(), data + QStringLiteral("/Favorites"));
    EXPECT_EQ(app.tempRootFolder(), data + QStringLiteral("/Temp"));
    EXPECT_EQ(QFileInfo(app.tempFolder()).path(), app.tempRootFolder());
    EXPECT_FALSE(app.showHiddenFiles());
    // No settings file yet; the process's own temporary folder, which holds its lock.
    EXPECT_FALSE(QFile::exists(app.settingsPath()));
    EXPECT_TRUE(QFileInfo(app.tempFolder()).isDir());
}

TEST(AppContextTest, ADataFolderThatCannotBeMadeFailsTheStart)
{
    fixtures::TempDir tmp;
    ASSERT_TRUE(fixtures::writeFile(tmp.file(QStringLiteral("file")), "x"));
    ScopedDataHome home(tmp.file(QStringLiteral("file/share")));
    AppContext app;
    EXPECT_EQ(app.start(QStringLiteral("/x/kelvra")), AppContext::StartResult::NoDataFolder);
    EXPECT_EQ(app.start(QString()), AppContext::StartResult::NoProgramFile);
}

TEST(AppContextTest, ShowHiddenFilesIsTrueOnlyForOneAndIsWrittenBack)
{
    fixtures::TempDir tmp;
    ScopedDataHome home(tmp.path());
    const struct {
        const char* stored;
        bool expected;
        const char* written;
    } cases[] = {{"1", true, "1"}, {"2", false, "0"}, {"0", false, "0"}, {"yes", false, "0"}, {"-1", false, "0"}};
    for (const auto& c : cases) {
        AppContext first;
        ASSERT_EQ(first.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
        ASSERT_TRUE(fixtures::writeFile(first.settingsPath(), QByteArray("[App]\nShowHiddenFiles=") + c.stored + "\n"));
        AppContext app;
        ASSERT_EQ(app.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
        EXPECT_EQ(app.showHiddenFiles(), c.expected) << c.stored;
        app.writeSettings();
        EXPECT_EQ(configText(app), QStringLiteral("[App]\nShowHiddenFiles=%1\n").arg(QLatin1String(c.written)));
    }
}

TEST(AppContextTest, EachInstanceEmptiesOnlyItsOwnTempFolderAndNeverFollowsLinks)
{
    fixtures::TempDir tmp;
    ScopedDataHome home(tmp.file(QStringLiteral("data")));
    AppContext first, second;
    ASSERT_EQ(first.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
    ASSERT_EQ(second.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
    ASSERT_NE(first.tempFolder(), second.tempFolder());
    const QString snapshot = first.tempFolder() + QStringLiteral("/ABCDEFGHIJKL");
    ASSERT_TRUE(fixtures::writeFile(snapshot, "x"));
    // Not the program's: left where it is.
    const QString foreign = first.tempRootFolder() + QStringLiteral("/someone-elses");
    ASSERT_TRUE(fixtures::writeFile(foreign, "x"));
    // Links to a folder and a file outside: the links go, what they point to stays.
    const QString outside = tmp.file(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(fixtures::writeFile(outside + QStringLiteral("/keep"), "x"));
    ASSERT_TRUE(QDir().mkpath(second.tempFolder() + QStringLiteral("/sub/.hidden")));
    ASSERT_TRUE(QFile::link(outside, second.tempFolder() + QStringLiteral("/sub/.hidden/folder-link")));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/keep"), second.tempFolder() + QStringLiteral("/file-link")));

    second.emptyTempFolder();
    EXPECT_FALSE(QFileInfo::exists(second.tempFolder()));
    EXPECT_TRUE(QFileInfo::exists(snapshot));
    EXPECT_TRUE(QFileInfo::exists(foreign));
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/keep")));

    // A third instance starting now leaves the running one's folder alone.
    AppContext third;
    ASSERT_EQ(third.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
    EXPECT_TRUE(QFileInfo::exists(snapshot));
    const QString firstFolder = first.tempFolder();
    first.emptyTempFolder();
    EXPECT_FALSE(QFileInfo::exists(firstFolder));
    EXPECT_TRUE(QFileInfo(first.tempRootFolder()).isDir());
}

TEST(AppContextTest, AStartRemovesTheFoldersOfEndedProcessesAndRefusesALinkedTemp)
{
    fixtures::TempDir tmp;
    ScopedDataHome home(tmp.file(QStringLiteral("data")));
    const QString outside = tmp.file(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(fixtures::writeFile(outside + QStringLiteral("/keep"), "x"));
    const QString temp = tmp.file(QStringLiteral("data/Kelvra Photo Viewer/Temp"));
    // Left by processes that ended without cleaning up: with an unlocked lock, and cut short
    // after its lock was already gone.
    for (const char* stale : {"run-ended", "run-halfgone"}) {
        ASSERT_TRUE(QDir().mkpath(temp + u'/' + QLatin1String(stale) + QStringLiteral("/sub")));
        ASSERT_TRUE(fixtures::writeFile(temp + u'/' + QLatin1String(stale) + QStringLiteral("/sub/ABCDEFGHIJKL"), "x"));
        ASSERT_TRUE(QFile::link(outside, temp + u'/' + QLatin1String(stale) + QStringLiteral("/link")));
    }
    ASSERT_TRUE(fixtures::writeFile(temp + QStringLiteral("/run-ended/.lock"), ""));
    {
        AppContext app;
        ASSERT_EQ(app.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
        EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QFileInfo(app.tempFolder()).fileName()});
        EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/keep")));
    }
    // `Temp` itself a link to elsewhere: nothing is made or removed through it.
    ASSERT_TRUE(QDir(temp).removeRecursively());
    ASSERT_TRUE(QFile::link(outside, temp));
    AppContext app;
    ASSERT_EQ(app.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
    EXPECT_TRUE(app.tempFolder().isEmpty());
    app.emptyTempFolder();
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("keep")});
}

TEST(ProgramTest, DialogCaptionsStandAloneWithoutTheProgramsName)
{
    const QString oldName = QCoreApplication::applicationName();
    CPixaneApp::setProgramIdentity();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Kelvra Photo Viewer"));
    // A display name of its own would be appended to every caption by the window system;
    // without one the display name just follows the application name.
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(oldName);
}

// The program as a whole: it starts, makes its data folder, and on a termination request
// from the desktop session ends like File > Exit: settings written, its temporary folder
// removed. Another instance running on the same data folder (this test) keeps its own.
TEST(ProgramTest, StartsAndEndsCleanly)
{
    fixtures::TempDir tmp;
    const QString data = tmp.file(QStringLiteral("share/Kelvra Photo Viewer"));
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/Temp/run-ended")));
    ASSERT_TRUE(fixtures::writeFile(data + QStringLiteral("/Temp/run-ended/.lock"), ""));
    ASSERT_TRUE(fixtures::writeFile(data + QStringLiteral("/Temp/.leftover"), "x"));
    ScopedDataHome home(tmp.file(QStringLiteral("share")));
    AppContext running;
    ASSERT_EQ(running.start(QStringLiteral("/k/kelvra")), AppContext::StartResult::Ok);
    const QString snapshot = running.tempFolder() + QStringLiteral("/ABCDEFGHIJKL");
    ASSERT_TRUE(fixtures::writeFile(snapshot, "x"));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), tmp.file(QStringLiteral("share")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    // A file named on the command line is not opened; it changes nothing.
    program.start(QStringLiteral(KELVRA_EXECUTABLE), {tmp.file(QStringLiteral("no-such.jpg"))});
    ASSERT_TRUE(program.waitForStarted(30000));
    // Once the program catches SIGTERM, a request sent before its event loop runs waits in
    // the queue, so it can be sent as soon as the kernel shows the handler.
    ASSERT_TRUE(QTest::qWaitFor([&] { return catchesSigterm(program.processId()); }, 30000));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().constData();
    EXPECT_EQ(ProfileFile(data + QStringLiteral("/Config.ini")).getString(QStringLiteral("App"), QStringLiteral("ShowHiddenFiles"), {}),
              QStringLiteral("0"));
    EXPECT_EQ(QDir(data + QStringLiteral("/Temp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral(".leftover"), QFileInfo(running.tempFolder()).fileName()}));
    EXPECT_TRUE(QFileInfo::exists(snapshot));
}

TEST(ProgramTest, EndsWithCodeOneWhenTheDataFolderCannotBeMade)
{
    fixtures::TempDir tmp;
    ASSERT_TRUE(fixtures::writeFile(tmp.file(QStringLiteral("file")), "x"));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), tmp.file(QStringLiteral("file/share")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(KELVRA_EXECUTABLE), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1);
}

}  // namespace
