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
// Replace means "merge" for a folder over a folder: the contents are combined and each name
// taken inside is asked about in turn. The "All" answers hold for the rest of the operation.
enum class ConflictChoice { Replace, Skip, Cancel, ReplaceAll, SkipAll };

struct Conflict {
    QByteArray source;
    QByteArray existing;
    bool folders = false;  // both are folders: replacing merges them
};
// Without a question a conflict is skipped.
using ConflictQuestion = std::function<ConflictChoice(const Conflict&)>;

// One step of a planned copy or move. Place puts the item under a name that was free when
// planned (and fails rather than overwrite if it no longer is); Replace puts it over an
// existing file or link; RemoveSourceFolder removes a merged-away folder once it is empty.
struct TransferStep {
    enum class Action { Place, Replace, RemoveSourceFolder };
    Action action = Action::Place;
    QByteArray source;
    QByteArray dest;
};

// Everything a copy or move will do, decided before any byte moves, so every question is
// asked while nothing else is on the screen.
struct TransferPlan {
    TransferKind kind = TransferKind::Copy;
    std::vector<TransferStep> steps;
    bool ok = true;          // false when refused as a whole or an item cannot go
    bool cancelled = false;  // a question was cancelled: nothing is to be done
    QString error;           // the first problem, for a message box
};

struct TransferResult {
    bool ok = true;                       // false when an item failed or the work was refused
    bool cancelled = false;
    int transferred = 0;
    QString error;                        // the first failure, for a message box
    std::vector<QByteArray> createdPaths; // where the items went
};

// Bytes done of the total, before each chunk and after each step; returning false cancels.
using TransferProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Plans copying or moving the items into `targetFolder`, asking about every name taken there.
// Refused as a whole when the target is one of the folders or inside one. Into the items' own
// folder copies get copy names and moves do nothing. Reads the file system, writes nothing.
TransferPlan planTransfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                          const ConflictQuestion& askConflict = {});
// Carries the plan out; meant for a worker thread. A failed item leaves its source as it was
// and no partial copy behind; the other items still go. Moves within one file system rename.
TransferResult runTransfer(const TransferPlan& plan, const TransferProgress& progress = {});

// planTransfer then runTransfer on the calling thread.
TransferResult transfer(TransferKind kind, const std::vector<QByteArray>& sources, const QByteArray& targetFolder,
                        const ConflictQuestion& askConflict = {}, const TransferProgress& progress = {});

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
