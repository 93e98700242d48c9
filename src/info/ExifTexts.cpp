#include "info/ExifTexts.h"

#include "info/PropertyItemSet.h"

#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

// The strip keeps texts of fixed capacities, the terminator included.
constexpr int kNameCapacity = 1000;
constexpr int kValueCapacity = 100;

enum Tag : uint16_t {
    Make = 271, Model = 272, Orientation = 274, XResolution = 282, YResolution = 283,
    ResolutionUnit = 296, Software = 305, DateTime = 306, YCbCrPositioning = 531,
    ExposureTime = 33434, FNumber = 33437, ExposureProgram = 34850, IsoSpeed = 34855,
    ExifVersion = 36864, DateTimeOriginal = 36867, DateTimeDigitized = 36868,
    ComponentsConfiguration = 37121, CompressedBpp = 37122, Aperture = 37378, Brightness = 37379,
    ExposureBias = 37380, MaxAperture = 37381, MeteringMode = 37383, LightSource = 37384,
    Flash = 37385, FocalLength = 37386, FlashPixVersion = 40960, ColorSpace = 40961,
    PixelXDimension = 40962, PixelYDimension = 40963, FocalPlaneXRes = 41486,
    FocalPlaneYRes = 41487, FocalPlaneResUnit = 41488, SensingMethod = 41495,
    FileSource = 41728, SceneType = 41729,
};

QString capped(const QString& text, int capacity)
{
    return text.left(capacity - 1);
}

QString fmt(const char* format, double v) { return QString::asprintf(format, v); }

const char* const kPrograms[] = {"Not defined", "Manual", "Normal program", "Aperture priority",
                                 "Shutter priority", "Creative program", "Action program",
                                 "Portrait mode", "Landscape mode"};

QString named(unsigned value, std::initializer_list<std::pair<unsigned, const char*>> names, const QString& other)
{
    for (const auto& [v, name] : names)
        if (v == value)
            return QString::fromLatin1(name);
    return other;
}

QString resolutionUnit(unsigned v) { return v == 2 ? QStringLiteral("Inch") : QStringLiteral("Centimeter"); }

}  // namespace

bool ExifTexts::isEmpty() const
{
    return make.isEmpty() && model.isEmpty() && exposureProgram.isEmpty() && exposureBias.isEmpty()
        && focalLength.isEmpty() && exposureTime.isEmpty() && aperture.isEmpty() && isoSpeed.isEmpty();
}

