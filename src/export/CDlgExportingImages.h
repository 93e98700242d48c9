#pragma once
// "Exporting Images": the progress of one export run. It owns the worker from its start until
// "Finish", "Cancel" or its destruction, counts the images one by one in their order, and at
// the end lists the images that could not be read or written.

#include "ExportWorker.h"

#include <QDialog>

#include <map>
#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

class CDlgExportingImages : public QDialog {
    Q_OBJECT

public:
    // `threadCount` 0 uses up to two threads, as the machine has cores.
    CDlgExportingImages(ExportJob job, QWidget* parent = nullptr, int threadCount = 0);
    ~CDlgExportingImages() override;

    int imagesDone() const { return m_done; }
    int imageCount() const { return static_cast<int>(m_job.sources.size()); }
    // The results so far, in the order of the images.
    const std::vector<ExportImageResult>& results() const { return m_results; }
    bool workerRunning() const { return m_worker != nullptr; }

    QLabel* statusText() const { return m_status; }
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* button() const { return m_button; }
    QListWidget* failureList() const { return m_failures; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void start();
    void imageDone(const ExportImageResult& result);
    void stopWorker();
    void showFailures();

    const ExportJob m_job;
    const int m_threadCount;
    std::unique_ptr<ExportWorker> m_worker;
    std::map<int, ExportImageResult> m_pending;  // reports that arrived ahead of their turn
    std::vector<ExportImageResult> m_results;
    int m_done = 0;
    bool m_started = false;
    bool m_closing = false;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_button = nullptr;
    QLabel* m_failureText = nullptr;
    QListWidget* m_failures = nullptr;
};
