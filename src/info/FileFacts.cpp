#include "info/FileFacts.h"

#include <QDateTime>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

namespace filefacts {

QString groupedDigits(uint64_t value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return digits;
}

QString readableSize(uint64_t bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + (bytes <= 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    const auto units = [bytes](double unit, const char* name) {
        // Rounded half up at the second decimal before printing, so 1.005 never reads 1.00.
        const double v = std::floor(static_cast<double>(bytes) / unit * 100.0 + 0.5) / 100.0;
        return QString::asprintf("%.2f %s", v, name);
    };
    if (bytes < (1u << 20))
        return units(1024.0, "KB");
    if (bytes < (1u << 30))
        return units(1048576.0, "MB");
    return units(1073741824.0, "GB");
}

QString sizeText(uint64_t bytes)
{
    return readableSize(bytes) + QStringLiteral(" (") + groupedDigits(bytes)
         + (bytes <= 1 ? QStringLiteral(" byte)") : QStringLiteral(" bytes)"));
}

QString timeText(int64_t secondsSinceEpoch)
{
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch, Qt::LocalTime);
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

std::optional<Facts> statPath(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct statx st {};
    if (native.isEmpty()
        || ::statx(AT_FDCWD, native.constData(), AT_SYMLINK_NOFOLLOW,
                   STATX_TYPE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &st) != 0)
        return std::nullopt;
    Facts f;
    f.isFolder = S_ISDIR(st.stx_mode);
    f.size = f.isFolder ? 0 : st.stx_size;
    if (st.stx_mask & STATX_BTIME)
        f.times.created = timeText(st.stx_btime.tv_sec);
    if (st.stx_mask & STATX_MTIME)
        f.times.modified = timeText(st.stx_mtime.tv_sec);
    if (st.stx_mask & STATX_ATIME)
        f.times.accessed = timeText(st.stx_atime.tv_sec);
    return f;
}

std::optional<uint64_t> folderSize(const QString& path, const std::atomic<bool>& cancel)
{
    namespace fs = std::filesystem;
    uint64_t total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(fs::path(QFile::encodeName(path).toStdString()),
                                        fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (cancel.load(std::memory_order_relaxed))
            return std::nullopt;
        std::error_code entryError;
        const fs::file_status status = it->symlink_status(entryError);
        if (!entryError && fs::is_regular_file(status)) {
            const uintmax_t size = it->file_size(entryError);
            if (!entryError)
                total += size;
        }
    }
    return total;
}

}  // namespace filefacts
