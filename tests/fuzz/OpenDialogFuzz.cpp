// libFuzzer target: the Open dialog's description and preview of the selected file.
#include "FuzzFiles.h"

#include "viewer/CDlgOpenFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = QFile::decodeName(fuzz::writeInput("selected.jpg", data, size));
    for (bool preview : {true, false})
        describeImageFile(path, preview, QSize(160, 120));
    return 0;
}
