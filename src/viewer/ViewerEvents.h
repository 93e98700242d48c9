#pragma once
// Events the viewer's worker threads and deferred work post to `CImageView`.
#include <QEvent>

// A look-ahead load has finished (the slot's thread has ended or is about to).
inline constexpr QEvent::Type WM_PRELOAD_DONE = static_cast<QEvent::Type>(QEvent::User);
// A step's decode has finished (`StepDecoder`), or was dropped before it began.
inline constexpr QEvent::Type WM_STEP_DECODED = static_cast<QEvent::Type>(QEvent::User + 1151);
// Make the high-quality reduction that the last paint did without.
inline constexpr QEvent::Type WM_BUILD_DRAWING_CACHE = static_cast<QEvent::Type>(QEvent::User + 1150);
