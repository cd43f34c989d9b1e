#pragma once

#include <QObject>

class QSocketNotifier;

namespace segmora {

// Turns SIGTERM, SIGINT and SIGHUP (the session's log-off and shutdown, a
// terminal's Ctrl+C and hang-up) into a close request on the GUI thread: the
// handler only writes a byte to a pipe, which a socket notifier reads in the
// event loop (or at a pump of a running division). One instance per process.
class SignalCloser : public QObject {
    Q_OBJECT
public:
    explicit SignalCloser(QObject *parent = nullptr);
    ~SignalCloser() override;

signals:
    void CloseRequested();

private:
    void ReadPipe();
    QSocketNotifier *Notifier = nullptr;
};

} // namespace segmora
