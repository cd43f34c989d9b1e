#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace segmora {

// The whole content of a regular file, or nothing when it is missing, not a
// regular file (a folder, a FIFO, a device) or cannot be read. Never blocks
// on a FIFO.
std::optional<std::string> ReadWholeFile(const std::string &path);

// rename(2) or a stand-in for it (tests use one that fails).
using RenameFunction = int (*)(const char *from, const char *to);

// Replaces the file at path by bytes so that a crash or a failure leaves
// either the old file or the new one, never a part: the bytes go to a new
// file in the same folder, are flushed to the disk, and that file is renamed
// over the old one. A symbolic link is followed, so the file it names is
// replaced and the link stays. An existing file that this process may not
// write is refused (a read-only settings file stays as it is). The new file gets the old one's
// permissions. Throws std::system_error on any failure; the old file is then untouched and no
// temporary file is left behind.
void WriteFileAtomically(const std::string &path, std::string_view bytes,
                         RenameFunction renameFile = nullptr);

} // namespace segmora
