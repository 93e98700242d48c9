#include "ImageLibrary.h"

#include <QList>

#include <mutex>
#include <vector>

namespace ImageLibrary {
namespace {

// Decoders report damaged input through this callback; the caller's return value is what
// counts, so the text is dropped rather than printed to the terminal.
void quietOutput(FREE_IMAGE_FORMAT, const char*) {}

struct FormatNames {
    FREE_IMAGE_FORMAT fif;
    QByteArray format;                 // lower case, as the library also matches it
    std::vector<QByteArray> extensions;  // lower case
};

// Read once, in the library's plugin order, so the first match wins as it does there.
const std::vector<FormatNames>& formatNames()
{
    static const std::vector<FormatNames> table = [] {
        ensureInitialised();
        std::vector<FormatNames> names;
        for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
            const auto fif = static_cast<FREE_IMAGE_FORMAT>(i);
            if (FreeImage_IsPluginEnabled(fif) != TRUE)
                continue;
            FormatNames entry{fif, QByteArray(FreeImage_GetFormatFromFIF(fif)).toLower(), {}};
            for (const QByteArray& e : QByteArray(FreeImage_GetFIFExtensionList(fif)).split(','))
                if (!e.isEmpty())
                    entry.extensions.push_back(e.toLower());
            names.push_back(std::move(entry));
        }
        return names;
    }();
    return table;
}

}  // namespace

FREE_IMAGE_FORMAT formatFromName(const QByteArray& nativePath)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    const qsizetype dot = nativePath.lastIndexOf('.');
    if (dot < 0 || dot < slash)
        return FIF_UNKNOWN;
    const QByteArray extension = nativePath.mid(dot + 1).toLower();
    for (const FormatNames& names : formatNames()) {
        if (names.format == extension)
            return names.fif;
        for (const QByteArray& e : names.extensions)
            if (e == extension)
                return names.fif;
    }
    return FIF_UNKNOWN;
}

void setGreyRamp(FIBITMAP* dib)
{
    RGBQUAD* palette = FreeImage_GetPalette(dib);
    if (!palette || FreeImage_GetBPP(dib) != 8)
        return;
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
}

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] {
        FreeImage_Initialise(FALSE);
        FreeImage_SetOutputMessage(quietOutput);
    });
}

}  // namespace ImageLibrary
