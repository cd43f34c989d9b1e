#pragma once

#include <string>

namespace segmora {

// The single-instance guard: an exclusive flock on a lock file named after
// the executable's file name. The kernel lets go of it when the process ends,
// however it ends.
class SingleInstance {
public:
    enum class State {
        Acquired,      // this process is the only one of that name
        HeldElsewhere, // another process of that name holds the lock
        Unavailable,   // no lock file could be made; the program runs unguarded
    };

    explicit SingleInstance(const std::string &executableFileName);
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;
    ~SingleInstance();

    State Result() const { return Outcome; }

    // $XDG_RUNTIME_DIR/<name>.lock; without a usable runtime folder
    // <temp folder>/<name>-<user id>.lock.
    static std::string LockPath(const std::string &executableFileName);

private:
    int Fd = -1;
    State Outcome = State::Unavailable;
};

// The running executable's full path (through /proc/self/exe), or fallback
// when that cannot be read.
std::string ExecutablePath(const std::string &fallback);

// The file-name part of a path.
std::string FileNameOf(const std::string &path);

} // namespace segmora
