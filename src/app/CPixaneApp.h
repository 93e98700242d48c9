#pragma once
// The application object: owns the process-wide paths and settings and runs the main window.

#include "AppContext.h"

#include <QApplication>

#include <functional>
#include <memory>

class QSocketNotifier;
class QWidget;

class CPixaneApp : public QApplication {
    Q_OBJECT
public:
    CPixaneApp(int& argc, char** argv);
    ~CPixaneApp() override;

    static CPixaneApp* instance();
    // The application's names as the desktop sees them.
    static void setProgramIdentity();

    // False when start-up failed; exitCode() is then the process's exit code.
    bool started() const { return m_started; }
    int startupExitCode() const { return m_started ? 0 : 1; }

    const AppContext& context() const { return m_context; }
    const QString& programFolder() const { return m_context.programFolder(); }
    const QString& dataFolder() const { return m_context.dataFolder(); }
    const QString& settingsPath() const { return m_context.settingsPath(); }
    const QString& favoritesFolder() const { return m_context.favoritesFolder(); }
    const QString& tempFolder() const { return m_context.tempFolder(); }
    bool showHiddenFiles() const { return m_context.showHiddenFiles(); }

    // InitInstance, the event loop, the main window's destruction, then ExitInstance.
    int run(const std::function<std::unique_ptr<QWidget>()>& createMainFrame);

private:
    void ExitInstance();
    void installTerminationHandler();

    AppContext m_context;
    bool m_started = false;
    QSocketNotifier* m_signalNotifier = nullptr;
};
