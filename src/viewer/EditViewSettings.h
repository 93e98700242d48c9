#pragma once
// The tools' lasting choices: section "EditView" of Config.ini.
#include "viewer/SelectionLogic.h"
#include "viewer/ViewRendering.h"

#include <cstdint>

class ProfileFile;

struct EditViewSettings {
    ViewTool tool = ViewTool::Pan;
    std::uint32_t cutColor = 0;  // 0x00BBGGRR, what Cut leaves behind
    double ratio = 0;
    RatioType ratioType = RatioType::Free;
    SelOrientation orientation = SelOrientation::Portrait;
};

EditViewSettings readEditViewSettings(const ProfileFile& profile);
// `effectiveRatio` is what goes into "SelRatio".
void writeEditViewSettings(ProfileFile& profile, const EditViewSettings& settings, double effectiveRatio);
