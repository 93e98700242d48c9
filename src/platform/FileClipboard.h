#pragma once
// Files on the clipboard in the forms Linux file managers write and read: text/uri-list,
// x-special/gnome-copied-files (Nautilus, Nemo, Thunar) and application/x-kde-cutselection
// (Dolphin), plus "Preferred DropEffect" for Windows builds (1 copy, 2 cut).

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class QClipboard;
class QMimeData;

struct ClipboardFiles {
    std::vector<QByteArray> paths;  // native
    bool cut = false;
};

namespace FileClipboard {

inline constexpr const char* kUriList = "text/uri-list";
inline constexpr const char* kGnomeCopiedFiles = "x-special/gnome-copied-files";
inline constexpr const char* kKdeCutSelection = "application/x-kde-cutselection";
inline constexpr const char* kPreferredDropEffect = "Preferred DropEffect";

// file:// URI of a native path; bytes that are not UTF-8 survive as percent escapes.
QByteArray uriFromPath(const QByteArray& path);
// The native path of a local file URI (empty host or "localhost"); empty otherwise.
QByteArray pathFromUri(const QByteArray& uri);

std::unique_ptr<QMimeData> encode(const ClipboardFiles& files);
// Reads gnome-copied-files first, then the URI list with the KDE or Windows cut marker.
// Empty when the data names no local file.
std::optional<ClipboardFiles> decode(const QMimeData& data);

}  // namespace FileClipboard

// Whether the clipboard names local files or holds an image, kept up to date from the
// clipboard's change signal.
// Command states are asked for on every selection change; reading another program's clipboard
// there waits on that program, which froze the window for seconds when it was slow. The data
// is read once per change instead.
class FileClipboardState : public QObject {
    Q_OBJECT
public:
    explicit FileClipboardState(QClipboard* clipboard, QObject* parent = nullptr);
    bool hasFiles() const { return m_hasFiles; }
    bool hasImage() const { return m_hasImage; }

    // The application's one instance (made on first use, a child of the application).
    static const FileClipboardState& instance();

private:
    void update();

    QClipboard* m_clipboard;
    bool m_hasFiles = false;
    bool m_hasImage = false;
};
