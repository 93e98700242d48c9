#include "frame/EmailJob.h"

#include "app/MessageBoxSeam.h"
#include "frame/ProductInfo.h"
#include "platform/MailClient.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QWidget>

namespace {

constexpr auto WM_EMAIL_DONE = static_cast<QEvent::Type>(QEvent::User + 130);

}  // namespace

namespace email {

QString subjectFor(int count)
{
    return QString::number(count) + (count == 1 ? QStringLiteral(" picture for you") : QStringLiteral(" pictures for you"));
}

QString noteFor(const QStringList& paths)
{
    const int count = static_cast<int>(paths.size());
    QString note = QStringLiteral("You have been sent ") + QString::number(count)
                   + (count == 1 ? QStringLiteral(" picture.\n\n") : QStringLiteral(" pictures.\n\n"));
    for (const QString& path : paths)
        note += QFileInfo(path).fileName() + QLatin1Char('\n');
    note += QLatin1Char('\n');
    note += QString(51, QLatin1Char('-')) + QLatin1Char('\n');
    note += QStringLiteral("These pictures were sent with ") + product::kName + QStringLiteral(", from Kelvra Software.\n");
    note += QStringLiteral("Try it out here: ") + product::webSite();
    return note;
}

}  // namespace email

EmailSender::EmailSender(QWidget* frame) : QObject(frame), m_frame(frame) {}

EmailSender::~EmailSender()
{
    terminate();
    join();
}

EmailSender* EmailSender::of(QWidget* frame)
{
    if (auto* sender = frame->findChild<EmailSender*>(QString(), Qt::FindDirectChildrenOnly))
        return sender;
    return new EmailSender(frame);
}

void EmailSender::join()
{
    if (m_worker.joinable())
        m_worker.join();
}

bool EmailSender::StartEmailImages(const QStringList& paths)
{
    if (paths.isEmpty())
        return false;
    if (isRunning()) {
        MessageBoxSeam::show({m_frame, QStringLiteral("Email Images"),
                              QStringLiteral("Application is busy now. Please try again later."),
                              QMessageBox::Information, QMessageBox::Ok});
        return false;
    }
    join();  // the ended worker of the previous message
    MailClient::Message message{email::subjectFor(static_cast<int>(paths.size())), email::noteFor(paths), paths};
    m_process = std::make_unique<MailProcess>();
    m_running = true;
    MailProcess* process = m_process.get();
    m_worker = std::thread([this, process, message = std::move(message)] {
        // A missing mail program, its refusal or the user's cancelling end the job quietly.
        process->run(message);
        m_running = false;
        QCoreApplication::postEvent(this, new QEvent(WM_EMAIL_DONE));
    });
    return true;
}

void EmailSender::terminate()
{
    if (m_process)
        m_process->terminate();
}

bool EmailSender::confirmQuit()
{
    if (!isRunning())
        return true;
    const auto answer = MessageBoxSeam::show({m_frame, QStringLiteral("Quit Confirm"),
                                              QStringLiteral("Application is sending email now. Would you like to terminate?"),
                                              QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    if (answer == QMessageBox::Yes) {
        terminate();
        join();
        return true;
    }
    // Waiting here would freeze the window for as long as the mail program stays open.
    m_closeWhenDone = true;
    return false;
}

bool EmailSender::event(QEvent* event)
{
    if (event->type() != WM_EMAIL_DONE)
        return QObject::event(event);
    join();
    emit finished();
    if (m_closeWhenDone && m_frame) {
        m_closeWhenDone = false;
        m_frame->close();
    }
    return true;
}
