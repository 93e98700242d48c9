#include "CPixaneApp.h"

#include "MessageBoxSeam.h"
#include "ProgramFiles.h"

#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT (a session logging out, Ctrl+C in a terminal) end the program the way
// File > Exit does, so settings are written and the temporary folder emptied. The handler
// only writes a byte into a socket; the event loop does the rest.
int g_signalSocket[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalSocket[0], &byte, 1);
}

}  // namespace

void CPixaneApp::setProgramIdentity()
{
    setApplicationName(QStringLiteral("Kelvra Photo Viewer"));
    // No display name: Qt appends one to every window caption, and the dialogs' captions
    // ("Save File", "Rename", ...) stand alone; the main window names the program itself.
    setDesktopFileName(QStringLiteral("kelvra"));
}

CPixaneApp::CPixaneApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setProgramIdentity();
    installTerminationHandler();

    switch (m_context.start(applicationFilePath())) {
    case AppContext::StartResult::Ok:
        m_started = true;
        setWindowIcon(ProgramFiles::applicationIcon(m_context.programFolder()));
        break;
    case AppContext::StartResult::NoProgramFile:
        MessageBoxSeam::show({nullptr, QStringLiteral("Kelvra Photo Viewer"),
                              QStringLiteral("Error when getting module file name."),
                              QMessageBox::Critical, QMessageBox::Ok});
        break;
    case AppContext::StartResult::NoDataFolder:
        break;
    }
}

CPixaneApp::~CPixaneApp()
{
    if (m_started)
        m_context.writeSettings();
}

CPixaneApp* CPixaneApp::instance()
{
    return qobject_cast<CPixaneApp*>(QCoreApplication::instance());
}

void CPixaneApp::installTerminationHandler()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return;
    m_signalNotifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_signalSocket[1], &byte, 1);
        closeAllWindows();
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int CPixaneApp::run(const std::function<std::unique_ptr<QWidget>()>& createMainFrame)
{
    if (!m_started)
        return startupExitCode();
    // The command line carries no options and opens nothing.
    std::unique_ptr<QWidget> frame = createMainFrame();
    if (!frame)
        return 1;
    frame->show();
    const int result = exec();
    // Every window writes its settings as it is destroyed, before the temporary folder goes.
    frame.reset();
    ExitInstance();
    return result;
}

void CPixaneApp::ExitInstance()
{
    m_context.emptyTempFolder();
}
