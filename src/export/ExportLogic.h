#pragma once
// What the export dialogs compute, without a window: the size slider's steps, the size a
// photo gets, the formats offered and when the command applies.

#include <FreeImage.h>

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace ExportLogic {

inline constexpr int kSliderMax = 6;
inline constexpr int kDefaultSliderPosition = 3;
inline constexpr int kMinSide = 1;
inline constexpr int kMaxSide = 9999;

// 0 -> 320 … 6 -> 1600; positions outside 0..6 are clamped.
int sizeForSliderPosition(int position);
// The first step whose size reaches `size`; 6 beyond 1200.
int sliderPositionForSize(int size);
// The size edit's digits as a number; anything past 9999 counts as 10000.
int numberFromDigits(const QString& digits);
// The size edit's digits as the longer side, clamped to 1..9999 (empty counts as 0).
int maxSideFromText(const QString& digits);

// The longer side becomes `maxSide`, the other follows rounded to the nearest pixel (halves
// up) and is at least 1; smaller images are enlarged. `maxSide` 0 keeps the size.
QSize exportSize(QSize size, int maxSide);

struct FormatEntry {
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    QString text;  // "NAME - description"
};
// Every format the image library writes, in the library's order.
std::vector<FormatEntry> outputFormats();

// Selected items of which one at least is an image, or no selection and an image in the list.
bool isExportEnabled(int selectedItems, int selectedImages, int images);

// The list's side of an export: what is selected and what it holds.
struct ExportSources {
    QString folder;  // the list's current folder
    bool hasSelection = false;
    QStringList selectedImages;
    QStringList allImages;
};
// The selected images when something is selected, else every image of the list.
QStringList sourcesToExport(const ExportSources& sources);

}  // namespace ExportLogic
