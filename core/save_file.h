// Saving a user's file: the one way every writer (system, native and tab
// files, RTF and Excel-HTML documents) puts a file on disk, so that all of
// them treat links, devices, modes and failures alike.
//
// - A symbolic link is followed to the end of its chain and the file it
//   points at is saved; the link stays a link. A dangling link creates the
//   file it points at.
// - A regular file (or a new one) is written to a temporary file beside it,
//   which replaces it only after everything was written and closed: a failed
//   save leaves the old file as it was and no temporary behind.
// - A new file gets the mode the umask leaves of 0666; a replaced file keeps
//   its mode and, where the system allows (as root), its owner and group.
// - A FIFO or a character device (/dev/null, a terminal) is never replaced:
//   it is written directly, but only when it can be opened without waiting.
//   A FIFO with no reader fails at once (ENXIO) instead of hanging the save.
// - A directory, a block device or a socket is refused.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace vop {

// Write `path` through `write`, which returns false when it could not write
// everything. True when the target now holds the complete new content. On
// failure errno tells why when the system knew (0 when only `write` failed).
bool save_file(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace vop
