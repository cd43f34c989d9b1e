#include "ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include "MainTexts.h"
#include "UiTexts.h"

namespace segmora {
namespace {

const QString Service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString Path = QStringLiteral("/org/freedesktop/ScreenSaver");

// A missing service answers at once; a hung one must not hold the window for
// long.
constexpr int CallTimeoutMs = 1000;

} // namespace

void ScreenSaverSwitch::SetActive(bool active) {
    if (active == !Cookie.has_value())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Cookie.reset();
        return;
    }
    if (active) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("UnInhibit"));
        call << *Cookie;
        bus.send(call);
        Cookie.reset();
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Inhibit"));
    call << QString::fromUtf8(uitexts::ApplicationTitle)
         << QString::fromUtf8(mainTexts::ScreenSaverReason);
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        Cookie = reply.arguments().constFirst().toUInt();
}

} // namespace segmora
