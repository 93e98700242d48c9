#pragma once
// The information panels' posted events, numbered as the window messages they stand for.

#include "info/HistogramLogic.h"

#include <QEvent>

#include <cstdint>
#include <optional>

inline constexpr auto WM_HISTOGRAM_START = static_cast<QEvent::Type>(QEvent::User + 114);
inline constexpr auto WM_HISTOGRAM_DONE = static_cast<QEvent::Type>(QEvent::User + 115);
inline constexpr auto WM_FOLDER_SIZE_DONE = static_cast<QEvent::Type>(QEvent::User + 160);

// The worker's run is over; its counts travel inside the event, so only the window thread
// ever reads or writes the panel's arrays. No counts: nothing could be made of the file.
class HistogramDoneEvent : public QEvent {
public:
    HistogramDoneEvent(uint64_t generation, std::optional<histogram::PanelData> data)
        : QEvent(WM_HISTOGRAM_DONE), generation(generation), data(std::move(data)) {}
    uint64_t generation;
    std::optional<histogram::PanelData> data;
};

class FolderSizeEvent : public QEvent {
public:
    FolderSizeEvent(uint64_t generation, uint64_t size)
        : QEvent(WM_FOLDER_SIZE_DONE), generation(generation), size(size) {}
    uint64_t generation;
    uint64_t size;
};
