#pragma once
// Replacing a file without ever damaging it: the new content goes into a temporary file
// beside the target, which is flushed to disk and renamed over the target. The target keeps
// its permissions; a new file gets the ones the user's umask allows.

#include <QString>

#include <functional>

namespace SafeSave {

// Calls `write` with the temporary file's path; on success renames it over `target`.
// On any failure the temporary file is removed and `target` is untouched.
bool writeReplacing(const QString& target, const std::function<bool(const QString& tempPath)>& write);

}  // namespace SafeSave
