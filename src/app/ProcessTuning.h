#pragma once
// Start-up tuning of the process itself, done before anything else runs.

#include <string>

namespace ProcessTuning {

// Photos of tens of megapixels are decoded into fresh buffers of 50-150 MiB. With 4 KiB pages
// the first touch of such a buffer costs more than decoding it on many virtual machines; with
// transparent huge pages it costs almost nothing. glibc only asks for huge pages when its
// tunable says so, and reads tunables at process start, so the process starts itself again
// once with the tunable added. Returns only when no restart happened (already tuned, or the
// restart failed, in which case the program simply runs without huge pages). After the
// restart the environment is put back as the user gave it, so programs we launch (file
// managers, editors, mail) never inherit our tuning.
void useHugePagesForLargeBuffers(char** argv);

// The GLIBC_TUNABLES value that adds huge pages to an existing one (which may be null), for
// our own helper processes.
std::string tunablesWithHugePages(const char* existing);

}  // namespace ProcessTuning
