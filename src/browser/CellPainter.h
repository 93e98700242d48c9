#pragma once
// How one thumbnail cell looks: picture, frame, state band, shortcut overlay and label strip.
// Pure drawing on a QPainter from plain inputs, so cells can be compared pixel by pixel.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class fipSuperImage;
class QPainter;

namespace CellColors {
inline const QColor Background(138, 138, 138);
inline const QColor SelectedFocused(80, 79, 100);
inline const QColor SelectedUnfocused(115, 115, 120);
inline const QColor UnselectedOutline(200, 200, 200);
inline const QColor FocusLight(220, 220, 220);
inline const QColor FocusDark(0, 0, 0);
inline const QColor Text(255, 255, 255);
}  // namespace CellColors

QFont cellFont();  // "Tahoma" 8.5 point

struct CellInput {
    QSize cell;                              // W × H
    QSize thumbBox;                          // the thumbnail width × height setting
    qreal deviceScale = 1;                   // device pixels a cell pixel; thumbnails are made at it
    const fipSuperImage* thumbnail = nullptr;  // null or invalid: none
    int fullWidth = 0;
    int fullHeight = 0;
    const QImage* folderPicture = nullptr;   // already scaled to the thumbnail box
    const QImage* icon = nullptr;            // the item's icon at its own size
    const QImage* shortcutOverlay = nullptr; // drawn 32 × 32
    bool browsableFolder = false;
    bool shortcut = false;
    bool selected = false;
    bool listHasFocus = false;
    bool focused = false;
    bool editing = false;                    // the label is being renamed: no strip
    QString label;
};

QColor stateColor(bool selected, bool listHasFocus);

// The size a thumbnail is drawn at in the cell (may differ from its own size after the
// thumbnail setting changed; the list then asks for a new one).
QSize drawnThumbnailSize(QSize thumbnail, QSize thumbBox, int fullWidth, int fullHeight);

struct CellPaintResult {
    QRect picture;        // where the picture went, in cell coordinates
    bool wantsNewThumbnail = false;  // the thumbnail was drawn at another width than its own
};

// Paints the cell with its top-left corner at the painter's origin.
CellPaintResult paintCell(QPainter& painter, const CellInput& input);

// The message the empty list shows.
inline constexpr const char* kEmptyFolderText = "There are no items in selected folder.";
void paintEmptyText(QPainter& painter, const QRect& client);

// Our folder picture (the list scales it to the thumbnail box) and the shortcut overlay.
QImage makeFolderPicture();
QImage makeShortcutOverlay(qreal ratio = 1);
