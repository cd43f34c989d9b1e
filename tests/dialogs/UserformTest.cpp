#include "Userform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <vector>

#include "DialogTexts.h"
#include "OpenFilter.h"
#include "Prompt.h"
#include "Settings.h"
#include "UiText.h"

using namespace segmora;

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}
QString U(const std::string &utf8) {
    return QString::fromUtf8(utf8.c_str());
}

} // namespace

class UserformTest : public QObject {
    Q_OBJECT

    SettingsFields Fields;
    std::vector<PromptRequest> Boxes;
    QWidget *Owner = nullptr;
    TUser *Dialog = nullptr;

    void ShowDialog() {
        Dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(Dialog));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        Fields = DefaultSettings();
        Boxes.clear();
        Prompt::SetHandler([this](const PromptRequest &request) {
            Boxes.push_back(request);
            return QMessageBox::Ok;
        });
        Owner = new QWidget;
        Owner->resize(500, 400);
        Owner->move(120, 90);
        Owner->show();
        QVERIFY(QTest::qWaitForWindowExposed(Owner));
        Dialog = new TUser(Fields, Owner);
    }

    void cleanup() {
        delete Owner; // and the dialog with it
        Owner = nullptr;
        Dialog = nullptr;
        Prompt::SetHandler({});
    }

    void layoutAsDesigned() {
        ShowDialog();
        QCOMPARE(Dialog->windowTitle(), U(dialogtexts::UserCaption));
        QCOMPARE(Dialog->size(), QSize(379, 173));
        QCOMPARE(Dialog->minimumSize(), Dialog->maximumSize());
        QVERIFY(!(Dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!(Dialog->windowFlags() & Qt::WindowSystemMenuHint));
        QVERIFY(Dialog->isModal());

        const struct {
            QWidget *Control;
            QRect Bounds;
        } controls[] = {
            {Dialog->LabeledEdit1, QRect(16, 32, 233, 20)},
            {Dialog->LabeledEdit2, QRect(256, 32, 105, 20)},
            {Dialog->LabeledEdit3, QRect(16, 80, 233, 20)},
            {Dialog->LabeledEdit4, QRect(256, 80, 97, 20)},
            {Dialog->Button1, QRect(64, 128, 113, 25)},
            {Dialog->Button2, QRect(208, 128, 57, 25)},
            {Dialog->Button3, QRect(288, 128, 65, 25)},
        };
        for (const auto &control : controls)
            QCOMPARE(control.Control->geometry(), control.Bounds);
        // The first field has the focus; Tab walks the table's order and
        // comes back round.
        QTRY_COMPARE(QApplication::focusWidget(), controls[0].Control);
        for (size_t i = 1; i <= std::size(controls); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), controls[i % std::size(controls)].Control);
        }

        const std::pair<QLabel *, QLineEdit *> labels[] = {
            {Dialog->LabeledEdit1Label, Dialog->LabeledEdit1},
            {Dialog->LabeledEdit2Label, Dialog->LabeledEdit2},
            {Dialog->LabeledEdit3Label, Dialog->LabeledEdit3},
            {Dialog->LabeledEdit4Label, Dialog->LabeledEdit4}};
        for (const auto &[label, edit] : labels) {
            QCOMPARE(label->geometry().left(), edit->geometry().left());
            QCOMPARE(label->geometry().bottom() + 1 + 3, edit->geometry().top());
            QVERIFY(label->geometry().top() >= 0);
            // The caption fits its label (nothing clipped).
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        }
        QCOMPARE(Dialog->LabeledEdit1Label->text(), U(dialogtexts::Label1));
        QCOMPARE(Dialog->LabeledEdit4Label->text(), U(dialogtexts::Label4));
        QCOMPARE(Dialog->Button2->text(), U(dialogtexts::Button2));
    }

    void placedOnOwnerAtEveryShowing() {
        ShowDialog();
        QCOMPARE(Dialog->pos(), Owner->pos());
        Dialog->move(10, 10);
        Dialog->Button3->click();
        QVERIFY(!Dialog->isVisible());
        Owner->move(300, 200);
        QTRY_COMPARE(Owner->pos(), QPoint(300, 200));
        ShowDialog();
        QCOMPARE(Dialog->pos(), QPoint(300, 200));
    }

    void fieldsRefilledAtEveryShowing() {
        Fields.User1_Name = "ABC";
        Fields.User1_Mask = "*.abc";
        ShowDialog();
        QCOMPARE(Dialog->LabeledEdit1->text(), U("ABC"));
        QCOMPARE(Dialog->LabeledEdit2->text(), U("*.abc"));
        QCOMPARE(Dialog->LabeledEdit3->text(), U(Fields.User2_Name));
        QCOMPARE(Dialog->LabeledEdit4->text(), U("*.*"));
        // An edit abandoned with "戻る" is gone at the next showing.
        Dialog->LabeledEdit1->setText(U("XYZ"));
        QTest::mouseClick(Dialog->Button3, Qt::LeftButton);
        QVERIFY(!Dialog->isVisible());
        QCOMPARE(Fields.User1_Name, std::string("ABC"));
        ShowDialog();
        QCOMPARE(Dialog->LabeledEdit1->text(), U("ABC"));
    }

    void cancelRestoresStoredValues() {
        const SettingsFields before = Fields;
        ShowDialog();
        for (QLineEdit *field : {Dialog->LabeledEdit1, Dialog->LabeledEdit2, Dialog->LabeledEdit3,
                                 Dialog->LabeledEdit4})
            field->setText(U("edited"));
        QTest::mouseClick(Dialog->Button2, Qt::LeftButton);
        QVERIFY(!Dialog->isVisible());
        QCOMPARE(Dialog->LabeledEdit1->text(), U(before.User1_Name));
        QCOMPARE(Dialog->LabeledEdit2->text(), U(before.User1_Mask));
        QCOMPARE(Dialog->LabeledEdit3->text(), U(before.User2_Name));
        QCOMPARE(Dialog->LabeledEdit4->text(), U(before.User2_Mask));
        QCOMPARE(Fields.User1_Name, before.User1_Name);
        QCOMPARE(Fields.User1_Mask, before.User1_Mask);
        QCOMPARE(Fields.User2_Name, before.User2_Name);
        QCOMPARE(Fields.User2_Mask, before.User2_Mask);
    }

    void changeCompletesEmptyFields() {
        ShowDialog();
        for (QLineEdit *field : {Dialog->LabeledEdit1, Dialog->LabeledEdit2, Dialog->LabeledEdit3,
                                 Dialog->LabeledEdit4})
            field->clear();
        QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
        QVERIFY(!Dialog->isVisible());
        QCOMPARE(Dialog->result(), int(QDialog::Accepted));
        QCOMPARE(Dialog->LabeledEdit1->text(), U(dialogtexts::EmptyName1));
        QCOMPARE(Dialog->LabeledEdit2->text(), U("*.*"));
        QCOMPARE(U(Fields.User1_Name), U("ﾕｰｻﾞ定義1"));
        QCOMPARE(U(Fields.User2_Name), U("ﾕｰｻﾞ定義2"));
        QCOMPARE(Fields.User1_Mask, std::string("*.*"));
        QCOMPARE(Fields.User2_Mask, std::string("*.*"));
        QVERIFY(Boxes.empty());
    }

    void masksCompleted_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare extension") << "nc2"
                                        << "*.nc2";
        QTest::newRow("leading dot") << ".nc2"
                                     << "*.nc2";
        QTest::newRow("name and extension") << "a.nc2"
                                            << "*a.nc2";
        QTest::newRow("complete mask") << "*.nc2"
                                       << "*.nc2";
        QTest::newRow("star dot inside") << "x*.y"
                                         << "x*.y";
        QTest::newRow("trailing blank kept") << "nc2 "
                                             << "*.nc2 ";
        QTest::newRow("japanese") << QString::fromUtf8("ＮＣ") << QString::fromUtf8("*.ＮＣ");
    }

    void masksCompleted() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Fields.User1_Name = "first";
        Fields.User2_Name = "second";
        ShowDialog();

        // Enter in the first mask field completes it and moves to "変更";
        // the dialog stays open.
        Dialog->LabeledEdit2->setFocus();
        QTRY_VERIFY(Dialog->LabeledEdit2->hasFocus());
        Dialog->LabeledEdit2->setText(typed);
        QTest::keyClick(Dialog->LabeledEdit2, Qt::Key_Return);
        QCOMPARE(Dialog->LabeledEdit2->text(), expected);
        QTRY_VERIFY(Dialog->Button1->hasFocus());
        QVERIFY(Dialog->isVisible());
        QCOMPARE(Fields.User1_Mask, std::string("*.*")); // not stored yet

        // "変更" completes the second one and stores both.
        Dialog->LabeledEdit4->setText(typed);
        QTest::mouseClick(Dialog->Button1, Qt::LeftButton);
        QCOMPARE(Dialog->LabeledEdit4->text(), expected);
        QCOMPARE(U(Fields.User2_Mask), expected);
        QCOMPARE(U(Fields.User2_Name), U("second"));
        // (The first field went through the completion twice, Enter and
        // "変更": a mask without "*." gains another "*" each time.)
        QCOMPARE(U(Fields.User1_Mask), expected.contains(U("*.")) ? expected : U("*") + expected);
        // The stored values are what the filter is rebuilt from.
        const std::string filter = BuildOpenFilter(Fields.User1_Name, Fields.User1_Mask,
                                                   Fields.User2_Name, Fields.User2_Mask);
        QVERIFY(U(filter).contains(U("second(") + expected + U(")|") + expected + U("|")));
    }

    void enterInFields() {
        ShowDialog();
        // Empty mask field: nothing happens, the focus stays, nothing closes.
        Dialog->LabeledEdit4->clear();
        Dialog->LabeledEdit4->setFocus();
        QTRY_VERIFY(Dialog->LabeledEdit4->hasFocus());
        QTest::keyClick(Dialog->LabeledEdit4, Qt::Key_Return);
        QVERIFY(Dialog->LabeledEdit4->hasFocus());
        QVERIFY(Dialog->LabeledEdit4->text().isEmpty());
        QVERIFY(Dialog->isVisible());

        // Name fields: Enter moves to "変更" and changes nothing.
        for (QLineEdit *name : {Dialog->LabeledEdit1, Dialog->LabeledEdit3}) {
            name->setText(U("nc2"));
            name->setFocus();
            QTRY_VERIFY(name->hasFocus());
            QTest::keyClick(name, Qt::Key_Enter);
            QTRY_VERIFY(Dialog->Button1->hasFocus());
            QCOMPARE(name->text(), U("nc2"));
            QVERIFY(Dialog->isVisible());
        }
        // Escape does not close it either; Enter on the focused button does.
        QTest::keyClick(Dialog->Button1, Qt::Key_Escape);
        QVERIFY(Dialog->isVisible());
        QTest::keyClick(Dialog->Button1, Qt::Key_Return);
        QVERIFY(!Dialog->isVisible());
        QCOMPARE(Fields.User1_Name, std::string("nc2"));
        QVERIFY(Boxes.empty());
    }

    void maskKeyFilter_data() {
        QTest::addColumn<QChar>("typed");
        QTest::addColumn<bool>("refused");
        for (char c : std::string("/:,;?<>|"))
            QTest::addRow("refused %c", c) << QChar::fromLatin1(c) << true;
        for (char c : std::string("*.\\ aZ9"))
            QTest::addRow("passes '%c'", c) << QChar::fromLatin1(c) << false;
    }

    void maskKeyFilter() {
        QFETCH(QChar, typed);
        QFETCH(bool, refused);
        ShowDialog();
        for (QLineEdit *field : {Dialog->LabeledEdit2, Dialog->LabeledEdit4}) {
            Boxes.clear();
            field->setText(U("nc"));
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            QTest::keyClicks(field, QString(typed));
            if (refused) {
                QCOMPARE(field->text(), U("nc"));
                QCOMPARE(Boxes.size(), size_t(1));
                QCOMPARE(Boxes[0].Text, U("この文字は拡張子に使えません。\n/:,;?<>|"));
                QCOMPARE(Boxes[0].Caption, U("確認"));
                QCOMPARE(Boxes[0].Icon, QMessageBox::Critical);
                QVERIFY(!Boxes[0].YesNo);
                QCOMPARE(Boxes[0].Parent, static_cast<QWidget *>(Dialog));
            } else {
                QCOMPARE(field->text(), U("nc") + typed);
                QVERIFY(Boxes.empty());
            }
            // Backspace always works.
            QTest::keyClick(field, Qt::Key_Backspace);
            QCOMPARE(field->text(), refused ? U("n") : U("nc"));
            QVERIFY(Boxes.size() <= 1);
        }
        // Names are not filtered.
        Boxes.clear();
        Dialog->LabeledEdit1->clear();
        QTest::keyClicks(Dialog->LabeledEdit1, QString(typed));
        QCOMPARE(Dialog->LabeledEdit1->text(), QString(typed));
        QVERIFY(Boxes.empty());
    }
};

QTEST_MAIN(UserformTest)
#include "UserformTest.moc"
