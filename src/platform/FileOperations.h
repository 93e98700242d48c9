#pragma once
// File operations the browser performs directly on the file system. Paths are native bytes.
// Nothing here shows a window: questions go to callbacks the caller supplies, and every
// failure comes back with a message a user can read, so no loss of a file goes unreported.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace FileOperations {

// Renames `oldPath` to `newPath` (native paths). Never replaces an existing file or folder,
// and refuses mount points and the root; false on any failure.
bool RenamePath(const QByteArray& oldPath, const QByteArray& newPath);
// Gives the item `newName` in its own folder. A name that would lead elsewhere (a "/" in it,
// "." or "..", a NUL byte, as a pasted name may bring) is refused like a taken one. The new
// path on success, empty otherwise.
QByteArray RenameInFolder(const QByteArray& path, const QByteArray& newName);

// "New Folder", or "New Folder (n)" with the smallest n ≥ 2 that no name equals ignoring case.
QString MakeNewFolderName(const QStringList& names);
// Creates one folder; false when it exists or cannot be made.
bool CreateFolder(const QByteArray& path);

// Whether `path` is `folder` itself or lies below it (by path components, not by prefix).
bool isSameOrInside(const QByteArray& path, const QByteArray& folder);
// The name a copy into its own folder gets: "name (copy).ext", then "name (copy 2).ext"…,
// the first that `exists` says is free. Folders and dot files keep their whole name as stem.
QByteArray copyNameFor(const QByteArray& name, bool isFolder, const std::function<bool(const QByteArray&)>& exists);

enum class TransferKind { Copy, Move };
enum class ConflictChoice { Replace, Skip, Cancel };

struct TransferCallbacks {
    // An item of that name is already in the target folder (never asked for the source's own
    // folder, where copies get new names). Without a callback the item is skipped.
    std::function<ConflictChoice(const QByteArray& source, const QByteArray& existing)> askConflict;
    // Bytes done of the total before each chunk; returning false cancels between items.
    std::function<bool(std::uint64_t done, std::uint64_t total)> progress;
};

struct TransferResult {
    bool ok = true;                       // false when an item failed or the work was refused
    bool cancelled = false;
    int transferred = 0;
    QString error;                        // the first failure, for a message box
    std::vector<QByteArray> createdPaths; // where the items went
};

// Copies or moves the items into `targetFolder`. Refused as a whole, before anything
// changes, when the target is one of the folders or inside one. A failed item leaves its
// source as it was and no partial copy behind; the other items still go.
TransferResult transfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                        const TransferCallbacks& callbacks = {});

// Moves the item to the freedesktop trash of its volume: `$XDG_DATA_HOME/Trash` on the home
// volume, else `$topdir/.Trash/$uid` or `$topdir/.Trash-$uid`. The info file is written first
// so another program can always restore what it finds in files/.
bool MoveToTrash(const QByteArray& path, QString* error = nullptr);
// The home trash folder ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash).
QByteArray homeTrashFolder();
// "Path=" value of a trash info file: percent-encoded, keeping '/' as it is.
QByteArray trashInfoPath(const QByteArray& path);

// Removes a file, a link (never its target) or a whole folder tree.
bool DeletePermanently(const QByteArray& path, QString* error = nullptr);

}  // namespace FileOperations
