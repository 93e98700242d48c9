// libFuzzer target: the address history reader must stop at any damage without crashing,
// reading out of bounds or taking more than twenty folders into the history.
#include "browser/HistoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    AddressHistory history;
    for (const auto& record : HistoryFile::parse(bytes))
        history.appendLoaded(record.folder, record.source);
    if (history.entries().size() > AddressHistory::kMaxAddresses)
        std::abort();
    // What was read writes back as a prefix-free sequence that reads the same again.
    const auto again = HistoryFile::parse(HistoryFile::serialize(history.entries()));
    if (again != history.entries())
        std::abort();
    return 0;
}
