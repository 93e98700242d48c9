// kelvra-decoder: the image library's loaders in a process of their own. It reads requests
// from the socket it is given (see imaging/decode/DecodeWire.h), decodes from the file
// descriptor each request carries, and answers with the image in a memfd. Damaged and hostile
// files may crash it, exhaust its address-space limit or its CPU time: the program then
// reports "cannot be decoded" and starts a new helper.

#include "imaging/ImageLibrary.h"
#include "imaging/decode/DecodeWire.h"

#include <FreeImagePlus.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

// Sanitizers reserve terabytes of shadow memory, which an address-space limit forbids.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELVRA_DECODER_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KELVRA_DECODER_SANITIZED 1
#endif
#endif

namespace {

using namespace Decode;

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
struct DibUnloader {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Dib = std::unique_ptr<FIBITMAP, DibUnloader>;
struct MultiCloser {
    void operator()(FIMULTIBITMAP* m) const { FreeImage_CloseMultiBitmap(m, 0); }
};

unsigned DLL_CALLCONV readProc(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<FILE*>(handle)));
}
unsigned DLL_CALLCONV writeProc(void*, unsigned, unsigned, fi_handle)
{
    return 0;  // the helper never writes files
}
int DLL_CALLCONV seekProc(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<FILE*>(handle), offset, origin);
}
long DLL_CALLCONV tellProc(fi_handle handle)
{
    return std::ftell(static_cast<FILE*>(handle));
}
FreeImageIO fileIo{readProc, writeProc, seekProc, tellProc};

void limitCpuForOneRequest(int seconds)
{
    // The limit counts the process's whole life; each request gets `seconds` more.
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const rlim_t used = static_cast<rlim_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1);
    rlimit cpu{};
    ::getrlimit(RLIMIT_CPU, &cpu);
    cpu.rlim_cur = used + static_cast<rlim_t>(seconds);
    if (cpu.rlim_max != RLIM_INFINITY && cpu.rlim_cur > cpu.rlim_max)
        cpu.rlim_cur = cpu.rlim_max;
    ::setrlimit(RLIMIT_CPU, &cpu);
}

void applyProcessLimits(std::uint64_t memoryMb)
{
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
#ifndef KELVRA_DECODER_SANITIZED
    if (memoryMb > 0) {
        const rlim_t bytes = static_cast<rlim_t>(memoryMb) << 20;
        const rlimit as{bytes, bytes};
        ::setrlimit(RLIMIT_AS, &as);
    }
#else
    (void)memoryMb;  // the sanitizer's allocator limits come through ASAN_OPTIONS
#endif
}

bool isMultiPageFormat(FREE_IMAGE_FORMAT fif)
{
    return fif == FIF_TIFF || fif == FIF_GIF || fif == FIF_ICO;
}

bool withinBudget(const RequestMessage& request, std::uint64_t width, std::uint64_t height, std::uint64_t bpp)
{
    const std::uint64_t pixels = width * height;
    return (request.maxPixels == 0 || pixels <= request.maxPixels)
           && (request.maxBytes == 0 || pixels * std::max<std::uint64_t>(bpp, 1) / 8 <= request.maxBytes);
}

bool sendImage(int socket, ReplyMessage& reply, FIBITMAP* dib)
{
    const QByteArray handle = ImageLibrary::toHandle(dib);
    const int memfd = ::memfd_create("kelvra-decoded", MFD_CLOEXEC);
    bool written = memfd >= 0 && !handle.isEmpty();
    for (qsizetype done = 0; written && done < handle.size();) {
        const ssize_t n = ::write(memfd, handle.constData() + done, static_cast<size_t>(handle.size() - done));
        written = n > 0;
        done += n > 0 ? n : 0;
    }
    if (!written) {
        if (memfd >= 0)
            ::close(memfd);
        reply.status = Status::NotDecoded;
        return sendMessage(socket, &reply, sizeof reply);
    }
    reply.status = Status::Ok;
    reply.handleBytes = static_cast<std::uint64_t>(handle.size());
    const bool sent = sendMessage(socket, &reply, sizeof reply, memfd);
    ::close(memfd);
    return sent;
}

Dib loadPage(FILE* file, FREE_IMAGE_FORMAT fif, int page, ReplyMessage& reply)
{
    const std::unique_ptr<FIMULTIBITMAP, MultiCloser> pages(FreeImage_OpenMultiBitmapFromHandle(fif, &fileIo, file, 0));
    if (!pages)
        return nullptr;
    reply.pageCount = FreeImage_GetPageCount(pages.get());
    if (page < 0 || page >= reply.pageCount)
        return nullptr;
    FIBITMAP* locked = FreeImage_LockPage(pages.get(), page);
    if (!locked)
        return nullptr;
    Dib copy(FreeImage_Clone(locked));
    FreeImage_UnlockPage(pages.get(), locked, FALSE);
    return copy;
}

