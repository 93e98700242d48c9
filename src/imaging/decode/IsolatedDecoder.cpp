#include "imaging/decode/IsolatedDecoder.h"
#include "app/ProcessTuning.h"
#include "app/ProgramFiles.h"

#include "imaging/ImageLibrary.h"
#include "imaging/decode/ImageDecoding.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>

extern char** environ;

namespace Decode {
namespace {

// The descriptor number the helper finds its socket at.
constexpr int kHelperSocket = 3;

std::string directoryOfExecutable()
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<size_t>(n) >= buffer.size())
        return {};
    buffer.resize(static_cast<size_t>(n));
    const size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash);
}

// The helper's environment: ours, plus allocator limits for sanitizer builds, where an
// address-space limit cannot work (the sanitizer reserves terabytes of shadow memory).
std::vector<std::string> helperEnvironment(std::uint64_t addressSpaceBytes)
{
    std::vector<std::string> env;
    std::string sanitizer;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("ASAN_OPTIONS=", 0) == 0)
            sanitizer = entry.substr(13) + ':';
        else if (entry.rfind("GLIBC_TUNABLES=", 0) != 0)
            env.push_back(entry);
    }
    // The helper decodes into buffers as large as ours, so it gets the same huge pages.
    env.push_back("GLIBC_TUNABLES=" + ProcessTuning::tunablesWithHugePages(std::getenv("GLIBC_TUNABLES")));
    sanitizer += "detect_leaks=0:allocator_may_return_null=1";
    if (addressSpaceBytes > 0) {
        const std::uint64_t mb = addressSpaceBytes >> 20;
        sanitizer += ":max_allocation_size_mb=" + std::to_string(mb) + ":hard_rss_limit_mb=" + std::to_string(mb);
    }
    env.push_back("ASAN_OPTIONS=" + sanitizer);
    return env;
}

bool waitReadable(int fd, std::chrono::steady_clock::time_point deadline)
{
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready > 0)
            return true;  // data, or the helper went away (read then says so)
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

DibPtr dibFromMemfd(int memfd, std::uint64_t bytes)
{
    struct stat st {};
    if (bytes == 0 || ::fstat(memfd, &st) != 0 || static_cast<std::uint64_t>(st.st_size) != bytes
        || bytes > static_cast<std::uint64_t>(std::numeric_limits<qsizetype>::max()))
        return nullptr;
    void* map = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, memfd, 0);
    if (map == MAP_FAILED)
        return nullptr;
    const QByteArray view = QByteArray::fromRawData(static_cast<const char*>(map), static_cast<qsizetype>(bytes));
    DibPtr dib(ImageLibrary::fromHandle(view));
    ::munmap(map, bytes);
    return dib;
}

}  // namespace

IsolatedDecoder::IsolatedDecoder(HelperLimits limits, int helperCount) : m_limits(limits)
{
    for (int i = 0; i < std::max(helperCount, 1); ++i)
        m_helpers.push_back(std::make_unique<Helper>());
}

IsolatedDecoder::~IsolatedDecoder()
{
    shutDown();
}

IsolatedDecoder& IsolatedDecoder::shared()
{
    static IsolatedDecoder decoder([] {
        HelperLimits limits;
        // Room for the decoded image, the library's own working copies and the helper's code.
        limits.addressSpaceBytes = 2 * imageMemoryBudget() + (std::uint64_t(1) << 30);
        return limits;
    }());
    static std::once_flag hooked;
    std::call_once(hooked, [] {
        if (auto* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] { IsolatedDecoder::shared().shutDown(); });
    });
    return decoder;
}

QByteArray IsolatedDecoder::helperPath()
{
    const QByteArray fromEnvironment = qgetenv("KELVRA_DECODER");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const std::string dir = directoryOfExecutable();
    if (dir.empty())
        return {};
    return QFile::encodeName(ProgramFiles::helperProgram(QFile::decodeName(dir.c_str()), QStringLiteral("kelvra-decoder")));
}

void IsolatedDecoder::setTimeout(std::chrono::milliseconds timeout)
{
    const std::lock_guard lock(m_mutex);
    m_limits.timeout = timeout;
}

std::chrono::milliseconds IsolatedDecoder::timeout() const
{
    const std::lock_guard lock(m_mutex);
    return m_limits.timeout;
}

int IsolatedDecoder::helpersStarted() const
{
    const std::lock_guard lock(m_mutex);
    return m_started;
}

void IsolatedDecoder::abortRequests(int count)
{
    const std::lock_guard lock(m_mutex);
    m_abortsLeft = std::max(count, 0);
}

