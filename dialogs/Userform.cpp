#include "Userform.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogTexts.h"
#include "OpenFilter.h"
#include "Prompt.h"
#include "UiText.h"

namespace segmora {

namespace {

constexpr int ClientWidth = 379;
constexpr int ClientHeight = 173;
constexpr int FontPixels = 12;
constexpr int LabelGap = 3; // between a field's label and the field
constexpr QChar Enter(13);
constexpr QChar Backspace(8);

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TUser::TUser(SettingsFields &fields, QWidget *owner)
    : QDialog(owner), Fields(fields), Owner(owner) {
    setObjectName(QStringLiteral("User"));
    setWindowTitle(Text(dialogtexts::UserCaption));
    // A fixed border and a title bar without any buttons: the three buttons
    // are the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFont(GothicProportionalFont(FontPixels));
    setFixedSize(ClientWidth, ClientHeight);

    auto labeledEdit = [this](const char *name, const char *label, QRect bounds,
                              QLabel *&labelWidget) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setGeometry(bounds);
        labelWidget = new QLabel(Text(label), this);
        labelWidget->setObjectName(QString::fromUtf8(name) + QStringLiteral("Label"));
        labelWidget->adjustSize();
        labelWidget->move(bounds.left(), bounds.top() - labelWidget->height() - LabelGap);
        labelWidget->setBuddy(edit);
        edit->installEventFilter(this);
        return edit;
    };
    LabeledEdit1 =
        labeledEdit("LabeledEdit1", dialogtexts::Label1, QRect(16, 32, 233, 20), LabeledEdit1Label);
    LabeledEdit2 = labeledEdit("LabeledEdit2", dialogtexts::Label2, QRect(256, 32, 105, 20),
                               LabeledEdit2Label);
    LabeledEdit3 =
        labeledEdit("LabeledEdit3", dialogtexts::Label3, QRect(16, 80, 233, 20), LabeledEdit3Label);
    LabeledEdit4 =
        labeledEdit("LabeledEdit4", dialogtexts::Label4, QRect(256, 80, 97, 20), LabeledEdit4Label);

    auto button = [this](const char *name, const char *caption, QRect bounds) {
        auto *pushButton = new QPushButton(Text(caption), this);
        pushButton->setObjectName(QString::fromUtf8(name));
        pushButton->setGeometry(bounds);
        return pushButton;
    };
    Button1 = button("Button1", dialogtexts::Button1, QRect(64, 128, 113, 25));
    Button2 = button("Button2", dialogtexts::Button2, QRect(208, 128, 57, 25));
    Button3 = button("Button3", dialogtexts::Button3, QRect(288, 128, 65, 25));
    // Enter clicks the focused button only; in a field it is the field's own
    // key (see the key handlers), never a hidden default button.
    for (QPushButton *pushButton : {Button1, Button2, Button3})
        pushButton->setDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TUser::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TUser::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TUser::Button3Click);

    setTabOrder(LabeledEdit1, LabeledEdit2);
    setTabOrder(LabeledEdit2, LabeledEdit3);
    setTabOrder(LabeledEdit3, LabeledEdit4);
    setTabOrder(LabeledEdit4, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
}

void TUser::FillFields() {
    LabeledEdit1->setText(FromNative(Fields.User1_Name));
    LabeledEdit2->setText(FromNative(Fields.User1_Mask));
    LabeledEdit3->setText(FromNative(Fields.User2_Name));
    LabeledEdit4->setText(FromNative(Fields.User2_Mask));
}

void TUser::FormShow() {
    if (Owner)
        move(Owner->pos()); // frame corner on frame corner
    FillFields();
}

void TUser::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TUser::Button1Click() {
    for (QLineEdit *mask : {LabeledEdit2, LabeledEdit4}) {
        if (mask->text().isEmpty())
            mask->setText(Text(dialogtexts::EmptyMask));
        else
            mask->setText(FromNative(NormalizeMask(ToNative(mask->text()))));
    }
    if (LabeledEdit1->text().isEmpty())
        LabeledEdit1->setText(Text(dialogtexts::EmptyName1));
    if (LabeledEdit3->text().isEmpty())
        LabeledEdit3->setText(Text(dialogtexts::EmptyName2));
    Fields.User1_Name = ToNative(LabeledEdit1->text());
    Fields.User1_Mask = ToNative(LabeledEdit2->text());
    Fields.User2_Name = ToNative(LabeledEdit3->text());
    Fields.User2_Mask = ToNative(LabeledEdit4->text());
    accept();
}

void TUser::Button2Click() {
    FillFields();
    reject();
}

void TUser::Button3Click() {
    reject();
}

void TUser::LabeledEdit1KeyPress(QChar &key) {
    if (key == Enter) {
        Button1->setFocus(Qt::OtherFocusReason);
        key = QChar();
    }
}

void TUser::LabeledEdit2KeyPress(QChar &key) {
    MaskKeyPress(LabeledEdit2, key);
}

void TUser::LabeledEdit4KeyPress(QChar &key) {
    MaskKeyPress(LabeledEdit4, key);
}

void TUser::MaskKeyPress(QLineEdit *field, QChar &key) {
    if (key == Enter) {
        // Consumed either way: an empty field keeps the focus and nothing
        // else happens.
        key = QChar();
        if (!field->text().isEmpty()) {
            field->setText(FromNative(NormalizeMask(ToNative(field->text()))));
            Button1->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (key != Backspace && !key.isNull() && Text(dialogtexts::RefusedInMask).contains(key)) {
        key = QChar();
        Prompt::Ok(this, Text(dialogtexts::RefusedMaskMessage),
                   Text(dialogtexts::RefusedMaskCaption), QMessageBox::Critical);
    }
}

bool TUser::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    QString typed = keyEvent->text();
    if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter)
        typed = QString(Enter);
    else if (keyEvent->key() == Qt::Key_Backspace)
        typed = QString(Backspace);
    if (typed.isEmpty()) // arrows, function keys: not characters
        return QDialog::eventFilter(watched, event);

    // The handlers see each typed character; one discarded character
    // discards the whole key press.
    for (QChar key : typed) {
        if (watched == LabeledEdit1 || watched == LabeledEdit3)
            LabeledEdit1KeyPress(key);
        else if (watched == LabeledEdit2)
            LabeledEdit2KeyPress(key);
        else if (watched == LabeledEdit4)
            LabeledEdit4KeyPress(key);
        if (key.isNull())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TUser::keyPressEvent(QKeyEvent *event) {
    // Escape does not close the dialog: only its three buttons do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace segmora
