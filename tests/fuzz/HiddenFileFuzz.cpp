// libFuzzer target: a folder's ".hidden" list as any tool may have written it.
#include "FuzzFiles.h"

#include "platform/ShellNamespace.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray hidden = fuzz::writeInput(".hidden", data, size);
    const QByteArray folder = hidden.left(hidden.lastIndexOf('/'));
    const ShellNamespace shell;
    shell.enumerate(shell.idListFromPath(folder), false);
    return 0;
}
