#pragma once
// `PreloadSlot`: the next image, decoded ahead on a low-priority loader thread.
//
// The loader thread owns the slot's image, page count and display image from its start until
// it ends; the window thread reads them only after joining it or after seeing it finished.
#include "viewer/FileStamp.h"
#include "viewer/ImageLoading.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

class QObject;

struct PreloadedImage {
    LoadedImage loaded;
    // The image in the painter's format, made by the loader when nobody is waiting for it.
    QImage display;
    // The smooth reduction for a fixed fit (see `start`), made instead of `display`; its size
    // is the fitted one, so a view whose fit has changed since sees that it does not match.
    QImage reduced;
    // The file as it was when decoding began.
    FileStamp stamp;
};

// The device size of the reduced copy a loader makes for an image of the given size; empty
// when the image will be drawn without one.
using ReductionSize = std::function<QSize(QSize image)>;

// The decoding a loader thread does: the image, then (unless `someoneWaits` is set by then, or
// the decode was abandoned) the reduction `reduceTo` asks for, or else the painter's copy of
// an image the view cannot draw from the library's rows.
PreloadedImage loadForView(const QString& path, int page, const std::atomic<bool>* abandon,
                           const std::atomic<bool>* someoneWaits, const ReductionSize& reduceTo);

class PreloadSlot {
public:
    PreloadSlot() = default;
    PreloadSlot(const PreloadSlot&) = delete;
    PreloadSlot& operator=(const PreloadSlot&) = delete;
    ~PreloadSlot();

    // Starts loading `path`; posts `WM_PRELOAD_DONE` to `owner` (may be null) when done.
    // Waits for a previous thread first. Fails when the slot could not be freed. With a
    // `fitInside` size (device pixels) the loader also makes the reduced copy shown at that
    // fixed fit, so the window thread need not.
    bool start(const QString& path, int page, QObject* owner, QSize fitInside);
    // The same, with the reduction's size depending on the image's (a view's zoom type).
    bool start(const QString& path, int page, QObject* owner, ReductionSize reduceTo = {});
    // Waits without time limit for the loader thread, if any.
    void wait();
    // The same, telling the loader that the user is waiting: it skips the work that only
    // saves time later (the conversion for the painter and the reduced copy).
    void waitForImage();
    // Tells the loader that the user waits for its image without waiting here: it reports as
    // soon as the image is decoded, skipping the copies that only save time later.
    void hurry() { m_someoneWaits.store(true, std::memory_order_release); }
    // Tells a running loader that nobody wants its image any more: a JPEG decode stops early
    // and the slot ends up empty. The thread is still joined as usual.
    void abandon() { m_abandon.store(true, std::memory_order_relaxed); }
    bool hasThread() const { return m_thread.joinable(); }
    bool isRunning() const { return m_thread.joinable() && !m_finished.load(std::memory_order_acquire); }
    // `FreePreload`: fails (and keeps everything) while the thread is still loading.
    bool free();

    const QString& path() const { return m_path; }
    int page() const { return m_page; }
    // True once the thread has finished with an image for `path` and `page`.
    bool holds(const QString& path, int page) const;
    // Puts an image already in memory into the slot, as if it had been loaded: the image a
    // step back leaves, so the step forward again needs no decode. Fails while loading.
    bool put(const QString& path, int page, PreloadedImage image);
    // Hands over the finished image for `path`/`page` and empties the slot. A copy of a file
    // that was rewritten since it was read is dropped instead.
    std::optional<PreloadedImage> take(const QString& path, int page);
    // How many decodes this slot has started (for tests of "no second decode").
    int loadsStarted() const { return m_loadsStarted; }

private:
    std::thread m_thread;
    std::atomic<bool> m_finished{true};
    std::atomic<bool> m_someoneWaits{false};
    std::atomic<bool> m_abandon{false};
    QString m_path;
    int m_page = 0;
    QObject* m_owner = nullptr;
    PreloadedImage m_result;
    int m_loadsStarted = 0;
};
