#include "Application.h"

#include <exception>

#include "Prompt.h"
#include "UiTexts.h"

namespace segmora {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    // The application title. No display name is set: Qt would append it to
    // every window caption.
    setApplicationName(QString::fromUtf8(uitexts::ApplicationTitle));
}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        Prompt::StandardError(activeWindow(), QString::fromUtf8(error.what()));
    } catch (...) {
        Prompt::StandardError(activeWindow(), QString());
    }
    return false;
}

} // namespace segmora
