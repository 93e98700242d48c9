#include "controls/ColorPalette.h"

#include <algorithm>

namespace ColorPalette {

const std::array<NamedColor, kCellCount>& colors()
{
    static constexpr std::array<NamedColor, kCellCount> table{{
        {"Black", 0x000000},          {"Brown", 0xA52A00},          {"Dark Olive Green", 0x004040},
        {"Dark Green", 0x005500},     {"Dark Teal", 0x00005E},      {"Dark blue", 0x00008B},
        {"Indigo", 0x4B0082},         {"Dark grey", 0x282828},      {"Dark red", 0x8B0000},
        {"Orange", 0xFF6820},         {"Dark yellow", 0x8B8B00},    {"Green", 0x009300},
        {"Teal", 0x388E8E},           {"Blue", 0x0000FF},           {"Blue-grey", 0x7B7BC0},
        {"Grey - 40", 0x666666},      {"Red", 0xFF0000},            {"Light orange", 0xFFAD5B},
        {"Lime", 0x32CD32},           {"Sea green", 0x3CB371},      {"Aqua", 0x7FFFD4},
        {"Light blue", 0x7D9EC0},     {"Violet", 0x800080},         {"Grey - 50", 0x7F7F7F},
        {"Pink", 0xFFC0CB},           {"Gold", 0xFFD700},           {"Yellow", 0xFFFF00},
        {"Bright green", 0x00FF00},   {"Turquoise", 0x40E0D0},      {"Skyblue", 0xC0FFFF},
        {"Plum", 0x480048},           {"Light grey", 0xC0C0C0},     {"Rose", 0xFFE4E1},
        {"Tan", 0xD2B48C},            {"Light yellow", 0xFFFFE0},   {"Pale green ", 0x98FB98},
        {"Pale turquoise", 0xAFEEEE}, {"Pale blue", 0x68838B},      {"Lavender", 0xE6E6FA},
        {"White", 0xFFFFFF},
    }};
    return table;
}

int chosenIndex(ColorValue color, Boxes boxes)
{
    const auto& table = colors();
    for (int i = 0; i < kCellCount; ++i)
        if (table[std::size_t(i)].color == color)
            return i;
    if (color == kAutomaticColor && boxes.automatic)
        return kAutomaticBox;
    return boxes.more ? kMoreBox : kNone;
}

namespace {

constexpr int kLast = kCellCount - 1;
constexpr int kLastRowStart = (kRows - 1) * kColumns;

// The box past the top of the grid, else the one past the bottom, else `fallback`.
int topBox(Boxes b, int fallback)
{
    return b.automatic ? kAutomaticBox : b.more ? kMoreBox : fallback;
}
int bottomBox(Boxes b, int fallback)
{
    return b.more ? kMoreBox : b.automatic ? kAutomaticBox : fallback;
}

}  // namespace

int move(int hot, Arrow arrow, Boxes boxes)
{
    switch (arrow) {
    case Arrow::Right:
        if (hot == kAutomaticBox || hot == kNone)
            return 0;
        if (hot == kMoreBox)
            return topBox(boxes, 0) == kMoreBox ? 0 : topBox(boxes, 0);
        return hot < kLast ? hot + 1 : bottomBox(boxes, 0);
    case Arrow::Left:
        if (hot == kMoreBox || hot == kNone)
            return kLast;
        if (hot == kAutomaticBox)
            return bottomBox(boxes, kLast) == kAutomaticBox ? kLast : bottomBox(boxes, kLast);
        return hot > 0 ? hot - 1 : topBox(boxes, kLast);
    case Arrow::Down:
        if (hot == kAutomaticBox || hot == kNone)
            return 0;
        if (hot == kMoreBox)
            return topBox(boxes, 0) == kMoreBox ? 0 : topBox(boxes, 0);
        if (hot + kColumns <= kLast)
            return hot + kColumns;
        return bottomBox(boxes, hot % kColumns);
    case Arrow::Up:
        if (hot == kMoreBox || hot == kNone)
            return kLastRowStart;
        if (hot == kAutomaticBox)
            return bottomBox(boxes, kLastRowStart) == kAutomaticBox ? kLastRowStart
                                                                    : bottomBox(boxes, kLastRowStart);
        if (hot - kColumns >= 0)
            return hot - kColumns;
        return topBox(boxes, std::min(kLastRowStart + hot, kLast));
    }
    return hot;
}

QPoint place(const QRect& button, QSize popup, const QRect& screen)
{
    QPoint at(button.left(), button.bottom() + 1);
    if (at.x() + popup.width() > screen.right() + 1)
        at.setX(screen.right() + 1 - popup.width());
    if (at.x() < screen.left())
        at.setX(screen.left());
    if (at.y() + popup.height() > screen.bottom() + 1)
        at.setY(button.top() - popup.height());
    // A screen too short for the palette below and above the button keeps its top edge on it.
    if (at.y() < screen.top())
        at.setY(screen.top());
    return at;
}

}  // namespace ColorPalette
