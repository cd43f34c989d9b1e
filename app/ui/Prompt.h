#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace segmora {

// Every message box of the program goes through Prompt::Show, so that tests
// can answer a box without a modal loop and read back what it said.
struct PromptRequest {
    QWidget *Parent = nullptr;
    QString Text;
    QString Caption;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    bool YesNo = false;             // "はい(&Y)" / "いいえ(&N)"; otherwise OK only
    std::optional<QPoint> Position; // top-left corner in screen coordinates
};

class Prompt {
public:
    // Shows the box modally and returns QMessageBox::Ok, Yes, No, or
    // NoButton when it was closed some other way.
    static QMessageBox::StandardButton Show(const PromptRequest &request);
    // An OK-only box: the common case of Show.
    static QMessageBox::StandardButton Ok(QWidget *parent, const QString &text,
                                          const QString &caption, QMessageBox::Icon icon);

    // Tests install a handler that answers instead of a real box; an empty
    // handler brings the real boxes back.
    using Handler = std::function<QMessageBox::StandardButton(const PromptRequest &)>;
    static void SetHandler(Handler handler);

    // The standard error box: caption "Segmora", stop icon, OK; the message
    // ends with "." unless its last character is "." or sorts below it.
    static void StandardError(QWidget *parent, const QString &message);
    static QString StandardErrorText(const QString &message);

    // The real box a request describes, not yet shown (tests inspect it).
    static QMessageBox *MakeBox(const PromptRequest &request);

private:
    static Handler &CurrentHandler();
};

} // namespace segmora
