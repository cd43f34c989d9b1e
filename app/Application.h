#pragma once

#include <QApplication>

namespace segmora {

// The application object. An error that escapes an event handler ends up
// here, in one place, and is shown in the standard error box; the event loop
// goes on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace segmora
