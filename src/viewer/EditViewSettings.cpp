#include "viewer/EditViewSettings.h"

#include "app/ProfileFile.h"

#include <algorithm>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("EditView");
}

EditViewSettings readEditViewSettings(const ProfileFile& profile)
{
    EditViewSettings s;
    s.tool = static_cast<ViewTool>(std::clamp(profile.getInt(kSection, QStringLiteral("ViewTool"), 0), 0, 2));
    std::uint32_t color = 0;
    if (profile.getStruct(kSection, QStringLiteral("ImageBkColor"), color))
        s.cutColor = color;
    const double ratio = profile.getDouble(kSection, QStringLiteral("SelRatio"), 0);
    s.ratio = std::isfinite(ratio) && ratio > 0 ? ratio : 0;
    s.ratioType = static_cast<RatioType>(std::clamp(profile.getInt(kSection, QStringLiteral("SelType"), 0), 0, 2));
    s.orientation = profile.getInt(kSection, QStringLiteral("SelOrientation"), 0) == 1 ? SelOrientation::Landscape
                                                                                       : SelOrientation::Portrait;
    return s;
}

void writeEditViewSettings(ProfileFile& profile, const EditViewSettings& s, double effective)
{
    profile.writeInt(kSection, QStringLiteral("ViewTool"), static_cast<int>(s.tool));
    profile.writeStruct(kSection, QStringLiteral("ImageBkColor"), s.cutColor);
    profile.writeDouble(kSection, QStringLiteral("SelRatio"), effective);
    profile.writeInt(kSection, QStringLiteral("SelType"), static_cast<int>(s.ratioType));
    profile.writeInt(kSection, QStringLiteral("SelOrientation"), static_cast<int>(s.orientation));
}
