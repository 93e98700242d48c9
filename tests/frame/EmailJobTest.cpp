// E-mail Images through the real xdg-email, with a mail program of the test's own: a desktop
// entry made the mailto default with xdg-mime, whose command records the link it is given.
#include "frame/EmailJob.h"

#include "app/CommandIds.h"
#include "app/MessageBoxSeam.h"
#include "browser/CImageListCtrl.h"
#include "frame/CMainFrame.h"

#include "TestFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kBound = 20000;

// The mail program: records the mailto link, then stays "open" while the hold file exists.
class TestMailProgram {
public:
    TestMailProgram()
    {
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "DISPLAY", "XDG_CURRENT_DESKTOP"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", m_dir.file(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.file(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_DIRS", (m_dir.file(QStringLiteral("data")) + QStringLiteral(":/usr/share")).toUtf8());
        // xdg-open's own route to the mailto handler wants a display to open it on.
        qputenv("DISPLAY", ":97");
        qunsetenv("XDG_CURRENT_DESKTOP");
        QDir().mkpath(m_dir.file(QStringLiteral("data/applications")));
        QDir().mkpath(m_dir.file(QStringLiteral("config")));
    }
    ~TestMailProgram()
    {
        release();
        for (const auto& [name, value] : m_saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    // Makes the recorder the desktop's mail program.
    bool install()
    {
        const QString script = m_dir.file(QStringLiteral("mailer.sh"));
        const QByteArray body = "#!/bin/sh\n"
                                "dir=$(dirname \"$0\")\n"
                                "printf '%s' \"$1\" > \"$dir/record.tmp\" && mv \"$dir/record.tmp\" \"$dir/record.txt\"\n"
                                "while [ -e \"$dir/hold\" ]; do sleep 0.02; done\n";
        if (!fixtures::writeFile(script, body))
            return false;
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + script.toUtf8()
                                 + " %u\nMimeType=x-scheme-handler/mailto;\n";
        if (!fixtures::writeFile(m_dir.file(QStringLiteral("data/applications/kelvra-recorder.desktop")), entry))
            return false;
        return QProcess::execute(QStringLiteral("xdg-mime"), {QStringLiteral("default"), QStringLiteral("kelvra-recorder.desktop"),
                                                              QStringLiteral("x-scheme-handler/mailto")}) == 0;
    }
    void hold() { fixtures::writeFile(m_dir.file(QStringLiteral("hold")), "1"); }
    void release() { QFile::remove(m_dir.file(QStringLiteral("hold"))); }
    bool recorded() const { return QFile::exists(m_dir.file(QStringLiteral("record.txt"))); }

    struct Record {
        QString subject;
        QString body;
        QStringList attachments;
    };
    Record record() const
    {
        Record r;
        QByteArray link = fixtures::readFile(m_dir.file(QStringLiteral("record.txt")));
        const qsizetype query = link.indexOf('?');
        for (const QByteArray& field : link.mid(query + 1).split('&')) {
            const qsizetype eq = field.indexOf('=');
            const QByteArray key = field.left(eq);
            const QString value = QString::fromUtf8(QByteArray::fromPercentEncoding(field.mid(eq + 1)));
            if (key == "subject")
                r.subject = value;
            else if (key == "body")
                r.body = QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // mailto lines end in CRLF
            else if (key == "attach")
                r.attachments << value;
        }
        return r;
    }
    QString file(const QString& name) const { return m_dir.file(name); }

private:
    fixtures::TempDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

class EmailJobTest : public ::testing::Test {
protected:
    TestMailProgram mail;
    fixtures::TempDir photos;
    QStringList messages;
    MessageBoxSeam::Handler previous;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    void SetUp() override
    {
        previous = MessageBoxSeam::setHandler([this](const MessageBoxSeam::Request& r) {
            messages << r.caption + u'|' + r.text;
            return answer;
        });
    }
    void TearDown() override { MessageBoxSeam::setHandler(previous); }

    QStringList makeFiles(const QStringList& names)
    {
        QStringList paths;
        for (const QString& name : names) {
            paths << photos.file(name);
            fixtures::writeFile(paths.back(), "x");
        }
        return paths;
    }
};

TEST(EmailTextTest, SubjectAndNoteCountThePictures)
{
    EXPECT_EQ(email::subjectFor(1), QStringLiteral("1 picture for you"));
    EXPECT_EQ(email::subjectFor(3), QStringLiteral("3 pictures for you"));
    EXPECT_TRUE(email::noteFor({QStringLiteral("/p/a.jpg")}).startsWith(QStringLiteral("You have been sent 1 picture.\n\n")));
    EXPECT_EQ(email::noteFor({QStringLiteral("/p/a.jpg"), QStringLiteral("/q/b c.png")}),
              QStringLiteral("You have been sent 2 pictures.\n\na.jpg\nb c.png\n\n")
                  + QString(51, u'-')
                  + QStringLiteral("\nThese pictures were sent with Kelvra Photo Viewer, from Kelvra Software.\n"
                                   "Try it out here: https://www.kelvra.example"));
}

TEST_F(EmailJobTest, EveryFileArrivesAsItselfWhateverItsName)
{
    ASSERT_TRUE(mail.install());
    const QStringList paths = makeFiles({QStringLiteral("my photo.jpg"), QStringLiteral("it's \"quoted\".jpg"),
                                         QStringLiteral("a&b?c#d%e.png"), QStringLiteral("Grüße Ærø 東京.jpg")});
    QWidget frame;
    auto* sender = EmailSender::of(&frame);
    QSignalSpy finished(sender, &EmailSender::finished);
    ASSERT_TRUE(sender->StartEmailImages(paths));
    ASSERT_TRUE(finished.wait(kBound));
    const auto record = mail.record();
    EXPECT_EQ(record.subject, QStringLiteral("4 pictures for you"));
    EXPECT_EQ(record.body.toStdString(), email::noteFor(paths).toStdString());
    EXPECT_EQ(record.attachments, paths);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(EmailJobTest, TwoHundredImagesAtOnceAllArrive)
{
    ASSERT_TRUE(mail.install());
    QStringList names;
    for (int i = 0; i < 200; ++i)
        names << QStringLiteral("holiday picture number %1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    const QStringList paths = makeFiles(names);
    QWidget frame;
    auto* sender = EmailSender::of(&frame);
    QSignalSpy finished(sender, &EmailSender::finished);
    ASSERT_TRUE(sender->StartEmailImages(paths));
    ASSERT_TRUE(finished.wait(kBound));
    const auto record = mail.record();
    EXPECT_EQ(record.attachments, paths);
    EXPECT_EQ(record.body.toStdString(), email::noteFor(paths).toStdString());  // no name is cut from the note
}

TEST_F(EmailJobTest, ASecondRequestWhileTheMailWindowIsOpenIsRefused)
{
    ASSERT_TRUE(mail.install());
    const QStringList paths = makeFiles({QStringLiteral("a.jpg")});
    QWidget frame;
    auto* sender = EmailSender::of(&frame);
    QSignalSpy finished(sender, &EmailSender::finished);
    mail.hold();
    ASSERT_TRUE(sender->StartEmailImages(paths));
    QTRY_VERIFY_WITH_TIMEOUT(mail.recorded(), kBound);
    EXPECT_FALSE(sender->StartEmailImages(makeFiles({QStringLiteral("b.jpg")})));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Email Images|Application is busy now. Please try again later.")});
    mail.release();
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_EQ(mail.record().attachments, paths);
    // Once ended, the next request goes through.
    EXPECT_TRUE(sender->StartEmailImages(paths));
    ASSERT_TRUE(finished.wait(kBound));
}

TEST_F(EmailJobTest, WithoutAMailProgramNothingHappens)
{
    QWidget frame;
    auto* sender = EmailSender::of(&frame);
    QSignalSpy finished(sender, &EmailSender::finished);
    ASSERT_TRUE(sender->StartEmailImages(makeFiles({QStringLiteral("a.jpg")})));
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_FALSE(mail.recorded());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(sender->isRunning());
}

// The whole window: the list's selected images go out with 33427, and quitting while the
// mail program is open asks; No waits for it, Yes ends it.
TEST_F(EmailJobTest, TheFrameSendsTheSelectionAndAsksAtQuit)
{
    ASSERT_TRUE(mail.install());
    fixtures::TempDir data;
    const QStringList paths = {photos.file(QStringLiteral("a.jpg")), photos.file(QStringLiteral("b.jpg"))};
    for (const QString& path : paths)
        ASSERT_FALSE(fixtures::writePatternJpeg(path, 32, 16).isEmpty());
    fixtures::writeFile(photos.file(QStringLiteral("notes.txt")), "x");
    auto frame = std::make_unique<CMainFrame>(FrameServices{data.file(QStringLiteral("Config.ini")), data.file(QStringLiteral("Temp")), data.path(), false});
    frame->show();
    CImageListCtrl* list = frame->GetThumbnailList();
    ASSERT_TRUE(list->BrowseToPath(photos.path()));

    list->selectOnly(list->FindItemByPath(photos.file(QStringLiteral("notes.txt"))));
    EXPECT_FALSE(frame->commandState(cmd::EmailImages).enabled);
    list->runSelectionCommand(cmd::SelectAllImages);
    ASSERT_TRUE(frame->commandState(cmd::EmailImages).enabled);

    auto* sender = EmailSender::of(frame.get());
    QSignalSpy finished(sender, &EmailSender::finished);

    // The viewer sends its open image.
    list->OpenItem(list->FindItemByPath(paths[1]));
    ASSERT_EQ(frame->mode(), FrameMode::Viewer);
    ASSERT_TRUE(frame->OnCommand(cmd::EmailImages));
    ASSERT_TRUE(finished.wait(kBound));
    EXPECT_EQ(mail.record().attachments, QStringList{paths[1]});
    EXPECT_EQ(mail.record().subject, QStringLiteral("1 picture for you"));
    frame->EnterBrowserMode();
    list->runSelectionCommand(cmd::SelectAllImages);
    QFile::remove(mail.file(QStringLiteral("record.txt")));

    mail.hold();
    ASSERT_TRUE(frame->OnCommand(cmd::EmailImages));
    QTRY_VERIFY_WITH_TIMEOUT(mail.recorded(), kBound);
    EXPECT_EQ(mail.record().attachments, paths);
    EXPECT_EQ(mail.record().subject, QStringLiteral("2 pictures for you"));

    answer = QMessageBox::No;
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(messages.value(0), QStringLiteral("Quit Confirm|Application is sending email now. Would you like to terminate?"));
    EXPECT_TRUE(frame->isVisible());
    mail.release();
    ASSERT_TRUE(finished.wait(kBound));
    QTRY_VERIFY_WITH_TIMEOUT(!frame->isVisible(), kBound);

    // Yes ends the mail program's hand-over at once, though it would stay open.
    frame->show();
    QFile::remove(mail.file(QStringLiteral("record.txt")));
    mail.hold();
    ASSERT_TRUE(frame->OnCommand(cmd::EmailImages));
    QTRY_VERIFY_WITH_TIMEOUT(mail.recorded(), kBound);
    answer = QMessageBox::Yes;
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(sender->isRunning());
}

}  // namespace
