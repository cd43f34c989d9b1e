#pragma once

#include <QDialog>

#include "Settings.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace segmora {

// The user-types dialog: the display names and masks of the two user file
// types of the open dialog's filter. Made once and shown modally again and
// again; its fields are refilled from the stored values at every showing, so
// an abandoned edit never comes back. It edits the four User fields of the
// SettingsFields it is given (the main window's own), which must outlive it.
class TUser : public QDialog {
    Q_OBJECT
public:
    // owner: the window whose top-left corner the dialog takes at every
    // showing (the main window); it is also the dialog's parent.
    TUser(SettingsFields &fields, QWidget *owner);

    // Controls, named after the window design.
    QLineEdit *LabeledEdit1 = nullptr; // user type 1: display name
    QLineEdit *LabeledEdit2 = nullptr; // user type 1: mask
    QLineEdit *LabeledEdit3 = nullptr; // user type 2: display name
    QLineEdit *LabeledEdit4 = nullptr; // user type 2: mask
    QLabel *LabeledEdit1Label = nullptr;
    QLabel *LabeledEdit2Label = nullptr;
    QLabel *LabeledEdit3Label = nullptr;
    QLabel *LabeledEdit4Label = nullptr;
    QPushButton *Button1 = nullptr; // "変更": complete, store, close
    QPushButton *Button2 = nullptr; // "中止": restore the fields, close
    QPushButton *Button3 = nullptr; // "戻る": close

    // Handlers.
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    // Key handlers of the name fields (both) and the mask fields: key is the
    // typed character (13 for Enter, 8 for backspace); a handler sets it to
    // the null character to discard it.
    void LabeledEdit1KeyPress(QChar &key);
    void LabeledEdit2KeyPress(QChar &key);
    void LabeledEdit4KeyPress(QChar &key);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void MaskKeyPress(QLineEdit *field, QChar &key);
    void FillFields();

    SettingsFields &Fields;
    QWidget *Owner;
};

} // namespace segmora
