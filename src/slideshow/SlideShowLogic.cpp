#include "slideshow/SlideShowLogic.h"

#include "viewer/ImageSequence.h"
#include "viewer/ZoomGeometry.h"

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
    if (image.isEmpty())
        return {};
    const QSize fitted = fitWithin(image, client);
    return QRect((std::max(client.width(), 0) - fitted.width()) / 2, (std::max(client.height(), 0) - fitted.height()) / 2,
                 fitted.width(), fitted.height());
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
