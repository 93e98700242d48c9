#pragma once
// What the status bar shows, computed without a window: the slider's two mappings, the pane
// texts of each mode and how the panes share the bar's width.

#include <QDateTime>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace StatusBarModel {

// Slider position 0..100 <-> zoom factor: 0 is 7%, 50 is 100%, 100 is 1600%.
double zoomFromSlider(int position);
int sliderFromZoom(double zoom);
// Slider position 0..100 <-> thumbnail size 36..200.
int thumbnailSizeFromSlider(int position);
int sliderFromThumbnailSize(int size);

// The facts of browser mode, as the thumbnail list reports them.
struct BrowserFacts {
    int itemCount = 0;
    int selectedCount = 0;
    QString totalSizeText;     // size text of all files
    QString selectedSizeText;  // size text of the selected files
    bool hasFocusedItem = false;
    QString focusedName;       // the focused item's display name
    QString folderName;        // the folder's display name, used without a focused item
    QDateTime modified;        // the focused item's (or the folder's) last write; invalid when unknown
    QString focusedSizeText;
    int width = 0;  // the focused image's pixel size; 0 when unknown
    int height = 0;
};

// The facts of viewer mode with an image open.
struct ViewerFacts {
    int ordinal = 0;  // 1-based position among the folder's images
    int imageCount = 0;
    QString fileName;
    QString sizeText;
    int width = 0;
    int height = 0;
    int bpp = 0;
    // The file's own size when the image was opened reduced (a JPEG beyond the memory
    // budget); empty otherwise. The panes then give sizes and places in the file's pixels.
    QSize fullSize;
    int cursorX = 0;  // image pixels, already clamped to the image
    int cursorY = 0;
    std::optional<QSize> selection;
    double zoom = 1.0;
};

// Pane texts in order; an empty optional is a pane without content (disabled, width 0).
using Panes = std::vector<std::optional<QString>>;
Panes browserPanes(const BrowserFacts& facts);
Panes viewerPanes(const ViewerFacts& facts);
inline const QString kNoImages = QStringLiteral("No images");

// Widths of the panes filled left to right: each gets its text width, at most what is left of
// `available`; panes without content get 0.
std::vector<int> paneWidths(const std::vector<std::optional<int>>& textWidths, int available);

}  // namespace StatusBarModel