IsolatedDecoder::Helper* IsolatedDecoder::acquire()
{
    std::unique_lock lock(m_mutex);
    Helper* chosen = nullptr;
    m_idle.wait(lock, [&] {
        if (m_closing)
            return true;
        for (const auto& h : m_helpers) {
            // A running helper first: starting another costs a process.
            if (!h->busy && (!chosen || (chosen->pid < 0 && h->pid >= 0)))
                chosen = h.get();
        }
        return chosen != nullptr;
    });
    if (m_closing)
        return nullptr;
    chosen->busy = true;
    return chosen;
}

void IsolatedDecoder::release(Helper* helper)
{
    {
        const std::lock_guard lock(m_mutex);
        helper->busy = false;
    }
    m_idle.notify_one();
}

bool IsolatedDecoder::start(Helper& helper)
{
    const QByteArray path = helperPath();
    if (path.isEmpty())
        return false;
    int pair[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0)
        return false;
    FileDescriptor ours(pair[0]);
    // Never number 3 itself, so that the dup2 below always clears close-on-exec.
    FileDescriptor theirs(::fcntl(pair[1], F_DUPFD_CLOEXEC, 10));
    ::close(pair[1]);
    if (!theirs.valid())
        return false;

    HelperLimits limits;
    {
        const std::lock_guard lock(m_mutex);
        limits = m_limits;
    }
    const std::string memory = std::to_string(limits.addressSpaceBytes >> 20);
    const std::string cpu = std::to_string(limits.cpuSeconds);
    const std::string socketNumber = std::to_string(kHelperSocket);
    std::vector<std::string> args = {path.toStdString(), "--socket", socketNumber, "--memory-mb", memory,
                                     "--cpu-seconds", cpu};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = helperEnvironment(limits.addressSpaceBytes);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.get(), kHelperSocket);
    pid_t pid = -1;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return false;
    const std::lock_guard lock(m_mutex);
    if (m_closing) {
        // Shut down while this one started: it never gets a request.
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return false;
    }
    helper.pid = pid;
    helper.socket = std::move(ours);
    ++m_started;
    return true;
}

void IsolatedDecoder::end(Helper& helper)
{
    // Under the lock, so shutDown never signals a process number already reaped and reused.
    const std::lock_guard lock(m_mutex);
    if (helper.pid > 0) {
        ::kill(helper.pid, SIGKILL);
        int status = 0;
        while (::waitpid(helper.pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    helper.pid = -1;
    helper.socket = FileDescriptor();
}

HelperResult IsolatedDecoder::exchange(Helper& helper, int fileFd, const RequestMessage& request, bool& sendFailed)
{
    sendFailed = false;
    HelperResult result;
    if (!sendMessage(helper.socket.get(), &request, sizeof request, fileFd)) {
        sendFailed = true;
        end(helper);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout();
    if (!waitReadable(helper.socket.get(), deadline)) {
        result.status = Status::TimedOut;
        end(helper);
        return result;
    }
    ReplyMessage reply;
    int memfd = -1;
    if (!receiveMessage(helper.socket.get(), &reply, sizeof reply, memfd) || reply.magic != kWireMagic) {
        end(helper);  // the helper crashed or hit a limit
        return result;
    }
    const FileDescriptor pixels(memfd);
    result.status = reply.status;
    result.fif = static_cast<FREE_IMAGE_FORMAT>(reply.fif);
    result.pageCount = reply.pageCount;
    result.fullWidth = reply.fullWidth;
    result.fullHeight = reply.fullHeight;
    if (result.status == Status::Ok && reply.handleBytes > 0) {
        result.dib = pixels.valid() ? dibFromMemfd(pixels.get(), reply.handleBytes) : nullptr;
        if (!result.dib)
            result.status = Status::NotDecoded;
    }
    return result;
}

HelperResult IsolatedDecoder::run(int fileFd, const RequestMessage& request)
{
    Helper* helper = acquire();
    if (!helper)
        return {};
    RequestMessage sent = request;
    {
        const std::lock_guard lock(m_mutex);
        if (m_abortsLeft > 0) {
            --m_abortsLeft;
            sent.kind = Kind::Abort;
        }
    }
    HelperResult result;
    // A helper that went away while idle is started again once for this request.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (helper->pid < 0 && !start(*helper))
            break;
        bool sendFailed = false;
        result = exchange(*helper, fileFd, sent, sendFailed);
        if (!sendFailed)
            break;
    }
    release(helper);
    return result;
}

void IsolatedDecoder::shutDown()
{
    std::vector<Helper*> idle;
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
        for (const auto& h : m_helpers) {
            if (h->busy && h->pid > 0)
                ::kill(h->pid, SIGKILL);  // its caller sees the end and reaps it
            else if (!h->busy)
                idle.push_back(h.get());
        }
    }
    m_idle.notify_all();
    for (Helper* h : idle)
        end(*h);
}

}  // namespace Decode
