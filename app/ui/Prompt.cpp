#include "Prompt.h"

#include "UiTexts.h"

#include <QPushButton>

namespace segmora {

Prompt::Handler &Prompt::CurrentHandler() {
    static Handler handler;
    return handler;
}

void Prompt::SetHandler(Handler handler) {
    CurrentHandler() = std::move(handler);
}

QMessageBox *Prompt::MakeBox(const PromptRequest &request) {
    auto *box = new QMessageBox(request.Icon, request.Caption, request.Text, QMessageBox::NoButton,
                                request.Parent);
    if (request.YesNo) {
        box->addButton(QMessageBox::Yes)->setText(QString::fromUtf8(uitexts::YesButton));
        box->addButton(QMessageBox::No)->setText(QString::fromUtf8(uitexts::NoButton));
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->addButton(QMessageBox::Ok);
    }
    if (request.Position)
        box->move(*request.Position);
    return box;
}

QMessageBox::StandardButton Prompt::Show(const PromptRequest &request) {
    if (CurrentHandler())
        return CurrentHandler()(request);
    std::unique_ptr<QMessageBox> box(MakeBox(request));
    box->exec();
    if (auto *clicked = box->clickedButton())
        return box->standardButton(clicked);
    return QMessageBox::NoButton;
}

QMessageBox::StandardButton Prompt::Ok(QWidget *parent, const QString &text, const QString &caption,
                                       QMessageBox::Icon icon) {
    PromptRequest request;
    request.Parent = parent;
    request.Text = text;
    request.Caption = caption;
    request.Icon = icon;
    return Show(request);
}

QString Prompt::StandardErrorText(const QString &message) {
    // An empty message stays empty: there is no last character to end.
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}

void Prompt::StandardError(QWidget *parent, const QString &message) {
    Ok(parent, StandardErrorText(message), QString::fromUtf8(uitexts::ApplicationTitle),
       QMessageBox::Critical);
}

} // namespace segmora
