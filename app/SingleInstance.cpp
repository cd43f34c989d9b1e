#include "SingleInstance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FolderPath.h"

namespace segmora {
namespace {

bool IsFolder(const char *path) {
    struct stat st {};
    return path != nullptr && *path != '\0' && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string SingleInstance::LockPath(const std::string &executableFileName) {
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsFolder(runtime))
        return std::string(runtime) + "/" + executableFileName + ".lock";
    const char *temp = std::getenv("TMPDIR");
    const std::string folder = IsFolder(temp) ? temp : "/tmp";
    return folder + "/" + executableFileName + "-" + std::to_string(getuid()) + ".lock";
}

SingleInstance::SingleInstance(const std::string &executableFileName) {
    // O_NOFOLLOW: in a shared temp folder a planted link must not lead the
    // lock elsewhere; such a file makes the guard unavailable, not the program.
    Fd =
        open(LockPath(executableFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Fd < 0)
        return;
    int result;
    do
        result = flock(Fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result == 0) {
        Outcome = State::Acquired;
    } else {
        Outcome = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
        close(Fd);
        Fd = -1;
    }
}

SingleInstance::~SingleInstance() {
    if (Fd >= 0)
        close(Fd);
}

std::string ExecutablePath(const std::string &fallback) {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer)
        return fallback;
    return std::string(buffer, static_cast<size_t>(length));
}

std::string FileNameOf(const std::string &path) {
    return ExtractFileName(path);
}

} // namespace segmora
