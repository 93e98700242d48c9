#pragma once
// The histogram of the file focused in the thumbnail list, made on a worker thread from a
// copy reduced to 200 × 200 pixels, with the channels the user chose to show.

#include "info/HistogramLogic.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <thread>

class CHistogramWnd : public QWidget {
    Q_OBJECT
public:
    // `configPath` (may be empty: defaults, nothing written) keeps the four show flags.
    explicit CHistogramWnd(QString configPath, QWidget* parent = nullptr);
    ~CHistogramWnd() override;

    // The file to show; empty clears. The work starts from the event loop.
    void SetPath(const QString& path);
    const QString& path() const { return m_path; }

    // The channel commands (Red, Green, Blue, Gray): toggle, and the check mark.
    static bool handlesCommand(int id);
    void OnCommand(int id);
    bool isChecked(int id) const;

    const histogram::PanelData& data() const { return m_data; }
    const std::array<bool, 4>& shown() const { return m_shown; }
    bool workerRunning() const { return m_worker.joinable(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void onStart();
    void launchWorker();
    void joinWorker();

    QString m_configPath;
    QString m_path;
    histogram::PanelData m_data;
    std::array<bool, 4> m_shown{};  // grey, red, green, blue
    std::thread m_worker;
    uint64_t m_generation = 0;
    bool m_startPosted = false;
    // A start arrived while the worker ran: it runs again for the newest path once it ends,
    // so keys held down never stack up work or block the window thread.
    bool m_restartWanted = false;
};
