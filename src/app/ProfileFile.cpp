#include "ProfileFile.h"

#include "app/PlainFile.h"

#include <QList>

#include <algorithm>
#include <charconv>
#include <utility>

namespace {

// Far beyond any settings the program writes; a bigger file is not ours to rewrite.
constexpr qint64 kMaxIniBytes = 64 << 20;

// Lines of the file without their line ends; `crlf` tells which end the file uses. `usable`
// is false when something other than a readable settings file is at the path.
struct IniText {
    std::vector<QByteArray> lines;
    bool crlf = false;
    bool usable = true;
};

IniText readIni(const QString& path)
{
    IniText text;
    const PlainFile::ReadResult file = PlainFile::read(path, kMaxIniBytes);
    if (file.status != PlainFile::ReadStatus::Read) {
        text.usable = file.status == PlainFile::ReadStatus::Missing;
        return text;
    }
    const QByteArray& all = file.bytes;
    if (all.isEmpty())
        return text;
    text.crlf = all.contains("\r\n");
    for (QByteArray line : all.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        text.lines.push_back(std::move(line));
    }
    // split() leaves one empty piece after a final newline; it is not a line of the file.
    if (all.endsWith('\n'))
        text.lines.pop_back();
    return text;
}

bool sameName(const QByteArray& a, const QString& b)
{
    return QString::fromUtf8(a).compare(b, Qt::CaseInsensitive) == 0;
}

// "[Name]" (surrounding blanks allowed) gives Name.
std::optional<QByteArray> sectionName(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool isComment(const QByteArray& trimmed)
{
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// Key part of a "Key=Value" line, or nullopt for lines without '='.
std::optional<QByteArray> keyOf(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (isComment(t))
        return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return t.left(eq).trimmed();
}

QByteArray valueOf(const QByteArray& line)
{
    QByteArray v = line.mid(line.indexOf('=') + 1).trimmed();
    // Surrounding double quotes are not part of the value.
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.mid(1, v.size() - 2);
    return v;
}

// Index range [begin, end) of the lines inside the first section called `section`
// (begin is the header line), or nullopt.
std::optional<std::pair<size_t, size_t>> findSection(const IniText& text, const QString& section)
{
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = sectionName(text.lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < text.lines.size() && !sectionName(text.lines[end]))
            ++end;
        return std::make_pair(i, end);
    }
    return std::nullopt;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

ProfileFile::ProfileFile(QString path) : m_path(std::move(path)) {}

std::optional<QByteArray> ProfileFile::rawValue(const QString& section, const QString& key) const
{
    const IniText text = readIni(m_path);
    const auto range = findSection(text, section);
    if (!range)
        return std::nullopt;
    for (size_t i = range->first + 1; i < range->second; ++i) {
        const auto k = keyOf(text.lines[i]);
        if (k && sameName(*k, key))
            return valueOf(text.lines[i]);
    }
    return std::nullopt;
}

int ProfileFile::getInt(const QString& section, const QString& key, int def) const
{
    const auto value = rawValue(section, key);
    if (!value)
        return def;
    // Like atoi: the leading number, 0 when there is none; saturated rather than wrapped.
    qsizetype i = 0;
    bool negative = false;
    if (i < value->size() && ((*value)[i] == '-' || (*value)[i] == '+'))
        negative = (*value)[i++] == '-';
    long long n = 0;
    for (; i < value->size() && (*value)[i] >= '0' && (*value)[i] <= '9'; ++i) {
        n = n * 10 + ((*value)[i] - '0');
        if (n > (1LL << 32))
            break;
    }
    n = negative ? -n : n;
    return static_cast<int>(std::clamp<long long>(n, INT32_MIN, INT32_MAX));
}

double ProfileFile::getDouble(const QString& section, const QString& key, double def) const
{
    const auto value = rawValue(section, key);
    if (!value)
        return def;
    // Like strtod in the C locale: the leading number, 0 when there is none.
    const char* begin = value->constData();
    const char* end = begin + value->size();
    if (begin != end && *begin == '+')
        ++begin;
    double n = 0;
    if (std::from_chars(begin, end, n).ec != std::errc())
        return 0;
    return n;
}

QString ProfileFile::getString(const QString& section, const QString& key, const QString& def) const
{
    const auto value = rawValue(section, key);
    return value ? QString::fromUtf8(*value) : def;
}

bool ProfileFile::getStruct(const QString& section, const QString& key, void* out, size_t size) const
{
    const auto value = rawValue(section, key);
    if (!value)
        return false;
    const auto bytes = decodeStruct(*value, size);
    if (!bytes)
        return false;
    std::copy(bytes->begin(), bytes->end(), static_cast<uint8_t*>(out));
    return true;
}

QByteArray ProfileFile::encodeStruct(const void* data, size_t size)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    QByteArray text;
    text.reserve(static_cast<qsizetype>(size * 2 + 2));
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) {
        text.append(digits[bytes[i] >> 4]).append(digits[bytes[i] & 15]);
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    text.append(digits[sum >> 4]).append(digits[sum & 15]);
    return text;
}

std::optional<std::vector<uint8_t>> ProfileFile::decodeStruct(const QByteArray& text, size_t size)
{
    if (static_cast<size_t>(text.size()) != size * 2 + 2)
        return std::nullopt;
    std::vector<uint8_t> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        const int hi = hexDigit(text[static_cast<qsizetype>(2 * i)]);
        const int lo = hexDigit(text[static_cast<qsizetype>(2 * i + 1)]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    if (sum != bytes[size])
        return std::nullopt;
    bytes.pop_back();
    return bytes;
}

bool ProfileFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A line end inside the value would split it into lines of its own.
    QByteArray bytes = value.toUtf8();
    bytes.replace('\r', ' ').replace('\n', ' ');
    return update(section, key, bytes);
}

bool ProfileFile::writeInt(const QString& section, const QString& key, int value)
{
    return update(section, key, QByteArray::number(value));
}

bool ProfileFile::writeBool(const QString& section, const QString& key, bool value)
{
    return update(section, key, value ? "1" : "0");
}

bool ProfileFile::writeDouble(const QString& section, const QString& key, double value)
{
    return update(section, key, QByteArray::number(value, 'f', 6));
}

bool ProfileFile::writeStruct(const QString& section, const QString& key, const void* data, size_t size)
{
    return update(section, key, encodeStruct(data, size));
}

bool ProfileFile::removeKey(const QString& section, const QString& key)
{
    return update(section, key, std::nullopt);
}

bool ProfileFile::removeSection(const QString& section)
{
    return update(section, QString(), std::nullopt);
}

bool ProfileFile::update(const QString& section, const QString& key,
                         const std::optional<QByteArray>& value)
{
    if (section.isEmpty() || section.contains(u']') || key.contains(u'=')
        || section.contains(u'\n') || key.contains(u'\n'))
        return false;
    IniText text = readIni(m_path);
    if (!text.usable)
        return false;
    const QByteArray keyBytes = key.toUtf8();
    const auto range = findSection(text, section);
    if (key.isEmpty()) {
        if (!range)
            return true;
        text.lines.erase(text.lines.begin() + static_cast<ptrdiff_t>(range->first),
                         text.lines.begin() + static_cast<ptrdiff_t>(range->second));
    } else if (!range) {
        if (!value)
            return true;
        if (!text.lines.empty() && !text.lines.back().trimmed().isEmpty())
            text.lines.emplace_back();
        text.lines.push_back('[' + section.toUtf8() + ']');
        text.lines.push_back(keyBytes + '=' + *value);
    } else {
        size_t found = range->second;
        for (size_t i = range->first + 1; i < range->second; ++i) {
            const auto k = keyOf(text.lines[i]);
            if (k && sameName(*k, key)) {
                found = i;
                break;
            }
        }
        if (found != range->second) {
            if (value)  // keep the key's spelling as the file has it
                text.lines[found] = *keyOf(text.lines[found]) + '=' + *value;
            else
                text.lines.erase(text.lines.begin() + static_cast<ptrdiff_t>(found));
        } else if (value) {
            // New keys go after the section's last non-blank line.
            size_t insertAt = range->second;
            while (insertAt > range->first + 1 && text.lines[insertAt - 1].trimmed().isEmpty())
                --insertAt;
            text.lines.insert(text.lines.begin() + static_cast<ptrdiff_t>(insertAt),
                              keyBytes + '=' + *value);
        } else {
            return true;
        }
    }

    const QByteArray eol = text.crlf ? "\r\n" : "\n";
    QByteArray out;
    for (const QByteArray& line : text.lines)
        out += line + eol;

    // A crash or a full disk leaves either the old file or the new one, never a mixture.
    return PlainFile::replace(m_path, out);
}
