#pragma once
// The "ZoomInfo" section of Config.ini and the "Set Zoom Level" dialog's rules.
#include "viewer/ZoomGeometry.h"

#include <QString>

#include <optional>

class ProfileFile;

struct ZoomInfo {
    ZoomType type = ZoomType::FitImage;
    double level = 1.0;
};

// Out-of-range values are corrected: a type outside 0..4 becomes fit image, a level ≤ 0
// becomes 0.01 and one above 16 becomes 16.
ZoomInfo readZoomInfo(const ProfileFile& profile);
void writeZoomInfo(ProfileFile& profile, const ZoomInfo& info);
double correctedZoomLevel(double level);

inline const QString kZoomLevelCaption = QStringLiteral("Set Zoom Level");
inline const QString kInvalidZoomLevelText = QStringLiteral("You must specify a valid zoom level (7% - 1600%).");

// The dialog's edit text read as an integer the way the C library would (leading blanks,
// sign, digits; anything else ends the number). nullopt when outside 7..1600.
std::optional<int> parseZoomPercent(const QString& text);
