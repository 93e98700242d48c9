#pragma once
// The list's private posted events, numbered as the window messages they stand for.

#include "imaging/fipSuperImage.h"

#include <QByteArray>
#include <QEvent>

inline constexpr auto WM_WALLPAPER_DONE = static_cast<QEvent::Type>(QEvent::User + 100);
inline constexpr auto WM_THUMBNAIL_READY = static_cast<QEvent::Type>(QEvent::User + 101);
inline constexpr auto WM_EDIT_LABEL = static_cast<QEvent::Type>(QEvent::User + 102);
inline constexpr auto WM_FOLDER_CHANGED = static_cast<QEvent::Type>(QEvent::User + 104);

// A thumbnail the loader made (or failed to make) for the item with `path`. The picture
// travels inside the event, so the window thread is the only one that ever touches records.
class ThumbnailReadyEvent : public QEvent {
public:
    ThumbnailReadyEvent() : QEvent(WM_THUMBNAIL_READY) {}
    QByteArray path;
    std::uint64_t generation = 0;
    fipSuperImage image;  // invalid when no route could read the file
    int fullWidth = 0;
    int fullHeight = 0;
};

class EditLabelEvent : public QEvent {
public:
    explicit EditLabelEvent(int index) : QEvent(WM_EDIT_LABEL), index(index) {}
    int index;
};
