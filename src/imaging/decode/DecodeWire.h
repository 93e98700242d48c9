#pragma once
// What the program and its decoder helper say to each other over a SOCK_SEQPACKET socket
// pair. A request carries the open file as an SCM_RIGHTS descriptor (the helper never opens
// paths); a reply carries the decoded image, in the byte layout of fipSuperImage's handles,
// in a memfd passed back the same way. One message each way per request.

#include <cstddef>
#include <cstdint>

namespace Decode {

inline constexpr std::uint32_t kWireMagic = 0x4B564431;  // "KVD1"

enum class Kind : std::uint32_t {
    Identify = 1,   // only the format, by content
    Image = 2,      // the whole image, or page `page` of a multi-page file when page >= 0
    Thumbnail = 3,  // the image fitted inside maxWidth × maxHeight
    PageCount = 4,  // the number of pages of a multi-page file
    Header = 5,     // the declared size only, where the format has a header-only load
    Abort = 99,     // the helper crashes on purpose; tests prove the restart with it
};

enum class Status : std::uint32_t {
    Ok = 0,
    NotDecoded = 1,      // unknown format, damaged file, or the helper failed
    TooLarge = 2,        // the declared size exceeds the budget; nothing was allocated for it
    NotRegularFile = 3,  // folders, FIFOs, devices, missing files
    TimedOut = 4,        // the helper took longer than the time-out and was ended
};

struct RequestMessage {
    std::uint32_t magic = kWireMagic;
    Kind kind = Kind::Identify;
    std::int32_t fif = -1;       // the format when the caller knows it, else -1
    std::int32_t fifByName = -1; // what the file name says, for formats without a signature
    std::int32_t flag = 0;       // the library's load flags
    std::int32_t page = -1;
    std::uint32_t maxWidth = 0;  // thumbnails only
    std::uint32_t maxHeight = 0;
    std::uint64_t maxPixels = 0;  // 0: no limit
    std::uint64_t maxBytes = 0;   // decoded bytes; 0: no limit
};

struct ReplyMessage {
    std::uint32_t magic = kWireMagic;
    Status status = Status::NotDecoded;
    std::int32_t fif = -1;
    std::int32_t pageCount = 0;
    std::uint32_t fullWidth = 0;  // the image's own size, before any fitting
    std::uint32_t fullHeight = 0;
    std::uint64_t handleBytes = 0;  // the memfd's length; 0 without pixels
};

// One message of exactly `size` bytes, with `fd` attached when it is >= 0.
bool sendMessage(int socket, const void* data, std::size_t size, int fd = -1);
// One message of exactly `size` bytes; an attached descriptor lands in `fd` (else -1).
// False on end of file, a short message or an error.
bool receiveMessage(int socket, void* data, std::size_t size, int& fd);

}  // namespace Decode
