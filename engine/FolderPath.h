#pragma once

#include <string>
#include <string_view>

// Path scanning in one place. On Linux paths are UTF-8, which never hides a
// "/" or a "." inside a multibyte character, so the scans are plain byte
// scans; a build for CP932 paths would replace this module only.
namespace segmora {

inline constexpr char PathSeparator = '/';

// true only for an existing folder (a link to a folder counts).
bool FolderExists(const std::string &path);

// Creates a missing folder and every missing folder above it, one level at a
// time, ignoring failures (a later file operation reports them). Returns false
// when the path names no folder below the root ("", "/", "//"), true when the
// attempt was made. The leading "/" of an absolute path is never created.
bool CreateFolderPath(const std::string &path);

// The path less one trailing "/".
std::string WithoutTrailingSeparator(std::string_view path);

// From the last "." of the file-name part to the end, dot included; empty
// when the file-name part has none.
std::string ExtractFileExt(std::string_view path);

// The part after the last "/" (the whole path when it has none).
std::string ExtractFileName(std::string_view path);

// The folder part with its trailing "/" (empty for a bare file name).
std::string ExtractFilePath(std::string_view path);

// The folder part without its trailing "/", except for the root "/".
std::string ExtractFileDir(std::string_view path);

} // namespace segmora
