#include "viewer/ZoomSettings.h"

#include "app/ProfileFile.h"

#include <cstdlib>

namespace {
const QString kSection = QStringLiteral("ZoomInfo");
}

double correctedZoomLevel(double level)
{
    if (!(level > 0))
        return 0.01;
    return level > kMaxZoom ? kMaxZoom : level;
}

ZoomInfo readZoomInfo(const ProfileFile& profile)
{
    ZoomInfo info;
    const int type = profile.getInt(kSection, QStringLiteral("ZoomType"), 0);
    info.type = (type >= 0 && type <= 4) ? static_cast<ZoomType>(type) : ZoomType::FitImage;
    info.level = correctedZoomLevel(profile.getDouble(kSection, QStringLiteral("ZoomLevel"), 1.0));
    return info;
}

void writeZoomInfo(ProfileFile& profile, const ZoomInfo& info)
{
    profile.writeInt(kSection, QStringLiteral("ZoomType"), static_cast<int>(info.type));
    profile.writeDouble(kSection, QStringLiteral("ZoomLevel"), correctedZoomLevel(info.level));
}

std::optional<int> parseZoomPercent(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const long n = std::strtol(bytes.constData(), nullptr, 10);
    if (n < 7 || n > 1600)
        return std::nullopt;
    return static_cast<int>(n);
}
