#pragma once
// Settings file in the classic "[Section]\nKey=Value" layout. Every call reads or writes the
// file itself (no cache), so two windows that share a file always see each other's writes.
// Section and key names match ignoring case; the first of duplicate sections or keys wins.
// Writes keep every other line (comments included) and replace the file atomically.
// Numbers are written and read in the C locale whatever the user's locale, so a file stays
// readable when the session's language changes.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString& path() const { return m_path; }

    // The integer at the start of the value (optional sign, decimal digits); 0 when the
    // value has no number, `def` when the key is missing.
    int getInt(const QString& section, const QString& key, int def) const;
    // The number at the start of the value, with a decimal point; 0 when the value has no
    // number, `def` when the key is missing.
    double getDouble(const QString& section, const QString& key, double def) const;
    QString getString(const QString& section, const QString& key, const QString& def) const;
    // Fills `out` with exactly `size` bytes when the stored value has that length and a
    // matching checksum; otherwise returns false and leaves `out` alone.
    bool getStruct(const QString& section, const QString& key, void* out, size_t size) const;
    template <typename T>
    bool getStruct(const QString& section, const QString& key, T& out) const
    {
        return getStruct(section, key, &out, sizeof(T));
    }

    bool writeString(const QString& section, const QString& key, const QString& value);
    bool writeInt(const QString& section, const QString& key, int value);
    bool writeBool(const QString& section, const QString& key, bool value);
    // Six decimals, as "0.500000".
    bool writeDouble(const QString& section, const QString& key, double value);
    bool writeStruct(const QString& section, const QString& key, const void* data, size_t size);
    template <typename T>
    bool writeStruct(const QString& section, const QString& key, const T& value)
    {
        return writeStruct(section, key, &value, sizeof(T));
    }
    bool removeKey(const QString& section, const QString& key);
    bool removeSection(const QString& section);

    // The stored form of a structure: each byte as two upper-case hex digits, then the low
    // byte of the sum of the bytes as two more.
    static QByteArray encodeStruct(const void* data, size_t size);
    static std::optional<std::vector<uint8_t>> decodeStruct(const QByteArray& text, size_t size);

private:
    // A file that is there but may not be read (not a regular file, too large) reads as empty
    // and refuses writes.
    std::optional<QByteArray> rawValue(const QString& section, const QString& key) const;
    // nullopt value removes the key; empty key removes the whole section.
    bool update(const QString& section, const QString& key, const std::optional<QByteArray>& value);

    QString m_path;
};