namespace exiftext {

bool hasExifExtension(const QString& path)
{
    static const QStringList kExtensions = {"bmp", "rle", "dib", "gif", "jpg", "jpeg", "jpe",
                                            "jif", "jfif", "jfi", "png", "tif", "tiff", "ico"};
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && kExtensions.contains(name.mid(dot + 1).toLower());
}

QString exposureTime(double seconds)
{
    if (seconds <= 0.5) {
        // A zero time has no reciprocal to show; it falls through to the plain seconds.
        const double reciprocal = std::round(1.0 / seconds);
        if (std::isfinite(reciprocal) && reciprocal <= std::numeric_limits<int>::max())
            return QString::asprintf("1/%d s", static_cast<int>(reciprocal));
    }
    return fmt("%.3f s", seconds);
}

QString exposureProgramName(unsigned program)
{
    return program < std::size(kPrograms) ? QString::fromLatin1(kPrograms[program]) : QStringLiteral("Reserved");
}

QString version(const QString& fourCharacters)
{
    QString v = fourCharacters.left(2) + QLatin1Char('.') + fourCharacters.mid(2, 2);
    while (v.startsWith(QLatin1Char('0')))
        v.remove(0, 1);
    while (v.endsWith(QLatin1Char('0')))
        v.chop(1);
    if (v.endsWith(QLatin1Char('.')))
        v += QLatin1Char('0');
    return v;
}

QString lightSourceName(unsigned v)
{
    if (v >= 25 && v <= 254)
        return QStringLiteral("Reserved");
    return named(v, {{0, "Unknown"}, {1, "Daylight"}, {2, "Flourescent"}, {3, "Tungsten (incandescent light)"},
                     {4, "Flash"}, {9, "Fine weather"}, {10, "Cloudy weather"}, {11, "Shade"},
                     {12, "Daylight fluorescent (D 5700 - 7100K)"}, {13, "Day white fluorescent (N 4600 - 5400K)"},
                     {14, "Cool white fluorescent (W 3900 - 4500K)"}, {15, "White fluorescent (WW 3200 - 3700K)"},
                     {17, "Standard light A"}, {18, "Standard light B"}, {19, "Standard light C"}, {20, "D55"},
                     {21, "D65"}, {22, "D75"}, {23, "D50"}, {24, "ISO studio tungsten"}, {255, "Other light source"}},
                 QStringLiteral("Unknown"));
}

QString flashName(unsigned v)
{
    return named(v, {{0, "Flash did not fire"}, {1, "Flash fired"}, {5, "Strobe return light not detected"},
                     {7, "Strobe return light detected"}, {9, "Flash fired, compulsory flash mode"},
                     {13, "Flash fired, compulsory flash mode, return light not detected"},
                     {15, "Flash fired, compulsory flash mode, return light detected"},
                     {16, "Flash did not fire, compulsory flash mode"}, {24, "Flash did not fire, auto mode"},
                     {25, "Flash fired, auto mode"}, {29, "Flash fired, auto mode, return light not detected"},
                     {31, "Flash fired, auto mode, return light detected"}, {32, "No flash function"},
                     {65, "Flash fired, red-eye reduction mode"},
                     {69, "Flash fired, red-eye reduction mode, return light not detected"},
                     {71, "Flash fired, red-eye reduction mode, return light detected"},
                     {73, "Flash fired, compulsory flash mode, red-eye reduction mode"},
                     {77, "Flash fired, compulsory flash mode, red-eye reduction mode, return light not detected"},
                     {79, "Flash fired, compulsory flash mode, red-eye reduction mode, return light detected"},
                     {89, "Flash fired, auto mode, red-eye reduction mode"},
                     {93, "Flash fired, auto mode, return light not detected, red-eye reduction mode"},
                     {95, "Flash fired, auto mode, return light detected, red-eye reduction mode"}},
                 QString());
}

QString meteringModeName(unsigned v)
{
    return named(v, {{0, "Unknown"}, {1, "Average"}, {2, "CenterWeightedAverage"}, {3, "Spot"}, {4, "MultiSpot"},
                     {5, "Pattern"}, {6, "Partial"}, {255, "Other"}},
                 QStringLiteral("Reserved"));
}

QString sensingMethodName(unsigned v)
{
    return named(v, {{1, "Not defined"}, {2, "One-chip color area sensor"}, {3, "Two-chip color area sensor"},
                     {4, "Three-chip color area sensor"}, {5, "Color sequential area sensor"}, {6, "Trilinear sensor"},
                     {7, "Color sequential linear sensor"}},
                 QStringLiteral("Reserved"));
}

ExifTexts fromProperties(const PropertyItemSet& set)
{
    ExifTexts t;
    if (const PropertyItem* p = set.Find(Make))
        t.make = capped(p->text(), kNameCapacity);
    if (const PropertyItem* p = set.Find(Model))
        t.model = capped(p->text(), kNameCapacity);
    if (const PropertyItem* p = set.Find(ExposureProgram); p && p->uint16At())
        t.exposureProgram = exposureProgramName(*p->uint16At());
    if (const PropertyItem* p = set.Find(ExposureBias); p && p->srational())
        t.exposureBias = capped(fmt("%.2f eV", *p->srational()), kValueCapacity);
    if (const PropertyItem* p = set.Find(FocalLength); p && p->rational())
        t.focalLength = capped(fmt("%.1f mm", *p->rational()), kValueCapacity);
    if (const PropertyItem* p = set.Find(ExposureTime); p && p->rational())
        t.exposureTime = capped(exposureTime(*p->rational()), kValueCapacity);
    if (const PropertyItem* p = set.Find(FNumber); p && p->rational())
        t.aperture = capped(fmt("f/%.1f", *p->rational()), kValueCapacity);
    if (const PropertyItem* p = set.Find(IsoSpeed); p && p->uint16At())
        t.isoSpeed = QString::number(*p->uint16At());
    return t;
}

ExifTexts forFile(const QString& path)
{
    if (path.isEmpty() || !hasExifExtension(path))
        return {};
    PropertyItemSet set;
    if (!set.Load(path))
        return {};
    return fromProperties(set);
}

std::vector<Row> propertyRows(const PropertyItemSet& set)
{
    std::vector<Row> rows;
    const auto add = [&](const char* label, uint16_t tag, auto&& text) {
        if (const PropertyItem* p = set.Find(tag))
            rows.emplace_back(QString::fromLatin1(label), text(*p));
    };
    const auto separator = [&] { rows.emplace_back(QString(), QString()); };
    const auto asText = [](const PropertyItem& p) { return p.text(); };
    const auto date = [](const PropertyItem& p) { return p.text().left(20); };
    const auto u16 = [](const PropertyItem& p) { return p.uint16At().value_or(0); };
    const auto rational = [](const char* format) {
        return [format](const PropertyItem& p) { return p.rational() ? fmt(format, *p.rational()) : QString(); };
    };
    const auto srational = [](const char* format) {
        return [format](const PropertyItem& p) { return p.srational() ? fmt(format, *p.srational()) : QString(); };
    };
    const auto byteValue = [](const PropertyItem& p) { return static_cast<unsigned>(p.byteAt().value_or(0)); };
    const auto dimension = [](const PropertyItem& p) {
        const auto v = p.type == 3 ? std::optional<uint32_t>(p.uint16At()) : p.uint32At();
        return v ? QString::number(static_cast<int>(*v)) : QString();
    };
    const auto versionText = [](const PropertyItem& p) {
        QString four;
        for (size_t i = 0; i < 4 && i < p.value.size(); ++i)
            four += QChar::fromLatin1(static_cast<char>(p.value[i]));
        return version(four);
    };

    add("Camera make", Make, asText);
    add("Camera model", Model, asText);
    add("Orientation", Orientation, [&](const PropertyItem& p) {
        static const char* const kNames[] = {"Top left", "Top right", "Bottom right", "Bottom left",
                                             "Left top", "Right top", "Right bottom", "Left bottom"};
        const unsigned v = u16(p);
        return v >= 1 && v <= 8 ? QString::fromLatin1(kNames[v - 1]) : QString();
    });
    add("X resolution", XResolution, rational("%.1f"));
    add("Y resolution", YResolution, rational("%.1f"));
    add("Resolution unit", ResolutionUnit, [&](const PropertyItem& p) { return resolutionUnit(u16(p)); });
    add("Software", Software, asText);
    add("Date/time", DateTime, date);
    add("YCbCr Positioning", YCbCrPositioning, [&](const PropertyItem& p) {
        return named(u16(p), {{1, "Centered"}, {2, "Cosited"}}, QString::number(u16(p)));
    });
    separator();
    add("Exposure time", ExposureTime,
        [](const PropertyItem& p) { return p.rational() ? exposureTime(*p.rational()) : QString(); });
    add("F-number", FNumber, rational("f/%.1f"));
    add("Exposure program", ExposureProgram, [&](const PropertyItem& p) { return exposureProgramName(u16(p)); });
    add("ISO speed", IsoSpeed, [&](const PropertyItem& p) { return QString::number(u16(p)); });
    add("Date/time original", DateTimeOriginal, date);
    add("Date/time digitized", DateTimeDigitized, date);
    add("Components configuration", ComponentsConfiguration, [](const PropertyItem& p) {
        static const char* const kNames[] = {"Y", "Cb", "Cr", "R", "G", "B"};
        QString text;
        for (size_t i = 0; i < 4 && i < p.value.size(); ++i)
            if (p.value[i] >= 1 && p.value[i] <= 6)
                text += QString::fromLatin1(kNames[p.value[i] - 1]);
        return text;
    });
    add("Compressed BPP", CompressedBpp, [](const PropertyItem& p) {
        const auto v = p.rational();
        return v && std::isfinite(*v) && std::abs(*v) < 2e9 ? QString::number(static_cast<int>(std::floor(*v + 0.5)))
                                                            : QString();
    });
    add("Aperture", Aperture, rational("f/%.1f"));
    add("Brightness", Brightness, srational("%.2f"));
    add("Exposure bias", ExposureBias, srational("%.2f eV"));
    add("Max aperture", MaxAperture, rational("f/%.1f"));
    add("Metering mode", MeteringMode, [&](const PropertyItem& p) { return meteringModeName(u16(p)); });
    add("Light source", LightSource, [&](const PropertyItem& p) { return lightSourceName(u16(p)); });
    add("Flash", Flash, [&](const PropertyItem& p) { return flashName(u16(p)); });
    add("Focal length", FocalLength, rational("%.1f mm"));
    add("Color space", ColorSpace, [&](const PropertyItem& p) {
        return named(u16(p), {{1, "sRGB"}, {65535, "Uncalibrated"}}, QStringLiteral("Reserved"));
    });
    add("Pixel X dimention", PixelXDimension, dimension);
    add("Pixel Y dimention", PixelYDimension, dimension);
    add("Focal plane X res", FocalPlaneXRes, rational("%.1f"));
    add("Focal plane Y res", FocalPlaneYRes, rational("%.1f"));
    add("Focal plane resolution unit", FocalPlaneResUnit, [&](const PropertyItem& p) { return resolutionUnit(u16(p)); });
    add("Sensing method", SensingMethod, [&](const PropertyItem& p) { return sensingMethodName(u16(p)); });
    add("Scene type", SceneType, [&](const PropertyItem& p) {
        return byteValue(p) == 1 ? QStringLiteral("Directly photographed") : QString::number(byteValue(p));
    });
    separator();
    add("Exif version", ExifVersion, versionText);
    add("FlashPix version", FlashPixVersion, versionText);
    add("File source", FileSource, [&](const PropertyItem& p) {
        return byteValue(p) == 3 ? QStringLiteral("DSC") : QString::number(byteValue(p));
    });
    return rows;
}

}  // namespace exiftext
