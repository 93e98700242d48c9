#pragma once
// The buttons of the browser and viewer tool bars, and their pictures: "tool bar.png" in the
// program folder holds every button image twice, the normal ones in its left half and the
// brighter "hot" ones (under the mouse) in its right half, 24 by 24 each, image n at x = 24·n.

#include "frame/Menus.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>

#include <vector>

class QToolBar;

namespace toolbar {

enum class ButtonStyle {
    Button,
    DropDown,       // a button with an arrow beside it that drops a menu
    WholeDropDown,  // the whole button drops a menu; it has no command of its own
    Separator,
};

struct Button {
    int command;  // 0 for separators
    int image;    // -1 for separators
    ButtonStyle style;
};

constexpr int kImageSize = 24;
constexpr int kImageCount = 35;  // images the two tool bars use, 0..34

const std::vector<Button>& browserButtons();
const std::vector<Button>& viewerButtons();

// The normal and hot images of the picture; both lists are empty when it cannot be read.
struct Images {
    QList<QImage> normal;
    QList<QImage> hot;
    // The same images at twice the size for screens of double density ("tool bar@2x.png");
    // empty without that picture.
    QList<QImage> normal2x;
    QList<QImage> hot2x;

    bool isEmpty() const { return normal.isEmpty(); }
    int count() const { return static_cast<int>(normal.size()); }
    // An icon showing the normal image, and the hot one while the mouse is over the button;
    // a null icon for an index without an image.
    QIcon icon(int index) const;
};

// The button's tool tip, status text and accessible name: its menu text without mnemonics
// and key.
QString buttonName(int command);

QString picturePath(const QString& programFolder);
// Cuts the picture's top 24 rows into its halves; width / 48 images in each. The picture of
// double density beside it ("tool bar@2x.png", 48 rows, width / 96 images) is read too.
Images loadPicture(const QString& path);

// Adds the buttons to the tool bar: each command's shared action (a button that has none is
// shown disabled), its image when there is one, and for the drop-down styles the menu that
// Menus.h finds for the button. Returns the number of buttons added (separators excluded).
int populate(QToolBar* bar, const std::vector<Button>& buttons, const menus::ActionLookup& actionFor,
             const Images& images);

}  // namespace toolbar
