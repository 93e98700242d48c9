#include "ProcessTuning.h"

#include <cstdlib>
#include <unistd.h>

namespace ProcessTuning {

namespace {

constexpr char kTunable[] = "glibc.malloc.hugetlb";
// Carries the user's GLIBC_TUNABLES across our restart: "-" when there was none, else "="
// and the value (which may be empty).
constexpr char kSaved[] = "KELVRA_SAVED_GLIBC_TUNABLES";

void restore(const std::string& saved)
{
    if (saved == "-")
        ::unsetenv("GLIBC_TUNABLES");
    else
        ::setenv("GLIBC_TUNABLES", saved.c_str() + 1, 1);
    ::unsetenv(kSaved);
}

}  // namespace

std::string tunablesWithHugePages(const char* existing)
{
    const std::string current = existing ? existing : "";
    if (current.find(kTunable) != std::string::npos)
        return current;
    return current.empty() ? std::string(kTunable) + "=1" : current + ":" + kTunable + "=1";
}

void useHugePagesForLargeBuffers(char** argv)
{
    if (const char* saved = std::getenv(kSaved)) {
        // The restarted process: glibc has read the tunable, the children need not see it.
        restore(saved);
        return;
    }
    const char* current = std::getenv("GLIBC_TUNABLES");
    const std::string tunables = tunablesWithHugePages(current);
    if (current && tunables == current)
        return;  // the user asked for huge pages already
    const std::string saved = current ? std::string("=") + current : std::string("-");
    if (::setenv(kSaved, saved.c_str(), 1) != 0)
        return;
    if (::setenv("GLIBC_TUNABLES", tunables.c_str(), 1) == 0)
        ::execv("/proc/self/exe", argv);
    // Still here: the restart failed; run as we are, with the environment we were given.
    restore(saved);
}

}  // namespace ProcessTuning
