#pragma once
// The program's side of the decoder helper (src/decoder): the image library's loaders run in
// one or two long-lived child processes with an address-space limit, a CPU-time limit and a
// wall-clock time-out. A crash, a time-out or a limit there is "cannot be decoded" here;
// the helper is started again for the next request. Callable from any thread: a request
// takes one idle helper for its whole round trip.

#include "imaging/decode/DecodeWire.h"
#include "imaging/decode/RegularFile.h"

#include <FreeImage.h>

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Decode {

struct DibDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using DibPtr = std::unique_ptr<FIBITMAP, DibDeleter>;

struct HelperResult {
    Status status = Status::NotDecoded;
    FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;
    int pageCount = 0;
    unsigned fullWidth = 0;
    unsigned fullHeight = 0;
    DibPtr dib;  // set only with Status::Ok for Image and Thumbnail
};

struct HelperLimits {
    std::chrono::milliseconds timeout{8000};
    int cpuSeconds = 8;                     // per request
    std::uint64_t addressSpaceBytes = 0;    // of the helper process; 0: none
};

class IsolatedDecoder {
public:
    explicit IsolatedDecoder(HelperLimits limits, int helperCount = 2);
    ~IsolatedDecoder();
    IsolatedDecoder(const IsolatedDecoder&) = delete;
    IsolatedDecoder& operator=(const IsolatedDecoder&) = delete;

    // The program's helpers, with limits from the machine's memory. They are ended when the
    // application is about to quit, so no loader thread waits for a decoder at exit.
    static IsolatedDecoder& shared();

    // `fileFd` is a regular file opened by the caller; the helper gets a duplicate.
    HelperResult run(int fileFd, const RequestMessage& request);

    // Ends every helper; requests that are running fail, later ones fail at once.
    void shutDown();
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const;
    // How many helper processes were started so far (a restart adds one).
    int helpersStarted() const;
    // Tests: the next `count` requests are sent as Kind::Abort, so the helper dies while it
    // answers each; 0 ends that.
    void abortRequests(int count);

    // KELVRA_DECODER when set, else kelvra-decoder beside the running executable.
    static QByteArray helperPath();

private:
    struct Helper {
        int pid = -1;
        FileDescriptor socket;
        bool busy = false;
    };
    Helper* acquire();
    void release(Helper* helper);
    bool start(Helper& helper);
    void end(Helper& helper);
    HelperResult exchange(Helper& helper, int fileFd, const RequestMessage& request, bool& sendFailed);

    HelperLimits m_limits;
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    std::vector<std::unique_ptr<Helper>> m_helpers;
    bool m_closing = false;
    int m_started = 0;
    int m_abortsLeft = 0;
};

}  // namespace Decode
