// libFuzzer target: MakeThumbnail over one file, by each of the names that pick its routes.
#include "FuzzFiles.h"

#include "browser/ThumbnailMaker.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const char* name : {"input.jpg", "input.png", "input.tif", "input.psd"})
        MakeThumbnail(fuzz::writeInput(name, data, size), 96, 96, ThumbnailOptions{false});
    return 0;
}
