#pragma once
// What the slide show computes without a window: where a slide goes on the screen, where the
// floating tool bar and its buttons sit, which picture a button shows, and where a show
// starts, steps and stops.
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

class ImageSequence;

namespace slideshow {

// Timer 1 hides the tool bar and the cursor after this long without a mouse move; timer 2
// shows the next slide after this long.
struct Timings {
    int hideMs = 2000;
    int advanceMs = 1500;
};

inline constexpr int kToolBarId = 163;
inline constexpr int kToolBarWidth = 173;
inline constexpr int kToolBarHeight = 31;
// The tool bar's top lies this far above the bottom of the screen.
inline constexpr int kToolBarBottomGap = 81;
inline constexpr unsigned kToolBarColor = 0xEDEDED;

enum ButtonId { ExitButton = 158, PreviousButton = 159, NextButton = 160, PlayButton = 161, PauseButton = 162 };

enum class Glyph { Play, Pause, Previous, Next, Exit };

struct SlideButton {
    int id;
    int left;   // first column
    int right;  // one past the last column
    const char* toolTip;
    Glyph glyph;
    bool hasDisabledLook;
};

inline constexpr std::array<SlideButton, 5> kButtons = {{
    {PlayButton, 0, 31, "Play slide show", Glyph::Play, true},
    {PauseButton, 32, 63, "Pause slide show", Glyph::Pause, true},
    {PreviousButton, 71, 102, "Previous slide", Glyph::Previous, true},
    {NextButton, 103, 134, "Next slide", Glyph::Next, true},
    {ExitButton, 142, 173, "Exit slide show", Glyph::Exit, false},
}};

// The two etched separators, as column ranges like the buttons'.
inline constexpr std::array<std::pair<int, int>, 2> kSeparators = {{{66, 68}, {137, 139}}};

QRect buttonRect(const SlideButton& button);
QRect separatorRect(int index);

// Where a slide of `image` pixels goes in a client area of `client` pixels: centred at its
// own size when it fits, else fitted with its aspect kept (integer arithmetic, so the same
// image always lands on the same pixels). Empty for an empty image.
QRect slideRect(QSize image, QSize client);

// The tool bar's place: centred, 81 pixels above the bottom. On a screen too small for it,
// it stays on the screen with its exit button reachable.
QRect toolBarRect(QSize client);

// The four pictures of a button, in the order a button looks for them.
enum class Look { Normal = 0, Pressed = 1, Hover = 2, Disabled = 3 };

struct LookInputs {
    bool enabled = true;
    bool hasDisabled = true;
    bool hasPressed = true;
    bool hasHover = true;
    bool latched = false;
    bool pressed = false;  // the left button went down on it and is still down
    bool hover = false;    // the mouse is over it
};
Look chooseLook(const LookInputs& in);

// Where a show from the thumbnail list starts: the first selected image, else the folder's
// first image; -1 when the folder holds none.
int startIndex(const ImageSequence& sequence, const std::function<bool(int)>& isSelected);

// What timer 2 does: the slide to show next, or -1 to pause (no wrap at the end).
int advanceTarget(const ImageSequence* sequence, int listIndex);

// The step buttons do something only when there is a slide in their direction.
struct StepStates {
    bool previous = false;
    bool next = false;
};
StepStates stepStates(const ImageSequence* sequence, int listIndex);

}  // namespace slideshow
