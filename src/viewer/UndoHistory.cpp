#include "viewer/UndoHistory.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

namespace {

qint64 quarterOfPhysicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return qint64(256) << 20;
    return static_cast<qint64>(pages) * pageSize / 4;
}

// The library's accessors take no const bitmap; the history only reads it.
FIBITMAP* bitmapOf(const fipSuperImage& image)
{
    return const_cast<fipSuperImage&>(image);
}

const QEvent::Type kStartWrite = static_cast<QEvent::Type>(QEvent::registerEventType());

}  // namespace

// The history's link to the event loop: the posted start of a waiting write, the wait for
// the image to come to rest and the idle turns that copy it ahead. A history destroyed first
// takes its pending events and timers with it.
class UndoHistory::Events : public QObject {
public:
    explicit Events(UndoHistory& history) : m_history(history)
    {
        m_rest.setSingleShot(true);
        m_rest.setInterval(kRestMs);
        m_rest.callOnTimeout(this, [this] { m_history.startCopyAhead(); });
        m_idle.setInterval(0);
        m_idle.callOnTimeout(this, [this] { m_history.copyAhead(); });
    }

    void requestWrite()
    {
        // Below the repaint's priority: the change is shown before its old state is written.
        QCoreApplication::postEvent(this, new QEvent(kStartWrite), Qt::LowEventPriority - 1);
    }
    void waitForRest() { m_idle.stop(), m_rest.start(); }
    void copyWhenIdle() { m_idle.start(); }
    void stop() { m_rest.stop(), m_idle.stop(); }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != kStartWrite)
            return QObject::event(e);
        m_history.startWriter();
        return true;
    }

private:
    UndoHistory& m_history;
    QTimer m_rest;
    QTimer m_idle;
};

UndoHistory::UndoHistory(QString tempFolder)
    : m_tempFolder(std::move(tempFolder)),
      m_memoryBudget(quarterOfPhysicalMemory()),
      m_random(std::random_device{}()),
      m_events(std::make_unique<Events>(*this))
{
}

UndoHistory::~UndoHistory()
{
    clear();
}

void UndoHistory::waitForWriter()
{
    startWriter();
    joinWriter();
}

void UndoHistory::joinWriter()
{
    if (!m_writer.joinable())
        return;
    m_writer.join();
    // The snapshot's slot is freed only after this wait, so it is still there.
    if (m_pending.snapshot && !m_pending.written)
        m_pending.snapshot->memory = std::move(m_pending.bytes);
    m_pending = PendingWrite{};
}

qint64 UndoHistory::memoryInUse() const
{
    qint64 total = 0;
    for (const auto& slot : m_slots)
        if (slot)
            total += slot->memory.size();
    return total;
}

void UndoHistory::trimToBudget()
{
    while (memoryInUse() > m_memoryBudget) {
        if (m_position > 0) {
            freeSlot(0);
            std::move(m_slots.begin() + 1, m_slots.end(), m_slots.begin());
            m_slots[kSlotCount - 1].reset();
            --m_position;
            continue;
        }
        // Only redo states left: the farthest goes first.
        int last = kSlotCount - 1;
        while (last >= 0 && !m_slots[last])
            --last;
        if (last < 0)
            return;
        freeSlot(last);
    }
}

QString UndoHistory::slotFile(int index) const
{
    if (index < 0 || index >= kSlotCount || !m_slots[index])
        return {};
    return m_slots[index]->filePath;
}

QString UndoHistory::makeFileName()
{
    // Seeded once per history rather than per name: two snapshots within the same clock tick
    // must not get the same file.
    std::uniform_int_distribution<int> letter(0, 25);
    if (m_tempFolder.isEmpty())
        return {};
    const QString folder = m_tempFolder.endsWith(QLatin1Char('/')) ? m_tempFolder : m_tempFolder + QLatin1Char('/');
    for (;;) {
        QString name;
        for (int i = 0; i < 12; ++i)
            name += QLatin1Char(static_cast<char>('A' + letter(m_random)));
        const QString path = folder + name;
        if (!QFileInfo::exists(path))
            return path;
    }
}

void UndoHistory::imageChanged(const fipSuperImage& image)
{
    dropCopyAhead();
    // A copy ahead doubles the image in memory while it is viewed: only for images well
    // within the memory budget, and only in a program with an event loop.
    if (!image.isValid() || !QCoreApplication::instance()
        || static_cast<qint64>(image.getDIBSize()) > m_memoryBudget / 4)
        return;
    m_resting = &image;
    m_events->waitForRest();
}

void UndoHistory::startCopyAhead()
{
    if (!m_resting)
        return;
    m_ahead.emplace(bitmapOf(*m_resting));
    if (!m_ahead->isValid()) {
        dropCopyAhead();
        return;
    }
    m_events->copyWhenIdle();
}

void UndoHistory::copyAhead()
{
    // About 4 MiB per turn: a millisecond or two, so input and paints keep flowing.
    constexpr unsigned kBatchBytes = 4u << 20;
    if (!m_resting || !m_ahead) {
        m_events->stop();
        return;
    }
    const unsigned rows = std::max(1u, kBatchBytes / std::max(1u, m_ahead->lineBytes()));
    if (!m_ahead->copyRows(bitmapOf(*m_resting), rows))
        dropCopyAhead();  // the image changed shape under the copy without a word
    else if (m_ahead->isComplete())
        m_events->stop();
}

