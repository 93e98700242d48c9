#include "CDlgExportingImages.h"

#include "app/WaitCursor.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString processingText(int image, int count)
{
    return QStringLiteral("Processing image %1 of %2").arg(image).arg(count);
}

QString failureLine(const ExportImageResult& result)
{
    const QString name = QFileInfo(result.source).fileName();
    switch (result.outcome) {
    case ImageExport::Outcome::NotRead: return name + QStringLiteral(" (could not be read)");
    case ImageExport::Outcome::NotConverted: return name + QStringLiteral(" (could not be resized)");
    case ImageExport::Outcome::NotWritten:
        return name + QStringLiteral(" (could not be written to ") + QFileInfo(result.destination).fileName()
               + QStringLiteral(")");
    case ImageExport::Outcome::Written: break;
    }
    return name;
}

}  // namespace

CDlgExportingImages::CDlgExportingImages(ExportJob job, QWidget* parent, int threadCount)
    : QDialog(parent),
      m_job(std::move(job)),
      m_threadCount(threadCount > 0 ? threadCount : std::clamp(QThread::idealThreadCount(), 1, 2))
{
    setWindowTitle(QStringLiteral("Exporting Images"));
    m_status = new QLabel(processingText(1, imageCount()), this);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, imageCount());
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_button = new QPushButton(QStringLiteral("Cancel"), this);
    m_failureText = new QLabel(this);
    m_failures = new QListWidget(this);
    m_failures->setSelectionMode(QAbstractItemView::NoSelection);
    m_failureText->hide();
    m_failures->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_failureText);
    layout->addWidget(m_failures);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    connect(m_button, &QPushButton::clicked, this, &CDlgExportingImages::reject);
}

CDlgExportingImages::~CDlgExportingImages()
{
    if (m_worker) {
        const WaitCursor wait;
        m_worker.reset();
    }
}

void CDlgExportingImages::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started)
        start();
}

void CDlgExportingImages::start()
{
    m_started = true;
    if (imageCount() == 0) {
        m_button->setText(QStringLiteral("Finish"));
        return;
    }
    m_worker = std::make_unique<ExportWorker>(m_job, this, m_threadCount);
    // One image in hand per thread; each report issues the next.
    m_worker->issueUpTo(m_threadCount);
}

void CDlgExportingImages::customEvent(QEvent* event)
{
    if (event->type() == ExportImageDoneEvent::kType) {
        const auto& result = static_cast<ExportImageDoneEvent*>(event)->result();
        m_pending.emplace(result.index, result);
        // Reports can overtake each other; they are counted in the images' order.
        for (auto next = m_pending.find(m_done); next != m_pending.end(); next = m_pending.find(m_done)) {
            const ExportImageResult ready = next->second;
            m_pending.erase(next);
            imageDone(ready);
        }
        return;
    }
    if (event->type() == ExportWorkerEndedEvent::kType) {
        if (m_closing) {
            stopWorker();
            QDialog::reject();
        }
        return;
    }
    QDialog::customEvent(event);
}

void CDlgExportingImages::imageDone(const ExportImageResult& result)
{
    m_results.push_back(result);
    m_progress->setValue(m_done + 1);
    ++m_done;
    if (m_done >= imageCount()) {
        m_button->setText(QStringLiteral("Finish"));
        stopWorker();
        showFailures();
        return;
    }
    if (m_closing)
        return;
    m_status->setText(processingText(m_done + 1, imageCount()));
    if (m_worker)
        m_worker->issueUpTo(m_done + m_threadCount);
}

void CDlgExportingImages::stopWorker()
{
    if (!m_worker)
        return;
    const WaitCursor wait;
    m_worker.reset();
}

void CDlgExportingImages::showFailures()
{
    int failed = 0;
    for (const ExportImageResult& result : m_results) {
        if (result.outcome == ImageExport::Outcome::Written)
            continue;
        m_failures->addItem(failureLine(result));
        ++failed;
    }
    if (failed == 0)
        return;
    m_failureText->setText(failed == 1 ? QStringLiteral("1 image could not be exported:")
                                       : QStringLiteral("%1 images could not be exported:").arg(failed));
    m_failureText->show();
    m_failures->show();
}

void CDlgExportingImages::reject()
{
    if (!m_worker) {
        QDialog::reject();
        return;
    }
    // The images in hand are finished first; the window closes when the worker has ended,
    // so the window thread never waits for an image being written.
    m_closing = true;
    m_button->setEnabled(false);
    m_worker->requestStop();
}
