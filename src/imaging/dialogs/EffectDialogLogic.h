#pragma once
// The numbers behind the effect dialogs, callable without a window: reading and clamping the
// edits, the bounds that follow the preview's size, the conversion of a value chosen on the
// preview to the source image's scale, the colour-balance gammas and the colorize presets.
#include <QColor>
#include <QString>

#include <array>

namespace effectdlg {

// Halves away from zero.
int roundHalfAway(double value);
// The integer an edit holds: an optional sign, then the leading digits of at most `maxChars`
// characters; anything else ends the number (an empty text is 0). Saturates instead of
// overflowing.
long long readInteger(const QString& text, int maxChars = 1000);
// A decimal number (the gamma edit); 0 when the text does not start with one.
double readDecimal(const QString& text);
int clampValue(long long value, int lower, int upper);

// Upper bounds that shrink with a small preview: `cap`, or the smaller preview side less one
// when that side is `cap` or less (Average Blur 20, Mosaic 50), never below `lower`.
int previewLimitedMax(int previewWidth, int previewHeight, int cap, int lower);
// Wind: 50, or the preview width less one when the preview is 50 or less wide.
int windMax(int previewWidth);
// A value chosen on the preview in the source image's scale: round(value × source width ÷
// preview width), at least `minimum`; 0 without a source or with a zero width.
int scaleToSource(int value, int sourceWidth, int previewWidth, int minimum);

// A colour-balance value -100..100 as the gamma of its channel, 0.01..6.99.
double colorBalanceGamma(int balance);
// The gamma edit's text for a slider position 1..699 ("1.00" for 100).
QString gammaText(int position);

struct ColorizePreset {
    const char* name;
    QColor color;  // invalid for "Custom"
};
constexpr int kColorizeCustom = 18;
const std::array<ColorizePreset, 19>& colorizePresets();

}  // namespace effectdlg
