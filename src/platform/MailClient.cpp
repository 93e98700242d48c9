#include "platform/MailClient.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace MailClient {

QStringList xdgEmailArguments(const Message& message)
{
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.subject,
                     QStringLiteral("--body"), message.body};
    for (const QString& path : message.attachments)
        args << QStringLiteral("--attach") << path;
    return args;
}

}  // namespace MailClient

MailProcess::~MailProcess()
{
    terminate();
}

bool MailProcess::run(const MailClient::Message& message, const QString& program)
{
    std::vector<QByteArray> storage;
    storage.push_back(QFile::encodeName(program));
    for (const QString& arg : MailClient::xdgEmailArguments(message))
        storage.push_back(arg.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    // A group of its own: terminating the run also ends the mail program xdg-email started.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    int spawned = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_terminated) {
            posix_spawnattr_destroy(&attributes);
            return false;
        }
        spawned = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ);
        if (spawned == 0)
            m_group = pid;
    }
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0)
        return false;

    // Waits for the end without reaping, so `terminate` can still signal the group safely.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    int status = 0;
    {
        std::lock_guard lock(m_mutex);
        m_group = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void MailProcess::terminate()
{
    std::lock_guard lock(m_mutex);
    m_terminated = true;
    if (m_group > 0)
        ::kill(-m_group, SIGKILL);
}
