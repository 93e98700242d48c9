#include "ImageLibrary.h"

#include <mutex>

namespace ImageLibrary {
namespace {

// Decoders report damaged input through this callback; the caller's return value is what
// counts, so the text is dropped rather than printed to the terminal.
void quietOutput(FREE_IMAGE_FORMAT, const char*) {}

}  // namespace

void ensureInitialised()
{
    static std::once_flag once;
    std::call_once(once, [] {
        FreeImage_Initialise(FALSE);
        FreeImage_SetOutputMessage(quietOutput);
    });
}

}  // namespace ImageLibrary
