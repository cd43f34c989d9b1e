#pragma once

#include <QtGlobal>
#include <optional>

namespace segmora {

// The screen-saver switch: org.freedesktop.ScreenSaver Inhibit / UnInhibit on
// the session bus. Without a session bus or a screen-saver service it does
// nothing. Held off at destruction, it is let go.
class ScreenSaverSwitch {
public:
    ScreenSaverSwitch() = default;
    ScreenSaverSwitch(const ScreenSaverSwitch &) = delete;
    ScreenSaverSwitch &operator=(const ScreenSaverSwitch &) = delete;
    ~ScreenSaverSwitch() { SetActive(true); }

    // false: hold the screen saver off; true: let it run again.
    void SetActive(bool active);
    // true while a hold obtained from the service is in place.
    bool Holding() const { return Cookie.has_value(); }

private:
    std::optional<quint32> Cookie;
};

} // namespace segmora
