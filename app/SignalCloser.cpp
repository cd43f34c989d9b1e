#include "SignalCloser.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace segmora {
namespace {

int Pipe[2] = {-1, -1};
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost.
    [[maybe_unused]] const ssize_t written = write(Pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

SignalCloser::SignalCloser(QObject *parent) : QObject(parent) {
    if (pipe2(Pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    Notifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, &SignalCloser::ReadPipe);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : Signals)
        sigaction(signal, &action, nullptr);
}

SignalCloser::~SignalCloser() {
    for (int signal : Signals)
        std::signal(signal, SIG_DFL);
    delete Notifier;
    for (int &fd : Pipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

void SignalCloser::ReadPipe() {
    char buffer[64];
    while (read(Pipe[0], buffer, sizeof buffer) > 0) {
    }
    emit CloseRequested();
}

} // namespace segmora
