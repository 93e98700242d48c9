#pragma once
// The quality a JPEG file was written at, estimated from its luminance quantisation table
// the way the common encoder derives that table from a quality, so an edited photo can be
// written back at the quality it came with instead of the library's default.

#include <QString>

#include <array>
#include <optional>

namespace JpegQuality {

// Used when a file's quality cannot be estimated (not a JPEG, no table, unreadable).
inline constexpr int kFallback = 90;

// 1..100: the quality whose standard luminance table lies closest to `table` (natural,
// row-major order). Tables that match no quality exactly get the nearest one.
int fromLuminanceTable(const std::array<int, 64>& table);

// Reads the markers up to the first scan; nothing when the file has no luminance table.
std::optional<int> estimate(const QString& path);

}  // namespace JpegQuality
