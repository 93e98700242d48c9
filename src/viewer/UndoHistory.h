#pragma once
// `UndoHistory`: up to 20 states of the viewed image, kept on disk in the temporary folder.
//
// A snapshot's bytes are handed to one writer thread, which writes them to a file named by
// 12 random capital letters and then releases them, so the history costs disk, not memory.
// The write starts only once the window thread has finished the change and its repaint (a
// posted event of the lowest priority), so it never competes with the operation for the
// processor or the memory bus; a state freed or restored before its write started never
// goes to disk. The window thread waits for a running writer before it frees, restores or
// starts a snapshot.
// Bytes the writer could not put on disk (a full disk, no temporary folder) come back and
// stay in memory, so that step can still be undone; the oldest states are dropped while
// those kept in memory exceed a budget.
//
// The copy a snapshot needs is the one cost left on the window thread. Once the image has
// been at rest for a moment, the history copies it ahead of time, a batch of rows per idle
// turn of the event loop; the next snapshot takes that copy when it still matches the image
// and copies only otherwise. The viewer tells the history of every change
// (`imageChanged`), which starts the wait again.
#include "imaging/ImageLibrary.h"
#include "imaging/fipSuperImage.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <random>
#include <thread>

struct UndoSnapshot {
    QString filePath;
    int size = 0;       // bytes of the packed image (`getDIBSize`)
    QByteArray memory;  // the bytes themselves when they could not be written
};

class UndoHistory {
public:
    static constexpr int kSlotCount = 20;

    // An empty folder keeps every state in memory.
    explicit UndoHistory(QString tempFolder);
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;
    ~UndoHistory();

    // Steps 1-3 of `TakeUndoSnapshot` for a valid image: drops the oldest state when full and
    // every redo state, then stores a snapshot. False when no snapshot could be made.
    bool take(const fipSuperImage& image);

    bool canUndo() const { return m_position > 0 && m_slots[m_position - 1]; }
    bool canRedo() const { return m_position < kSlotCount && m_slots[m_position]; }
    // Swap the current image with the neighbouring state. A step that fails leaves `current`
    // unchanged; its slot is freed (the state is lost, as its file is).
    bool undo(fipSuperImage& current);
    bool redo(fipSuperImage& current);

    // Deletes every state and its file.
    void clear();
    // `image` was shown or changed: its copy for the next snapshot is made once it has been at
    // rest for `kRestMs`. The image must outlive the history's next `take`, `clear` or
    // `imageChanged`.
    void imageChanged(const fipSuperImage& image);
    // Whether the copy ahead of the next snapshot is complete.
    bool copyAheadReady() const { return m_ahead && m_ahead->isComplete(); }
    static constexpr int kRestMs = 400;

    // Starts the newest snapshot's write if it is still waiting for its turn.
    void startWriter();
    // Starts a waiting write and waits until it has ended.
    void waitForWriter();

    int position() const { return m_position; }
    // Bytes the states kept in memory may take together; a quarter of the physical memory
    // unless set.
    void setMemoryBudget(qint64 bytes) { m_memoryBudget = bytes; }
    // The file of slot `index`, empty when the slot is empty.
    QString slotFile(int index) const;
    const QString& tempFolder() const { return m_tempFolder; }

private:
    class Events;

    std::unique_ptr<UndoSnapshot> makeSnapshot(const fipSuperImage& image);
    std::unique_ptr<fipSuperImage> restore(const UndoSnapshot& snapshot);
    bool swapWithSlot(int slot, fipSuperImage& current);
    void freeSlot(int index);
    void joinWriter();
    void copyAhead();
    void startCopyAhead();
    void dropCopyAhead();
    QByteArray takeCopyAhead(const fipSuperImage& image);
    bool writeWaiting() const { return m_pending.snapshot && !m_writer.joinable(); }
    QString makeFileName();
    qint64 memoryInUse() const;
    void trimToBudget();

    // What the writer thread works on; the window thread reads it only after joining it, or
    // while no writer runs.
    struct PendingWrite {
        UndoSnapshot* snapshot = nullptr;
        QByteArray bytes;
        bool written = false;
    };

    QString m_tempFolder;
    std::array<std::unique_ptr<UndoSnapshot>, kSlotCount> m_slots;
    int m_position = 0;
    std::thread m_writer;
    PendingWrite m_pending;
    qint64 m_memoryBudget;
    std::mt19937 m_random;
    // The image at rest and the copy of it being made ahead of its next snapshot.
    const fipSuperImage* m_resting = nullptr;
    std::optional<ImageLibrary::HandleBuilder> m_ahead;
    std::unique_ptr<Events> m_events;
};
