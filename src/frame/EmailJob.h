#pragma once
// E-mail Images: the chosen image files go to the user's mail program as attachments of a new
// message. The hand-over runs on a worker because the mail program's window can stay open for
// as long as the user likes; the frame keeps one such job at a time.

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

class MailProcess;
class QWidget;

namespace email {

// "1 picture for you", "3 pictures for you".
QString subjectFor(int count);
// The note: the count, every file's name, and where the program comes from. It grows with the
// names, so a long list is never cut short.
QString noteFor(const QStringList& paths);

}  // namespace email

// A child of the main frame; `of` finds it or makes it.
class EmailSender : public QObject {
    Q_OBJECT
public:
    explicit EmailSender(QWidget* frame);
    ~EmailSender() override;  // ends a running hand-over and joins its worker

    static EmailSender* of(QWidget* frame);

    // `StartEmailImages`: false when there is nothing to send or a hand-over still runs (the
    // user is told so).
    bool StartEmailImages(const QStringList& paths);
    bool isRunning() const { return m_running.load(); }
    // Ends the running hand-over's process at once.
    void terminate();

    // The frame's close while a hand-over runs: Yes ends it and the close goes on (true); No
    // keeps the window open and closes it once the hand-over has ended (false).
    bool confirmQuit();

signals:
    void finished();

protected:
    bool event(QEvent* event) override;

private:
    void join();

    QPointer<QWidget> m_frame;
    std::unique_ptr<MailProcess> m_process;
    std::thread m_worker;
    std::atomic<bool> m_running{false};
    bool m_closeWhenDone = false;
};
