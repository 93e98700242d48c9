// libFuzzer target: the settings reader over any Config.ini.
#include "FuzzFiles.h"

#include "app/ProfileFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ProfileFile profile(QFile::decodeName(fuzz::writeInput("Config.ini", data, size)));
    const QString section = QStringLiteral("Main"), key = QStringLiteral("Key");
    profile.getInt(section, key, 0);
    profile.getDouble(section, key, 0.0);
    profile.getString(section, key, QString());
    std::uint8_t placement[44] = {};
    profile.getStruct(section, key, placement, sizeof placement);
    return 0;
}
