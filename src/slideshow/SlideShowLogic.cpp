#include "slideshow/SlideShowLogic.h"

#include "viewer/ImageSequence.h"

#include <algorithm>

namespace slideshow {

namespace {

// Separators are inset from the bar's edges so the etched line reads as a divider.
constexpr int kSeparatorInset = 4;

}  // namespace

QRect buttonRect(const SlideButton& button)
{
    return QRect(button.left, 0, button.right - button.left, kToolBarHeight);
}

QRect separatorRect(int index)
{
    const auto& [left, right] = kSeparators.at(static_cast<std::size_t>(index));
    return QRect(left, kSeparatorInset, right - left, kToolBarHeight - 2 * kSeparatorInset);
}

QRect slideRect(QSize image, QSize client)
{
    // 64 bits: a photo's width times a screen's height overflows 32 bits for large photos.
    const long long w = image.width(), h = image.height();
    const long long W = std::max(client.width(), 0), H = std::max(client.height(), 0);
    if (w <= 0 || h <= 0)
        return {};
    if (W >= w && H >= h)
        return QRect(static_cast<int>((W - w) / 2), static_cast<int>((H - h) / 2), static_cast<int>(w),
                     static_cast<int>(h));
    if (h * W < w * H) {
        const long long fitted = h * W / w;
        return QRect(0, static_cast<int>((H - fitted) / 2), static_cast<int>(W), static_cast<int>(fitted));
    }
    const long long fitted = w * H / h;
    return QRect(static_cast<int>((W - fitted) / 2), 0, static_cast<int>(fitted), static_cast<int>(H));
}

QRect toolBarRect(QSize client)
{
    int x = (client.width() - kToolBarWidth) / 2;
    int y = client.height() - kToolBarBottomGap;
    // Too narrow: the right end (Exit) stays on the screen rather than both ends leaving it.
    if (x < 0)
        x = client.width() - kToolBarWidth;
    // Too low: the bar sits on the bottom edge, or at the top of a screen lower than itself.
    if (y < 0)
        y = std::max(client.height() - kToolBarHeight, 0);
    return QRect(x, y, kToolBarWidth, kToolBarHeight);
}

Look chooseLook(const LookInputs& in)
{
    if (!in.enabled && in.hasDisabled)
        return Look::Disabled;
    if ((in.latched || (in.pressed && in.hover)) && in.hasPressed)
        return Look::Pressed;
    if (in.hover && in.hasHover)
        return Look::Hover;
    return Look::Normal;
}

int startIndex(const ImageSequence& sequence, const std::function<bool(int)>& isSelected)
{
    const int first = sequence.nextImage(-1);
    // Walking the images alone keeps this linear in a folder of many other files.
    for (int i = first; i >= 0; i = sequence.nextImage(i))
        if (isSelected && isSelected(i))
            return i;
    return first;
}

int advanceTarget(const ImageSequence* sequence, int listIndex)
{
    return sequence ? sequence->nextImage(listIndex) : -1;
}

StepStates stepStates(const ImageSequence* sequence, int listIndex)
{
    if (!sequence)
        return {};
    return {sequence->previousImage(listIndex) != -1, sequence->nextImage(listIndex) != -1};
}

}  // namespace slideshow
