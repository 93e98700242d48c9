#include "viewer/PreloadSlot.h"

#include "platform/ThreadPriority.h"
#include "viewer/ViewerEvents.h"
#include "viewer/ZoomGeometry.h"

#include <QCoreApplication>

PreloadSlot::~PreloadSlot()
{
    wait();
}

void PreloadSlot::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PreloadSlot::waitForImage()
{
    m_someoneWaits.store(true, std::memory_order_release);
    wait();
}

bool PreloadSlot::free()
{
    if (isRunning())
        return false;
    wait();
    m_result = PreloadedImage{};
    m_path.clear();
    m_page = 0;
    m_owner = nullptr;
    return true;
}

PreloadedImage loadForView(const QString& path, int page, const std::atomic<bool>* abandon,
                           const std::atomic<bool>* someoneWaits, const ReductionSize& reduceTo)
{
    PreloadedImage result;
    result.stamp = FileStamp::of(path);
    result.loaded = LoadImageFile(path, page, abandon);
    const fipSuperImage* image = result.loaded.image.get();
    auto stillWanted = [&] {
        return !(someoneWaits && someoneWaits->load(std::memory_order_acquire))
               && !(abandon && abandon->load(std::memory_order_relaxed));
    };
    if (!image || !stillWanted())
        return result;
    const QSize size(static_cast<int>(image->getWidth()), static_cast<int>(image->getHeight()));
    const QSize reduced = reduceTo ? reduceTo(size) : QSize();
    if (!reduced.isEmpty()) {
        // A reduced view needs only the reduced copy, never a full-size one.
        result.reduced = reducedDisplayImage(*image, {}, reduced);
    } else if (!drawnFromRows(*image)) {
        // Only images the view cannot draw from the library's rows need the copy.
        result.display = makeDisplayImage(*image);
    }
    return result;
}

bool PreloadSlot::start(const QString& path, int page, QObject* owner, QSize fitInside)
{
    ReductionSize reduceTo;
    if (!fitInside.isEmpty())
        reduceTo = [fitInside](QSize image) { return fitWithin(image, fitInside); };
    return start(path, page, owner, std::move(reduceTo));
}

bool PreloadSlot::start(const QString& path, int page, QObject* owner, ReductionSize reduceTo)
{
    wait();
    if (!free())
        return false;
    m_path = path;
    m_page = page;
    m_owner = owner;
    m_finished.store(false, std::memory_order_release);
    m_someoneWaits.store(false, std::memory_order_release);
    m_abandon.store(false, std::memory_order_relaxed);
    ++m_loadsStarted;
    m_thread = std::thread([this, path, page, owner, reduceTo = std::move(reduceTo)] {
        lowerThisThreadPriority();
        m_result = loadForView(path, page, &m_abandon, &m_someoneWaits, reduceTo);
        m_finished.store(true, std::memory_order_release);
        // The owner joins this thread before it is destroyed, so it is alive here.
        if (owner)
            QCoreApplication::postEvent(owner, new QEvent(WM_PRELOAD_DONE));
    });
    return true;
}

bool PreloadSlot::put(const QString& path, int page, PreloadedImage image)
{
    if (!free())
        return false;
    m_path = path;
    m_page = page;
    m_result = std::move(image);
    return true;
}

bool PreloadSlot::holds(const QString& path, int page) const
{
    return !isRunning() && m_result.loaded.image && !m_path.isEmpty() && m_path == path && m_page == page;
}

std::optional<PreloadedImage> PreloadSlot::take(const QString& path, int page)
{
    if (!holds(path, page))
        return std::nullopt;
    wait();
    if (FileStamp::of(path) != m_result.stamp) {
        free();
        return std::nullopt;
    }
    PreloadedImage taken = std::move(m_result);
    m_result = PreloadedImage{};
    m_path.clear();
    m_page = 0;
    return taken;
}
