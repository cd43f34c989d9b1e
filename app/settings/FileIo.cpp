#include "FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "FolderPath.h"
#include "InputView.h"

namespace segmora {
namespace {

[[noreturn]] void Fail(int error, const std::string &what) {
    throw std::system_error(error, std::generic_category(), what);
}

// Closes a descriptor and removes a half-made file unless released.
class TemporaryFile {
public:
    TemporaryFile(int fd, std::string path) : Fd(fd), Path(std::move(path)) {}
    ~TemporaryFile() {
        if (Fd >= 0)
            ::close(Fd);
        if (!Path.empty())
            ::unlink(Path.c_str());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    int Fd;
    std::string Path;
};

// The file a path names after following symbolic links; the path itself when
// it names nothing yet.
std::string ResolvedTarget(const std::string &path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char *resolved = ::realpath(path.c_str(), nullptr)) {
            std::string target(resolved);
            std::free(resolved);
            return target;
        }
    }
    return path;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string &path) {
    // The input file's reader: regular files only, never blocking.
    std::unique_ptr<char[]> buffer;
    size_t size = 0;
    if (!ReadWholeFile(path, buffer, size, nullptr))
        return std::nullopt;
    return std::string(buffer.get(), size);
}

void WriteFileAtomically(const std::string &path, std::string_view bytes,
                         RenameFunction renameFile) {
    if (!renameFile)
        renameFile = &std::rename;
    const std::string target = ResolvedTarget(path);

    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        Fail(EISDIR, target);
    if (exists && ::access(target.c_str(), W_OK) != 0)
        Fail(errno, target);

    std::string folder = ExtractFileDir(target);
    if (folder.empty())
        folder = ".";
    std::string name = target.substr(ExtractFilePath(target).size());

    // A name of our own in the same folder, so the rename stays on one file
    // system; O_EXCL never takes over a file that is there already.
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = ExtractFilePath(target) + "." + name + ".tmp" + std::to_string(::getpid()) +
                    "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            Fail(errno, temporary);
    }
    TemporaryFile file(fd, temporary);
    if (exists)
        ::fchmod(fd, old.st_mode & 07777);

    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno, temporary);
        }
        written += static_cast<size_t>(put);
    }
    if (::fsync(fd) != 0)
        Fail(errno, temporary);
    const int closed = ::close(fd);
    file.Fd = -1;
    if (closed != 0)
        Fail(errno, temporary);
    if (renameFile(temporary.c_str(), target.c_str()) != 0)
        Fail(errno, target);
    file.Path.clear();

    // Makes the rename itself durable; a failure here changes nothing the
    // user could act on, the new file is in place.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

} // namespace segmora
