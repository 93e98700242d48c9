#pragma once
// Files on the clipboard in the forms Linux file managers write and read: text/uri-list,
// x-special/gnome-copied-files (Nautilus, Nemo, Thunar) and application/x-kde-cutselection
// (Dolphin), plus "Preferred DropEffect" for Windows builds (1 copy, 2 cut).

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

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