bool answer(int socket, const RequestMessage& request, int fd)
{
    ReplyMessage reply;
    if (request.magic != kWireMagic)
        return false;
    if (request.kind == Kind::Abort)
        std::abort();
    if (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0) {
        if (fd >= 0)
            ::close(fd);
        return sendMessage(socket, &reply, sizeof reply);
    }
    const std::unique_ptr<FILE, FileCloser> file(::fdopen(fd, "rb"));
    if (!file) {
        ::close(fd);
        return sendMessage(socket, &reply, sizeof reply);
    }
    auto fif = static_cast<FREE_IMAGE_FORMAT>(request.fif);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFileTypeFromHandle(&fileIo, file.get(), 0);
    if (fif == FIF_UNKNOWN)
        fif = static_cast<FREE_IMAGE_FORMAT>(request.fifByName);
    reply.fif = fif;
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return sendMessage(socket, &reply, sizeof reply);
    if (request.kind == Kind::Identify) {
        reply.status = Status::Ok;
        return sendMessage(socket, &reply, sizeof reply);
    }

    Dib dib;
    const bool paged = isMultiPageFormat(fif) && (request.kind == Kind::PageCount || request.page >= 0);
    if (paged) {
        dib = loadPage(file.get(), fif, request.kind == Kind::PageCount ? -1 : request.page, reply);
        if (request.kind == Kind::PageCount) {
            reply.status = reply.pageCount > 0 ? Status::Ok : Status::NotDecoded;
            return sendMessage(socket, &reply, sizeof reply);
        }
    } else {
        reply.pageCount = 1;
        // The declared size first, where the format has a header-only load.
        if (FreeImage_FIFSupportsNoPixels(fif)) {
            const Dib header(FreeImage_LoadFromHandle(fif, &fileIo, file.get(), FIF_LOAD_NOPIXELS));
            if (header) {
                reply.fullWidth = FreeImage_GetWidth(header.get());
                reply.fullHeight = FreeImage_GetHeight(header.get());
                if (request.kind == Kind::Header) {
                    reply.status = Status::Ok;
                    return sendMessage(socket, &reply, sizeof reply);
                }
                if (!withinBudget(request, reply.fullWidth, reply.fullHeight, FreeImage_GetBPP(header.get()))) {
                    reply.status = Status::TooLarge;
                    return sendMessage(socket, &reply, sizeof reply);
                }
            }
            if (std::fseek(file.get(), 0, SEEK_SET) != 0)
                return sendMessage(socket, &reply, sizeof reply);
        }
        if (request.kind == Kind::Header)
            return sendMessage(socket, &reply, sizeof reply);
        dib.reset(FreeImage_LoadFromHandle(fif, &fileIo, file.get(), request.flag));
    }
    // Some decoders return images without pixels for damaged files.
    if (!dib || !FreeImage_HasPixels(dib.get()) || FreeImage_GetWidth(dib.get()) == 0
        || FreeImage_GetHeight(dib.get()) == 0)
        return sendMessage(socket, &reply, sizeof reply);
    reply.fullWidth = FreeImage_GetWidth(dib.get());
    reply.fullHeight = FreeImage_GetHeight(dib.get());
    if (!withinBudget(request, reply.fullWidth, reply.fullHeight, FreeImage_GetBPP(dib.get()))) {
        reply.status = Status::TooLarge;
        return sendMessage(socket, &reply, sizeof reply);
    }
    if (request.kind == Kind::Thumbnail && (reply.fullWidth > request.maxWidth || reply.fullHeight > request.maxHeight)) {
        fipImage whole;
        whole = dib.release();
        dib.reset(ImageLibrary::fitInside(whole, request.maxWidth, request.maxHeight, true));
        if (!dib)
            return sendMessage(socket, &reply, sizeof reply);
    }
    return sendImage(socket, reply, dib.get());
}

std::string argument(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    const int socket = std::atoi(argument(argc, argv, "--socket").c_str());
    const std::uint64_t memoryMb = std::strtoull(argument(argc, argv, "--memory-mb").c_str(), nullptr, 10);
    const int cpuSeconds = std::max(1, std::atoi(argument(argc, argv, "--cpu-seconds").c_str()));
    if (socket < 3) {
        std::fprintf(stderr, "kelvra-decoder is started by Kelvra Photo Viewer\n");
        return 2;
    }
    // Nothing else of the program's is inherited. The helper ends with the program through its
    // socket: the program's end closes when the program ends, however it ends, and the CPU
    // limit bounds a decode that is running then. (A parent-death signal would be tied to the
    // thread that started the helper: a look-ahead thread's end would kill a helper that
    // another thread is using.)
    ::close_range(static_cast<unsigned>(socket) + 1, ~0U, 0);
    applyProcessLimits(memoryMb);
    ImageLibrary::ensureInitialised();

    while (true) {
        RequestMessage request;
        int fd = -1;
        if (!receiveMessage(socket, &request, sizeof request, fd))
            return 0;  // the program closed its end
        limitCpuForOneRequest(cpuSeconds);
        if (!answer(socket, request, fd))
            return 0;
    }
}
