#pragma once
// Hands a new message to the user's mail program through xdg-email, which picks the program
// the desktop names for mailto links. The user completes and sends the message there.

#include <QString>
#include <QStringList>

#include <mutex>
#include <sys/types.h>

namespace MailClient {

struct Message {
    QString subject;
    QString body;
    QStringList attachments;  // absolute paths
};

// The xdg-email command line after the program name; no recipients, so the user chooses them.
QStringList xdgEmailArguments(const Message& message);

}  // namespace MailClient

// One run of xdg-email. `run` blocks the calling (worker) thread until the hand-over ends,
// which can take as long as the mail program's window stays open; `terminate` may be called
// from any other thread and ends the run at once.
class MailProcess {
public:
    MailProcess() = default;
    ~MailProcess();
    MailProcess(const MailProcess&) = delete;
    MailProcess& operator=(const MailProcess&) = delete;

    // True when xdg-email ran and reported success; false when it is missing, no mail program
    // is set up, the program refused or the run was terminated.
    bool run(const MailClient::Message& message, const QString& program = QStringLiteral("xdg-email"));
    void terminate();

private:
    std::mutex m_mutex;
    // The process group of the running xdg-email (its pid) while it has not been reaped, so a
    // signal can never reach a reused pid.
    pid_t m_group = 0;
    bool m_terminated = false;
};
