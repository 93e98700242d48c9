#pragma once
// The arithmetic of the size dialogs: sizes in pixels, inches, centimetres and percent, the
// resolution in pixels per inch or per centimetre, and the keep-aspect rule.

#include <QSize>
#include <QString>

class fipImage;

namespace SizeUnits {

enum class Unit { Pixels = 0, Inches = 1, Cm = 2, Percent = 3 };
enum class ResolutionUnit { PerInch = 0, PerCm = 1 };

inline constexpr double kInchesPerCm = 0.39370078740157477;
inline constexpr double kCmPerInch = 2.54;
// What an image without a stored resolution is taken to have, so no conversion divides by 0.
inline constexpr double kFallbackDpi = 72.0;
inline constexpr int kMaxSide = 9999;

// Rounds to the nearest integer with halves away from zero.
int roundHalfAway(double value);

// The image as the dialogs see it: pixel size and dots per inch on each axis.
struct Source {
    int width = 0;
    int height = 0;
    double dpiX = kFallbackDpi;
    double dpiY = kFallbackDpi;
};
Source sourceOf(const fipImage& image);
// Dots per inch from the library's dots per centimetre; 0, negative or absurd values fall back.
double dpiFromDotsPerCm(double dotsPerCm);

// Resolution value converted when its unit changes.
double convertResolution(double value, ResolutionUnit to);
// The resolution in pixels per inch.
double resolutionPerInch(double value, ResolutionUnit unit);

// The resize dialog's scale from the source's resolution to the chosen one (k).
double resizeFactor(const Source& source, double resolutionPerInch);
// The pixel size of a width and height typed in `unit` (the resize dialog's rules).
QSize resizePixels(const Source& source, double width, double height, Unit unit, double k);
// A pixel count written back in `unit` on one axis (the resize dialog's rules).
double resizeUnitValue(const Source& source, int pixels, bool horizontal, Unit unit, double k);

// The same for the canvas dialog, which uses the source's resolution as it is.
QSize canvasPixels(const Source& source, double width, double height, Unit unit);
double canvasUnitValue(const Source& source, int pixels, bool horizontal, Unit unit);

// The text an edit shows for a value: "%d" of the rounded pixels, else "%.3f".
QString formatValue(double value, Unit unit);

// The keep-aspect rule: one side derived from the other.
int heightForWidth(const Source& source, int width);
int widthForHeight(const Source& source, int height);
bool consistent(const Source& source, int width, int height);

bool validSide(int pixels);

}  // namespace SizeUnits
