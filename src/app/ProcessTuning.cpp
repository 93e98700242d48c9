#include "ProcessTuning.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace ProcessTuning {

void useHugePagesForLargeBuffers(char** argv)
{
    static constexpr char kTunable[] = "glibc.malloc.hugetlb";
    const char* current = std::getenv("GLIBC_TUNABLES");
    const std::string existing = current ? current : "";
    if (existing.find(kTunable) != std::string::npos)
        return;
    const std::string tunables =
        existing.empty() ? std::string(kTunable) + "=1" : existing + ":" + kTunable + "=1";
    if (::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) != 0)
        return;
    ::execv("/proc/self/exe", argv);
    // Still here: the restart failed; run as we are. The variable stays set so a child
    // process does not try again.
}

}  // namespace ProcessTuning
