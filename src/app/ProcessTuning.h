#pragma once
// Start-up tuning of the process itself, done before anything else runs.

namespace ProcessTuning {

// Photos of tens of megapixels are decoded into fresh buffers of 50-150 MiB. With 4 KiB pages
// the first touch of such a buffer costs more than decoding it on many virtual machines; with
// transparent huge pages it costs almost nothing. glibc only asks for huge pages when its
// tunable says so, and reads tunables at process start, so the process starts itself again
// once with the tunable added. Returns only when no restart happened (already tuned, or the
// restart failed, in which case the program simply runs without huge pages).
void useHugePagesForLargeBuffers(char** argv);

}  // namespace ProcessTuning
