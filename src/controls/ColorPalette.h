#pragma once
// What the colour picker's palette computes without a window: its colour table, which cell a
// colour opens on, the arrow keys' moves and where the popup goes on the screen.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>

// Red, green and blue in the low three bytes (0x00RRGGBB); kAutomaticColor is the marker for
// "Automatic", whose colour bytes are 0.
using ColorValue = std::uint32_t;
inline constexpr ColorValue kAutomaticColor = 0xFF000000u;

namespace ColorPalette {

struct NamedColor {
    const char* name;
    ColorValue color;
};

inline constexpr int kColumns = 8;
inline constexpr int kCellCount = 40;
inline constexpr int kRows = (kCellCount + kColumns - 1) / kColumns;
// Indexes beside the cells 0..39.
inline constexpr int kNone = -1;
inline constexpr int kMoreBox = -2;
inline constexpr int kAutomaticBox = -3;

const std::array<NamedColor, kCellCount>& colors();

// Which boxes the palette shows (an empty text hides its box).
struct Boxes {
    bool automatic = true;
    bool more = true;
};

// The index a palette opens with for the button's colour.
int chosenIndex(ColorValue color, Boxes boxes);

enum class Arrow { Left, Right, Up, Down };
// The hot index after an arrow key.
int move(int hot, Arrow arrow, Boxes boxes);

// Top-left corner of a popup of `popup` size opened under `button` (screen coordinates), kept
// inside `screen`: shifted left at the right edge, right at the left edge, above the button at
// the bottom edge.
QPoint place(const QRect& button, QSize popup, const QRect& screen);

inline int red(ColorValue c) { return int((c >> 16) & 0xFF); }
inline int green(ColorValue c) { return int((c >> 8) & 0xFF); }
inline int blue(ColorValue c) { return int(c & 0xFF); }
inline ColorValue rgb(int r, int g, int b)
{
    return (ColorValue(r & 0xFF) << 16) | (ColorValue(g & 0xFF) << 8) | ColorValue(b & 0xFF);
}

}  // namespace ColorPalette
