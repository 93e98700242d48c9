#include "MainFrameSettings.h"

#include "app/ProfileFile.h"

namespace {
const QString kSection = QStringLiteral("MainFrame");
}

MainFrameSettings MainFrameSettings::read(const QString& configPath)
{
    const ProfileFile ini(configPath);
    MainFrameSettings s;
    s.showToolBar = ini.getInt(kSection, QStringLiteral("ShowToolBar"), 1) != 0;
    s.showAddressBar = ini.getInt(kSection, QStringLiteral("ShowAddressBar"), 1) != 0;
    s.showStatusBar = ini.getInt(kSection, QStringLiteral("ShowStatusBar"), 1) != 0;
    if (!ini.getStruct(kSection, QStringLiteral("Placement"), s.placement) || s.placement.length != WindowPlacement::kLength)
        s.placement.length = 0;
    return s;
}

void MainFrameSettings::write(const QString& configPath) const
{
    ProfileFile ini(configPath);
    ini.writeBool(kSection, QStringLiteral("ShowToolBar"), showToolBar);
    ini.writeBool(kSection, QStringLiteral("ShowAddressBar"), showAddressBar);
    ini.writeBool(kSection, QStringLiteral("ShowStatusBar"), showStatusBar);
    if (placement.length == WindowPlacement::kLength)
        ini.writeStruct(kSection, QStringLiteral("Placement"), placement);
}
