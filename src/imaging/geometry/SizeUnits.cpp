#include "imaging/geometry/SizeUnits.h"

#include <FreeImagePlus.h>

#include <algorithm>
#include <cmath>

namespace SizeUnits {

int roundHalfAway(double value)
{
    if (!std::isfinite(value))
        return 0;
    // Values beyond int are invalid sizes anyway; clamping keeps the conversion defined.
    return static_cast<int>(std::clamp(std::round(value), -2.0e9, 2.0e9));
}

double dpiFromDotsPerCm(double dotsPerCm)
{
    const double dpi = dotsPerCm * kCmPerInch;
    return std::isfinite(dpi) && dpi >= 0.5 ? dpi : kFallbackDpi;
}

Source sourceOf(const fipImage& image)
{
    Source s;
    s.width = static_cast<int>(image.getWidth());
    s.height = static_cast<int>(image.getHeight());
    s.dpiX = dpiFromDotsPerCm(image.getHorizontalResolution());
    s.dpiY = dpiFromDotsPerCm(image.getVerticalResolution());
    return s;
}

double convertResolution(double value, ResolutionUnit to)
{
    return to == ResolutionUnit::PerInch ? roundHalfAway(value * 2540) * 0.001
                                         : roundHalfAway(value * 393.70078740157476) * 0.001;
}

double resolutionPerInch(double value, ResolutionUnit unit)
{
    return unit == ResolutionUnit::PerCm ? value * kCmPerInch : value;
}

double resizeFactor(const Source& source, double resolutionPerInch)
{
    return resolutionPerInch / std::min(source.dpiX, source.dpiY);
}

QSize resizePixels(const Source& source, double width, double height, Unit unit, double k)
{
    switch (unit) {
    case Unit::Pixels: return {roundHalfAway(width), roundHalfAway(height)};
    case Unit::Cm: width *= kInchesPerCm; height *= kInchesPerCm; [[fallthrough]];
    case Unit::Inches:
        return {roundHalfAway(k * source.dpiX * width), roundHalfAway(k * source.dpiY * height)};
    case Unit::Percent:
        return {roundHalfAway(source.width * width * 0.01), roundHalfAway(source.height * height * 0.01)};
    }
    return {};
}

namespace {

double percentOf(int pixels, int sourceSide)
{
    return sourceSide > 0 ? roundHalfAway(double(pixels) / sourceSide * 100 * 1000) * 0.001 : 0.0;
}

double inchesAt(int pixels, double dotsPerInch)
{
    return dotsPerInch > 0 ? roundHalfAway(pixels / dotsPerInch * 1000) * 0.001 : 0.0;
}

}  // namespace

double resizeUnitValue(const Source& source, int pixels, bool horizontal, Unit unit, double k)
{
    const double dpi = (horizontal ? source.dpiX : source.dpiY) * k;
    switch (unit) {
    case Unit::Pixels: return pixels;
    case Unit::Inches: return inchesAt(pixels, dpi);
    case Unit::Cm: return inchesAt(pixels, dpi) * kCmPerInch;
    case Unit::Percent: return percentOf(pixels, horizontal ? source.width : source.height);
    }
    return 0;
}

QSize canvasPixels(const Source& source, double width, double height, Unit unit)
{
    switch (unit) {
    case Unit::Pixels: return {roundHalfAway(width), roundHalfAway(height)};
    case Unit::Cm: width *= kInchesPerCm; height *= kInchesPerCm; [[fallthrough]];
    case Unit::Inches: return {roundHalfAway(width * source.dpiX), roundHalfAway(height * source.dpiY)};
    case Unit::Percent:
        return {roundHalfAway(source.width * width * 0.01), roundHalfAway(source.height * height * 0.01)};
    }
    return {};
}

double canvasUnitValue(const Source& source, int pixels, bool horizontal, Unit unit)
{
    return resizeUnitValue(source, pixels, horizontal, unit, 1.0);
}

QString formatValue(double value, Unit unit)
{
    if (unit == Unit::Pixels)
        return QString::number(roundHalfAway(value));
    return QString::asprintf("%.3f", value);
}

int heightForWidth(const Source& source, int width)
{
    if (source.width <= 0)
        return 1;
    return std::max(1, roundHalfAway(double(source.height) * width / source.width));
}

int widthForHeight(const Source& source, int height)
{
    if (source.height <= 0)
        return 1;
    return std::max(1, roundHalfAway(double(source.width) * height / source.height));
}

bool consistent(const Source& source, int width, int height)
{
    return height == heightForWidth(source, width) || width == widthForHeight(source, height);
}

bool validSide(int pixels)
{
    return pixels >= 1 && pixels <= kMaxSide;
}

}  // namespace SizeUnits
