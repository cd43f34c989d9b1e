// The two dialogs on the main window: its menu item and its file button, wired
// as the program wires them.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "Copentextdialog.h"
#include "MainForm.h"
#include "Prompt.h"
#include "UiText.h"
#include "Userform.h"

using namespace segmora;

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// Closes whatever modal dialog is still up when a scripted answer ends, so a
// failed check inside it fails the test instead of hanging it.
struct CloseModalOnExit {
    ~CloseModalOnExit() {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    }
};

} // namespace

class MainFormDialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir Folder;
    std::unique_ptr<TMainForm> Form;
    std::unique_ptr<TUser> User;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init() {
        QVERIFY(Folder.isValid());
        Prompt::SetHandler([](const PromptRequest &) { return QMessageBox::Ok; });
        Form = std::make_unique<TMainForm>(ToNative(Folder.filePath(QStringLiteral("test.INI"))),
                                           QStringList{QStringLiteral("segmora")});
        User = std::make_unique<TUser>(*Form, Form.get());
        Form->Plugins.UserTypes = [this] { User->exec(); };
        Form->Plugins.ChooseInputFile =
            [](QWidget *parent, const OpenFileRequest &request) -> std::optional<OpenFileResult> {
            COpenTextDialog dialog(parent, request.Filter, request.InitialFolder,
                                   request.FilterIndex, request.Title, request.DefaultExtension);
            if (dialog.exec() != QDialog::Accepted || dialog.SelectedPath().isEmpty())
                return std::nullopt;
            return OpenFileResult{dialog.SelectedPath(), dialog.SelectedFilterIndex()};
        };
        Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form.get()));
    }

    void cleanup() {
        User.reset();
        Form.reset();
        Prompt::SetHandler({});
    }

    void userTypesRebuildTheFilter() {
        const std::string before = Form->OpenFilter;
        // "変更" with a new first type.
        QTimer::singleShot(0, this, [this] {
            CloseModalOnExit guard;
            QTRY_VERIFY(User->isVisible());
            QCOMPARE(User->pos(), Form->pos());
            User->LabeledEdit1->setText(U("ABC"));
            User->LabeledEdit2->setText(U("abc"));
            QTest::mouseClick(User->Button1, Qt::LeftButton);
        });
        Form->User_op->trigger();
        QVERIFY(!User->isVisible());
        QVERIFY(QString::fromStdString(Form->OpenFilter).contains(U("|ABC(*.abc)|*.abc|")));
        QCOMPARE(Form->User1_Mask, std::string("*.abc"));

        // "中止" leaves everything as it was.
        const std::string changed = Form->OpenFilter;
        QTimer::singleShot(0, this, [this] {
            CloseModalOnExit guard;
            QTRY_VERIFY(User->isVisible());
            User->LabeledEdit3->setText(U("XYZ"));
            QTest::mouseClick(User->Button2, Qt::LeftButton);
        });
        Form->User_op->trigger();
        QCOMPARE(Form->OpenFilter, changed);
        QVERIFY(Form->OpenFilter != before);
    }

    void chosenFileStoresPathFolderAndIndex() {
        QVERIFY(QDir(Folder.path()).mkdir(QStringLiteral("nc")));
        const QString file = Folder.filePath(QStringLiteral("nc/part.abc"));
        QFile(file).open(QIODevice::WriteOnly);
        Form->User1_Name = "ABC";
        Form->User1_Mask = "*.abc";
        Form->Plugins.UserTypes = {};
        Form->User_opClick(); // no dialog plugged: only the rebuild
        Form->DirPath = ToNative(Folder.filePath(QStringLiteral("nc")));
        Form->Mask_No = 3;
        const QString outputFolder = Form->LabeledEdit2->text();

        int shownEntry = 0;
        QString title;
        QTimer::singleShot(0, this, [&] {
            CloseModalOnExit guard;
            COpenTextDialog *dialog = nullptr;
            QTRY_VERIFY((dialog = qobject_cast<COpenTextDialog *>(
                             QApplication::activeModalWidget())) != nullptr);
            title = dialog->windowTitle();
            shownEntry = dialog->SelectedFilterIndex();
            dialog->selectFile(file);
            // The user switches to "all files" (entry 5) before confirming.
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QTest::keyClick(types, Qt::Key_Down);
            QTest::keyClick(types, Qt::Key_Down);
            dialog->selectFile(file);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
        QTest::mouseClick(Form->Button1, Qt::LeftButton);
        QCOMPARE(title, U("ﾌｧｲﾙ選択"));
        QCOMPARE(shownEntry, 3);
        QCOMPARE(Form->LabeledEdit1->text(), file);
        QCOMPARE(Form->DirPath, ToNative(Folder.filePath(QStringLiteral("nc"))));
        QCOMPARE(Form->Mask_No, 5);
        QCOMPARE(Form->LabeledEdit2->text(), outputFolder);
    }
};

QTEST_MAIN(MainFormDialogsTest)
#include "MainFormDialogsTest.moc"