void UndoHistory::dropCopyAhead()
{
    m_events->stop();
    m_ahead.reset();
    m_resting = nullptr;
}

QByteArray UndoHistory::takeCopyAhead(const fipSuperImage& image)
{
    QByteArray bytes;
    // The image is about to change: a copy still being made is of no further use.
    if (m_resting == &image && m_ahead && m_ahead->matches(bitmapOf(image)))
        bytes = m_ahead->take();
    dropCopyAhead();
    return bytes;
}

std::unique_ptr<UndoSnapshot> UndoHistory::makeSnapshot(const fipSuperImage& image)
{
    QByteArray bytes = takeCopyAhead(image);
    if (bytes.isEmpty())
        bytes = image.copyToHandle();
    if (bytes.isEmpty())
        return nullptr;
    auto snapshot = std::make_unique<UndoSnapshot>();
    snapshot->size = static_cast<int>(bytes.size());
    snapshot->filePath = makeFileName();
    waitForWriter();
    // The writer owns the bytes from its start and drops them once they are on disk; when they
    // cannot be written they are kept for the window thread to take back.
    m_pending = PendingWrite{snapshot.get(), std::move(bytes), false};
    if (QCoreApplication::instance())
        m_events->requestWrite();
    else
        startWriter();
    return snapshot;
}

void UndoHistory::startWriter()
{
    if (!writeWaiting())
        return;
    m_writer = std::thread([this, folder = m_tempFolder, path = m_pending.snapshot->filePath] {
        if (path.isEmpty() || !QDir().mkpath(folder))
            return;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        const bool complete = file.write(m_pending.bytes) == m_pending.bytes.size() && file.flush();
        file.close();
        if (!complete || file.error() != QFileDevice::NoError) {
            file.remove();
            return;
        }
        m_pending.bytes = QByteArray();
        m_pending.written = true;
    });
}

std::unique_ptr<fipSuperImage> UndoHistory::restore(const UndoSnapshot& snapshot)
{
    // A state undone before its turn to be written is still all in memory.
    const bool unwritten = writeWaiting() && m_pending.snapshot == &snapshot;
    if (!unwritten)
        joinWriter();
    QByteArray bytes = unwritten ? m_pending.bytes : snapshot.memory;
    if (bytes.isEmpty()) {
        QFile file(snapshot.filePath);
        if (!file.open(QIODevice::ReadOnly))
            return nullptr;
        bytes = file.read(snapshot.size);
    }
    if (bytes.size() != snapshot.size)
        return nullptr;
    auto image = std::make_unique<fipSuperImage>();
    if (!image->copyFromHandle(bytes) || !image->isValid())
        return nullptr;
    return image;
}

void UndoHistory::freeSlot(int index)
{
    if (m_slots[index] && writeWaiting() && m_pending.snapshot == m_slots[index].get()) {
        m_pending = PendingWrite{};  // never written: there is no file
        m_slots[index].reset();
        return;
    }
    joinWriter();
    if (m_slots[index] && m_slots[index]->memory.isEmpty())
        QFile::remove(m_slots[index]->filePath);
    m_slots[index].reset();
}

void UndoHistory::clear()
{
    dropCopyAhead();
    if (writeWaiting())
        m_pending = PendingWrite{};
    joinWriter();
    for (auto& slot : m_slots) {
        if (slot && slot->memory.isEmpty())
            QFile::remove(slot->filePath);
        slot.reset();
    }
    m_position = 0;
}

bool UndoHistory::take(const fipSuperImage& image)
{
    if (m_position >= kSlotCount) {
        freeSlot(0);
        std::move(m_slots.begin() + 1, m_slots.end(), m_slots.begin());
        m_slots[kSlotCount - 1].reset();
        m_position = kSlotCount - 1;
    }
    for (int i = m_position; i < kSlotCount; ++i)
        freeSlot(i);
    auto snapshot = makeSnapshot(image);
    if (!snapshot)
        return false;
    m_slots[m_position++] = std::move(snapshot);
    trimToBudget();
    return true;
}

bool UndoHistory::swapWithSlot(int slot, fipSuperImage& current)
{
    std::unique_ptr<fipSuperImage> restored = restore(*m_slots[slot]);
    freeSlot(slot);
    if (!restored)
        return false;
    auto snapshot = makeSnapshot(current);
    if (!snapshot)
        return false;
    m_slots[slot] = std::move(snapshot);
    current = std::move(*restored);
    return true;
}

bool UndoHistory::undo(fipSuperImage& current)
{
    if (!current.isValid() || !canUndo())
        return false;
    --m_position;
    const bool swapped = swapWithSlot(m_position, current);
    trimToBudget();
    return swapped;
}

bool UndoHistory::redo(fipSuperImage& current)
{
    if (!current.isValid() || !canRedo())
        return false;
    if (!swapWithSlot(m_position, current))
        return false;
    ++m_position;
    trimToBudget();
    return true;
}
