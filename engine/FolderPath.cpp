#include "FolderPath.h"

#include <sys/stat.h>

namespace segmora {

bool FolderExists(const std::string &path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSeparator(std::string_view path) {
    if (!path.empty() && path.back() == PathSeparator)
        path.remove_suffix(1);
    return std::string(path);
}

bool CreateFolderPath(const std::string &path) {
    const std::string copy = WithoutTrailingSeparator(path);
    if (copy.empty() || copy == "/")
        return false;
    // Every separator after the first byte closes a level that must exist
    // before the next one can be made; a leading "/" is the root.
    for (size_t k = 1; k + 1 < copy.size(); ++k) {
        if (copy[k] != PathSeparator)
            continue;
        const std::string level = copy.substr(0, k);
        if (!FolderExists(level))
            mkdir(level.c_str(), 0777);
    }
    if (!FolderExists(copy))
        mkdir(copy.c_str(), 0777);
    return true;
}

std::string ExtractFileExt(std::string_view path) {
    const size_t nameStart =
        path.rfind(PathSeparator) == std::string_view::npos ? 0 : path.rfind(PathSeparator) + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < nameStart)
        return {};
    return std::string(path.substr(dot));
}

std::string ExtractFileName(std::string_view path) {
    const size_t slash = path.rfind(PathSeparator);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFilePath(std::string_view path) {
    const size_t slash = path.rfind(PathSeparator);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view path) {
    const size_t slash = path.rfind(PathSeparator);
    if (slash == std::string_view::npos)
        return {};
    // Keep the separator when it is the root or follows another one ("//").
    if (slash == 0 || path[slash - 1] == PathSeparator)
        return std::string(path.substr(0, slash + 1));
    return std::string(path.substr(0, slash));
}

} // namespace segmora
