#include "imaging/dialogs/EffectDialogLogic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace effectdlg {

int roundHalfAway(double value)
{
    return static_cast<int>(std::lround(value));  // lround rounds halves away from zero
}

long long readInteger(const QString& text, int maxChars)
{
    const QString s = text.left(std::max(0, maxChars)).trimmed();
    int i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    constexpr long long kLimit = std::numeric_limits<int>::max();
    long long value = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
        value = std::min(kLimit, value * 10 + (s[i].unicode() - u'0'));
    return negative ? -value : value;
}

double readDecimal(const QString& text)
{
    // The longest prefix that reads as a number, as the C library's strtod would take it.
    const QString s = text.trimmed();
    for (qsizetype n = s.size(); n > 0; --n) {
        bool ok = false;
        const double v = s.left(n).toDouble(&ok);
        if (ok && std::isfinite(v))
            return v;
    }
    return 0;
}

int clampValue(long long value, int lower, int upper)
{
    return static_cast<int>(std::clamp<long long>(value, lower, std::max(lower, upper)));
}

int previewLimitedMax(int previewWidth, int previewHeight, int cap, int lower)
{
    const int side = std::min(previewWidth, previewHeight);
    const int upper = side <= cap ? side - 1 : cap;
    return std::max(lower, upper);
}

int windMax(int previewWidth)
{
    return std::max(1, previewWidth <= 50 ? previewWidth - 1 : 50);
}

int scaleToSource(int value, int sourceWidth, int previewWidth, int minimum)
{
    if (sourceWidth <= 0 || previewWidth <= 0)
        return 0;
    return std::max(minimum, roundHalfAway(static_cast<double>(value) * sourceWidth / previewWidth));
}

double colorBalanceGamma(int balance)
{
    const double g = balance >= 0 ? (1 + balance * 0.0599) * 100 : (1 - std::abs(balance) * 0.0099) * 100;
    return std::clamp(roundHalfAway(g) / 100.0, 0.01, 6.99);
}

QString gammaText(int position)
{
    return QString::asprintf("%.2f", position * 0.01);
}

const std::array<ColorizePreset, 19>& colorizePresets()
{
    static const std::array<ColorizePreset, 19> presets = {{
        {"Warming Filter (85)", QColor(235, 138, 0)},
        {"Warming Filter (81)", QColor(235, 177, 19)},
        {"Cooling Filter (80)", QColor(0, 109, 255)},
        {"Cooling Filter (82)", QColor(0, 181, 255)},
        {"Red", QColor(234, 26, 26)},
        {"Orange", QColor(243, 132, 23)},
        {"Yellow", QColor(249, 227, 28)},
        {"Green", QColor(25, 201, 25)},
        {"Cyan", QColor(29, 203, 234)},
        {"Blue", QColor(29, 53, 234)},
        {"Violet", QColor(155, 29, 234)},
        {"Magenta", QColor(227, 24, 227)},
        {"Sepia", QColor(172, 122, 51)},
        {"Deep Red", QColor(255, 0, 0)},
        {"Deep Blue", QColor(0, 34, 205)},
        {"Deep Emerald", QColor(0, 141, 0)},
        {"Deep Yellow", QColor(255, 213, 0)},
        {"Under Water", QColor(0, 194, 177)},
        {"Custom", QColor()},
    }};
    return presets;
}

}  // namespace effectdlg
