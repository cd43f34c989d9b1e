#include "MainForm.h"

#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include "Application.h"
#include "Cp932.h"
#include "MainTexts.h"
#include "Prompt.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Texts.h"
#include "UiText.h"
#include "UiTexts.h"

using namespace segmora;

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}
QString U(const std::string &utf8) {
    return QString::fromUtf8(utf8.c_str());
}

QByteArray CrLf(std::initializer_list<const char *> lines) {
    QByteArray bytes;
    for (const char *line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList FilesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Answers every box through the prompt seam and keeps what each said.
class PromptRecorder {
public:
    PromptRecorder() {
        Prompt::SetHandler([this](const PromptRequest &request) {
            Requests.push_back(request);
            if (OnShow)
                OnShow(request);
            if (!Answers.empty()) {
                const auto answer = Answers.front();
                Answers.pop_front();
                return answer;
            }
            return request.YesNo ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~PromptRecorder() { Prompt::SetHandler({}); }
    QStringList Texts() const {
        QStringList texts;
        for (const auto &request : Requests)
            texts << request.Text;
        return texts;
    }
    std::vector<PromptRequest> Requests;
    std::deque<QMessageBox::StandardButton> Answers;
    std::function<void(const PromptRequest &)> OnShow; // while the box is up
};

// The main window with a hook after each line the run has done (after the
// window's own handling, pump included).
class TestForm : public TMainForm {
public:
    using TMainForm::TMainForm;
    std::function<void(int)> OnLine;
    void LineDone(int line) override {
        TMainForm::LineDone(line);
        if (OnLine)
            OnLine(line);
    }
};

// Whether the process has a handler for SIGTERM in place (its SigCgt mask).
bool CatchesSigterm(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// Runs the action at the run's next pump, as a click made meanwhile would.
void AtNextPump(QObject *context, std::function<void()> action) {
    QTimer::singleShot(0, context, std::move(action));
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> Temp;
    QString Ini, In, Out, Input;
    std::vector<std::vector<std::string>> ViewerLogs;
    std::vector<QString> Events; // boxes and viewer showings, in order

    std::unique_ptr<TestForm> MakeForm(SettingsFields fields = {}, QStringList arguments = {},
                                       WindowPosition position = {}) {
        if (fields.DirPath.empty())
            fields.DirPath = ToNative(In);
        if (fields.ChgPath.empty())
            fields.ChgPath = ToNative(Out);
        if (fields.oChg.empty())
            fields.oChg = "O";
        if (fields.User1_Name.empty()) {
            fields.User1_Name = "u1";
            fields.User1_Mask = "*.*";
            fields.User2_Name = "u2";
            fields.User2_Mask = "*.*";
        }
        SaveSettings(ToNative(Ini), fields, position);
        MainFormPlugins plugins;
        plugins.ShowViewer = [this](const std::vector<std::string> &log) {
            ViewerLogs.push_back(log);
            Events.push_back(QStringLiteral("viewer"));
        };
        arguments.prepend(QStringLiteral("segmora"));
        auto form = std::make_unique<TestForm>(ToNative(Ini), arguments, plugins);
        form->PumpIntervalMs = 0;
        form->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(form.get())); }();
        return form;
    }

    void Divide(TestForm &form, const QByteArray &input) {
        WriteFile(Input, input);
        form.LabeledEdit1->setText(Input);
        QTest::mouseClick(form.Button3, Qt::LeftButton);
    }

    void CheckIdle(TestForm &form) {
        QVERIFY(form.Button3->isEnabled());
        QVERIFY(!form.Button4->isEnabled());
        QVERIFY(form.Button5->isEnabled());
        QVERIFY(form.ScreenSaverActive());
        QCOMPARE(form.StatusPanel2->text(), QString());
        QCOMPARE(form.ProgressBar->value(), 0);
    }

    QString LogText(std::initializer_list<std::string> lines) {
        QStringList text;
        for (const std::string &line : lines)
            text << U(line);
        return text.join(QLatin1Char('\n'));
    }

private slots:
    void init() {
        Temp = std::make_unique<QTemporaryDir>();
        Ini = Temp->filePath(QStringLiteral("segmora.INI"));
        In = Temp->filePath(QStringLiteral("in"));
        Out = Temp->filePath(QStringLiteral("out"));
        QDir().mkpath(In);
        QDir().mkpath(Out);
        Input = In + QStringLiteral("/JOB.NC");
        ViewerLogs.clear();
        Events.clear();
    }

    void startUpState() {
        SettingsFields fields;
        fields.OP2 = true;
        fields.OP4 = true;
        fields.oChg = "o";
        auto form = MakeForm(fields, {}, WindowPosition{37, 41});
        TMainForm &f = *form;

        QCOMPARE(f.windowTitle(), U(mainTexts::CaptionPrefix) + U(mainTexts::Version));
        QCOMPARE(f.pos(), QPoint(37, 41));
        QCOMPARE(f.centralWidget()->width(), 493);
        QCOMPARE(f.centralWidget()->height() + f.StatusBar1->height(), 424);
        QCOMPARE(f.StatusBar1->height(), 21);
        QCOMPARE(f.minimumSize(), f.maximumSize());
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));

        QCOMPARE(f.LabeledEdit1->text(), QString());
        QCOMPARE(f.LabeledEdit2->text(), Out);
        QCOMPARE(f.LabeledEdit5->text(), QStringLiteral("O"));
        QCOMPARE(f.LabeledEdit1Label->text(), U(mainTexts::LabelFileName));
        QCOMPARE(f.LabeledEdit2Label->text(), U(mainTexts::LabelOutputFolder));
        QCOMPARE(f.LabeledEdit5Label->text(), U(mainTexts::LabelLeadLetter));
        QCOMPARE(f.Memo1->toPlainText(), U(mainTexts::Memo1FirstLine));
        QCOMPARE(f.RichEdit1->toPlainText(), QString());
        QCOMPARE(f.Label1->text(), U(texts::NameLabel));

        const std::pair<QPushButton *, QRect> buttons[] = {{f.Button1, {400, 20, 20, 20}},
                                                           {f.Button2, {400, 80, 20, 20}},
                                                           {f.Button3, {8, 152, 80, 25}},
                                                           {f.Button4, {96, 152, 80, 25}},
                                                           {f.Button5, {185, 152, 80, 25}}};
        for (const auto &[button, place] : buttons)
            QCOMPARE(button->geometry(), place);
        QCOMPARE(f.Button3->text(), U(mainTexts::StartButton));
        QCOMPARE(f.Button4->text(), U(mainTexts::AbortButton));
        QCOMPARE(f.Button5->text(), U(mainTexts::ExitButton));
        QVERIFY(f.Button3->isEnabled());
        QVERIFY(!f.Button4->isEnabled());
        QVERIFY(f.Button5->isEnabled());
        QCOMPARE(f.RichEdit1->geometry(), QRect(0, 208, 273, 194));
        QCOMPARE(f.Memo1->geometry(), QRect(280, 208, 211, 194));
        QVERIFY(f.ProgressBar);
        QCOMPARE(f.ProgressBar->geometry(), QRect(0, 2, 100, 19));
        QCOMPARE(f.ProgressBar->value(), 0);
        QVERIFY(f.acceptDrops());

        // Menus and their order; the check marks follow the settings.
        QStringList menus;
        for (QAction *menu : f.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({U(mainTexts::OpMenu), U(mainTexts::SettingMenu),
                                     U(mainTexts::HelpMenu)}));
        const auto names = [](QMenu *menu) {
            QStringList list;
            for (QAction *item : menu->actions())
                list << item->objectName() + QLatin1Char('=') + item->text();
            return list;
        };
        QCOMPARE(names(f.OpMenu),
                 QStringList({QStringLiteral("op1=") + U(mainTexts::Op1),
                              QStringLiteral("op2=") + U(mainTexts::Op2),
                              QStringLiteral("op4=") + U(mainTexts::Op4), QStringLiteral("N1="),
                              QStringLiteral("op3=") + U(mainTexts::Op3)}));
        QCOMPARE(names(f.setting),
                 QStringList({QStringLiteral("User_op=") + U(mainTexts::User_op),
                              QStringLiteral("DeskTop_set=") + U(mainTexts::DeskTop_set)}));
        QCOMPARE(names(f.Menu_help),
                 QStringList({QStringLiteral("Menu_hp=") + U(mainTexts::Menu_hp),
                              QStringLiteral("Menu_add=") + U(mainTexts::Menu_add),
                              QStringLiteral("Helpnon="),
                              QStringLiteral("Menu_ver=") + U(mainTexts::Menu_ver)}));
        QVERIFY(!f.op1->isChecked());
        QVERIFY(f.op2->isChecked());
        QVERIFY(!f.op3->isChecked());
        QVERIFY(f.op4->isChecked());
        QVERIFY(U(f.OpenFilter).contains(QStringLiteral("u1(*.*)|*.*|")));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("dirPath");
        QTest::addColumn<QString>("chgPath");
        QTest::addColumn<QString>("edit1");
        QTest::addColumn<QString>("edit2");
        QTest::addColumn<QString>("dirPathAfter");
        QTest::newRow("first argument with a slash")
            << QStringList{QStringLiteral("abc"), QStringLiteral("/d/nc/part.nc"),
                           QStringLiteral("/x/y.nc")}
            << "/d/nc"
            << "/d/out"
            << "/d/nc/part.nc"
            << "/d/out"
            << "/d/nc";
        QTest::newRow("no argument with a slash")
            << QStringList{QStringLiteral("part.nc")} << "/d/nc"
            << "/d/out"
            << ""
            << "/d/out"
            << "/d/nc";
        QTest::newRow("same folders: the file's folder")
            << QStringList{QStringLiteral("/e/work/a.nc")} << "/d/nc"
            << "/d/nc"
            << "/e/work/a.nc"
            << "/e/work/"
            << "/e/work";
        QTest::newRow("different folders: ChgPath")
            << QStringList{QStringLiteral("/e/work/a.nc")} << "/d/nc"
            << "/d/out"
            << "/e/work/a.nc"
            << "/d/out"
            << "/e/work";
        QTest::newRow("file in the root") << QStringList{QStringLiteral("/a.nc")} << "/d"
                                          << "/d"
                                          << "/a.nc"
                                          << "/"
                                          << "/";
    }

    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, dirPath);
        QFETCH(QString, chgPath);
        SettingsFields fields;
        fields.DirPath = ToNative(dirPath);
        fields.ChgPath = ToNative(chgPath);
        auto form = MakeForm(fields, arguments);
        QTEST(form->LabeledEdit1->text(), "edit1");
        QTEST(form->LabeledEdit2->text(), "edit2");
        QTEST(U(form->DirPath), "dirPathAfter");
        QCOMPARE(U(form->SettingsFields::ChgPath), chgPath);
    }

    void drops() {
        PromptRecorder prompts;
        SettingsFields fields;
        fields.DirPath = "/d/nc";
        fields.ChgPath = "/d/nc";
        auto form = MakeForm(fields);
        const auto drop = [&](const QStringList &paths) {
            QList<QUrl> urls;
            for (const QString &path : paths)
                urls << QUrl::fromLocalFile(path);
            QMimeData data;
            data.setUrls(urls);
            // A drop arrives after the drag entered the window.
            QDragEnterEvent enter(QPoint(100, 300), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(form.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(QPointF(100, 300), Qt::CopyAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(form.get(), &event);
        };

        // Same folders: the output folder follows the dropped file.
        drop({QStringLiteral("/e/work/a.nc")});
        QCOMPARE(form->LabeledEdit1->text(), QStringLiteral("/e/work/a.nc"));
        QCOMPARE(form->LabeledEdit2->text(), QStringLiteral("/e/work/"));
        QCOMPARE(U(form->DirPath), QStringLiteral("/e/work"));
        // Now DirPath differs from ChgPath: the output folder is ChgPath.
        drop({QStringLiteral("/f/b.nc")});
        QCOMPARE(form->LabeledEdit2->text(), QStringLiteral("/d/nc"));
        QCOMPARE(U(form->DirPath), QStringLiteral("/f"));

        // A long path is taken whole.
        const QString longPath =
            QStringLiteral("/g/") + QString(300, QLatin1Char('x')) + QStringLiteral("/job.nc");
        drop({longPath});
        QCOMPARE(form->LabeledEdit1->text(), longPath);
        QVERIFY(prompts.Requests.empty());

        // Two items: the refusal, and nothing changes.
        drop({QStringLiteral("/h/1.nc"), QStringLiteral("/h/2.nc")});
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QCOMPARE(prompts.Requests[0].Text, U(mainTexts::MultipleDropped));
        QCOMPARE(prompts.Requests[0].Caption, U(mainTexts::ConfirmCaption));
        QCOMPARE(prompts.Requests[0].Icon, QMessageBox::Critical);
        QVERIFY(!prompts.Requests[0].YesNo);
        QCOMPARE(form->LabeledEdit1->text(), longPath);
        QCOMPARE(U(form->DirPath), QStringLiteral("/g/") + QString(300, QLatin1Char('x')));
    }

    // The refusal box is a real QMessageBox, answered by its OK button.
    void realBoxOnMultipleDrop() {
        auto form = MakeForm();
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->button(QMessageBox::Ok)->click();
            }
        });
        form->WMDropFiles(
            {QUrl::fromLocalFile(QStringLiteral("/a")), QUrl::fromLocalFile(QStringLiteral("/b"))});
        QCOMPARE(caption, U(mainTexts::ConfirmCaption));
        QCOMPARE(text, U(mainTexts::MultipleDropped));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(form->MsgResult, QMessageBox::Ok);
    }

    void keyFilter_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("refused");
        for (QChar c : U(mainTexts::RefusedInFolder))
            QTest::newRow(QString(c).toUtf8().constData()) << QString(c) << true;
        QTest::newRow(":") << QStringLiteral(":") << false;
        QTest::newRow("/") << QStringLiteral("/") << false;
        QTest::newRow("a") << QStringLiteral("a") << false;
    }

    void keyFilter() {
        QFETCH(QString, key);
        QFETCH(bool, refused);
        PromptRecorder prompts;
        auto form = MakeForm();
        form->LabeledEdit2->clear();
        QTest::keyClicks(form->LabeledEdit2, QStringLiteral("ab") + key);
        QCOMPARE(form->LabeledEdit2->text(),
                 refused ? QStringLiteral("ab") : QStringLiteral("ab") + key);
        if (refused) {
            QCOMPARE(prompts.Requests.size(), size_t(1));
            QCOMPARE(prompts.Requests[0].Text, U(mainTexts::RefusedCharMessage));
            QCOMPARE(prompts.Requests[0].Caption, U(mainTexts::ConfirmCaption));
            QCOMPARE(prompts.Requests[0].Icon, QMessageBox::Critical);
        } else {
            QVERIFY(prompts.Requests.empty());
        }
        // Pasted text is not filtered.
        form->LabeledEdit2->setText(QStringLiteral("a.b"));
        QCOMPARE(form->LabeledEdit2->text(), QStringLiteral("a.b"));
    }

    void leadLetter() {
        SettingsFields fields;
        fields.oChg = "oo"; // longer than a user can type: shown whole
        auto form = MakeForm(fields);
        QCOMPARE(form->LabeledEdit5->text(), QStringLiteral("OO"));
        Divide(*form, CrLf({"O1000", "M30"}));
        QVERIFY(FilesIn(Out).isEmpty());

        form->LabeledEdit5->clear();
        QTest::keyClicks(form->LabeledEdit5, QStringLiteral("pq"));
        QCOMPARE(form->LabeledEdit5->text(), QStringLiteral("P"));
        QCOMPARE(form->FieldText(Control::LabeledEdit5), std::string("P"));
    }

    void chooseInputFile() {
        SettingsFields fields;
        fields.Mask_No = 2;
        auto form = MakeForm(fields);
        OpenFileRequest seen;
        form->Plugins.ChooseInputFile = [&](QWidget *, const OpenFileRequest &request) {
            seen = request;
            return std::optional<OpenFileResult>(OpenFileResult{QStringLiteral("/p/q/r.nc1"), 5});
        };
        const QString edit2 = form->LabeledEdit2->text();
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(seen.Title, U(mainTexts::OpenDialogTitle));
        QCOMPARE(seen.InitialFolder, In);
        QCOMPARE(seen.DefaultExtension, QStringLiteral("nc"));
        QCOMPARE(seen.FilterIndex, 2);
        QCOMPARE(seen.Filter, U(form->OpenFilter));
        QCOMPARE(form->LabeledEdit1->text(), QStringLiteral("/p/q/r.nc1"));
        QCOMPARE(U(form->DirPath), QStringLiteral("/p/q"));
        QCOMPARE(form->Mask_No, 5);
        QCOMPARE(form->LabeledEdit2->text(), edit2);

        // Cancel changes nothing.
        form->Plugins.ChooseInputFile = [](QWidget *, const OpenFileRequest &) {
            return std::optional<OpenFileResult>();
        };
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(form->LabeledEdit1->text(), QStringLiteral("/p/q/r.nc1"));
        QCOMPARE(form->Mask_No, 5);
    }

    void chooseFolder_data() {
        QTest::addColumn<bool>("chgPathExists");
        QTest::addColumn<QString>("chosen"); // empty: cancelled
        QTest::addColumn<QString>("expected");
        QTest::newRow("confirmed") << true << "/x/y/"
                                   << "/x/y";
        QTest::newRow("confirmed root") << true << "/"
                                        << "/";
        QTest::newRow("cancelled, folder exists") << true << ""
                                                  << "<chg>";
        QTest::newRow("cancelled, folder missing") << false << ""
                                                   << "";
    }

    void chooseFolder() {
        QFETCH(bool, chgPathExists);
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        SettingsFields fields;
        fields.ChgPath = ToNative(chgPathExists ? Out : Out + QStringLiteral("/missing"));
        auto form = MakeForm(fields);
        QString caption;
        form->Plugins.ChooseFolder = [&](QWidget *, const QString &text, const QString &) {
            caption = text;
            return chosen.isEmpty() ? std::optional<QString>() : std::optional<QString>(chosen);
        };
        QTest::mouseClick(form->Button2, Qt::LeftButton);
        QCOMPARE(caption, U(mainTexts::BrowseFolderCaption) + U(fields.ChgPath));
        if (expected == QStringLiteral("<chg>"))
            expected = Out;
        QCOMPARE(U(form->SettingsFields::ChgPath), expected);
        QCOMPARE(form->LabeledEdit2->text(), expected);
    }

    void divisionRun() {
        PromptRecorder prompts;
        auto form = MakeForm();
        form->LabeledEdit2->setText(Out + QLatin1Char('/'));
        QStringList during;
        QString inputShown;
        form->OnLine = [&](int line) {
            if (line == 1)
                inputShown = form->RichEdit1->toPlainText();
            if (line == 2)
                during << form->StatusPanel2->text() << QString::number(form->ProgressBar->value())
                       << QString::number(form->ProgressBar->maximum())
                       << QString::number(form->Button3->isEnabled())
                       << QString::number(form->Button4->isEnabled())
                       << QString::number(form->Button5->isEnabled())
                       << QString::number(form->ScreenSaverActive());
        };
        const QByteArray input = CrLf({"%", "O1000", "G00 X0", "M30", "O2000", "M30", "%"});
        Divide(*form, input);

        QCOMPARE(FilesIn(Out),
                 QStringList({QStringLiteral("O1000.NC"), QStringLiteral("O2000.NC")}));
        QCOMPARE(ReadFile(Out + QStringLiteral("/O1000.NC")), CrLf({"O1000", "G00 X0", "M30"}));
        QCOMPARE(ReadFile(Out + QStringLiteral("/O2000.NC")), CrLf({"O2000", "M30"}));
        QCOMPARE(inputShown, QString::fromLatin1(input)
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                 .chopped(1));
        QCOMPARE(during, QStringList({U(StatusLineText(2)), QStringLiteral("2"),
                                      QStringLiteral("7"), QStringLiteral("0"), QStringLiteral("1"),
                                      QStringLiteral("0"), QStringLiteral("0")}));
        const QString log = LogText({texts::LogHeader, "O1000", "O2000", texts::LogCompleted});
        QCOMPARE(form->Memo1->toPlainText(), log);
        QCOMPARE(ViewerLogs.size(), size_t(1));
        std::vector<std::string> expected = {ToCp932(texts::LogHeader), "O1000", "O2000",
                                             ToCp932(texts::LogCompleted)};
        QVERIFY(ViewerLogs[0] == expected);
        QVERIFY(prompts.Requests.empty());
        QCOMPARE(form->RichEdit1->toPlainText(), QString());
        QCOMPARE(U(form->DivisionRun().OutputFolder), Out);
        CheckIdle(*form);
    }

    void abort_data() {
        QTest::addColumn<int>("clickAfterLine");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("completed");
        // The click is handled at the pump after the next line.
        QTest::newRow("during the first program")
            << 1 << QStringList{QStringLiteral("O1000.NC")} << false;
        QTest::newRow("during the last program")
            << 5
            << QStringList{QStringLiteral("O1000.NC"), QStringLiteral("O2000.NC"),
                           QStringLiteral("O3000.NC")}
            << true;
    }

    void abort() {
        QFETCH(int, clickAfterLine);
        QFETCH(QStringList, files);
        QFETCH(bool, completed);
        PromptRecorder prompts;
        auto form = MakeForm();
        QStringList afterClick; // Start, Abort, Exit, screen saver, at the line after the click
        int clickedAt = 0;
        form->OnLine = [&](int line) {
            if (line == clickAfterLine)
                AtNextPump(form.get(), [&, line] {
                    QTest::mouseClick(form->Button4, Qt::LeftButton);
                    clickedAt = line + 1;
                });
            if (clickedAt != 0 && afterClick.isEmpty())
                afterClick << QString::number(form->Button3->isEnabled())
                           << QString::number(form->Button4->isEnabled())
                           << QString::number(form->Button5->isEnabled())
                           << QString::number(form->ScreenSaverActive());
        };
        bool abortEnabledInViewer = true;
        form->Plugins.ShowViewer = [&](const std::vector<std::string> &) {
            abortEnabledInViewer = form->Button4->isEnabled();
            Events.push_back(QStringLiteral("viewer"));
        };
        Divide(*form, CrLf({"O1000", "G01", "O2000", "G02", "O3000", "G03", "M30"}));

        QCOMPARE(FilesIn(Out), files);
        QCOMPARE(afterClick, QStringList({QStringLiteral("0"), QStringLiteral("0"),
                                          QStringLiteral("0"), QStringLiteral("1")}));
        if (completed) {
            QCOMPARE(Events, std::vector<QString>{QStringLiteral("viewer")});
            QVERIFY(!abortEnabledInViewer);
            QVERIFY(prompts.Requests.empty());
            QCOMPARE(form->Memo1->toPlainText(),
                     LogText({texts::LogHeader, "O1000", "O2000", "O3000", texts::LogCompleted}));
        } else {
            QVERIFY(Events.empty());
            QCOMPARE(prompts.Requests.size(), size_t(1));
            QCOMPARE(prompts.Requests[0].Text, U(texts::AbortMessage));
            QCOMPARE(prompts.Requests[0].Caption, U(texts::AbortCaption));
            QCOMPARE(prompts.Requests[0].Icon, QMessageBox::Critical);
            QCOMPARE(ReadFile(Out + QStringLiteral("/O1000.NC")), CrLf({"O1000", "G01"}));
            QCOMPARE(form->Memo1->toPlainText(),
                     LogText({texts::LogHeader, "O1000", "O2000", texts::LogAborted}));
            QVERIFY(!form->RichEdit1->toPlainText().isEmpty());
        }
        CheckIdle(*form);

        // A new run starts at once and completes.
        form->OnLine = nullptr;
        QDir(Out).removeRecursively();
        QDir().mkpath(Out);
        QTest::mouseClick(form->Button3, Qt::LeftButton);
        QCOMPARE(FilesIn(Out).size(), qsizetype(3));
    }

    void optionsDuringRun_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("toggleAfterLine");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QByteArray>("firstFile");
        // Handled at the pump after the next line.
        QTest::newRow("op4 from the second program on")
            << "op4" << 3 << QStringList{QStringLiteral("O1000.NC"), QStringLiteral("O2000_002.NC")}
            << CrLf({"O1000", "", "G1", ""});
        QTest::newRow("op3 from the fourth line on")
            << "op3" << 2 << QStringList{QStringLiteral("O1000.NC"), QStringLiteral("O2000.NC")}
            << CrLf({"O1000", "", "G1"});
    }

    void optionsDuringRun() {
        QFETCH(QString, item);
        QFETCH(int, toggleAfterLine);
        auto form = MakeForm();
        QAction *action = form->findChild<QAction *>(item);
        QVERIFY(action);
        form->OnLine = [&](int line) {
            if (line == toggleAfterLine)
                AtNextPump(form.get(), [&] { action->trigger(); });
        };
        Divide(*form, CrLf({"O1000", "", "G1", "", "O2000", "", "M30"}));
        QTEST(FilesIn(Out), "files");
        QTEST(ReadFile(Out + QStringLiteral("/O1000.NC")), "firstFile");
        QVERIFY(action->isChecked());
        QVERIFY(item == QStringLiteral("op4") ? form->OP4 : form->OP3);
        action->trigger();
        QVERIFY(!action->isChecked());
        QVERIFY(!(item == QStringLiteral("op4") ? form->OP4 : form->OP3));
    }

    void missingFolder_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
        QTest::newRow("closed: goes on, the file error restores") << int(QMessageBox::NoButton);
    }

    void missingFolder() {
        QFETCH(int, answer);
        PromptRecorder prompts;
        prompts.Answers.push_back(QMessageBox::StandardButton(answer));
        auto form = MakeForm();
        form->move(120, 90);
        const QString missing = Temp->filePath(QStringLiteral("new/deeper"));
        form->LabeledEdit2->setText(missing);
        QStringList duringQuestion; // Start, Abort, Exit, screen saver
        prompts.OnShow = [&](const PromptRequest &) {
            if (duringQuestion.isEmpty())
                duringQuestion << QString::number(form->Button3->isEnabled())
                               << QString::number(form->Button4->isEnabled())
                               << QString::number(form->Button5->isEnabled())
                               << QString::number(form->ScreenSaverActive());
        };
        Divide(*form, CrLf({"O1000", "M30"}));

        QVERIFY(!prompts.Requests.empty());
        const PromptRequest &ask = prompts.Requests[0];
        QCOMPARE(ask.Text, U(texts::AskCreateFolder));
        QCOMPARE(ask.Caption, U(texts::WarningCaption));
        QCOMPARE(ask.Icon, QMessageBox::Warning);
        QVERIFY(ask.YesNo);
        QVERIFY(ask.Position.has_value());
        QCOMPARE(*ask.Position, form->frameGeometry().topLeft() + QPoint(50, 50));
        QCOMPARE(duringQuestion, QStringList({QStringLiteral("1"), QStringLiteral("1"),
                                              QStringLiteral("1"), QStringLiteral("0")}));

        if (answer == QMessageBox::Yes) {
            QCOMPARE(FilesIn(missing), QStringList{QStringLiteral("O1000.NC")});
            QCOMPARE(ViewerLogs.size(), size_t(1));
        } else if (answer == QMessageBox::No) {
            QVERIFY(!QDir(missing).exists());
            QCOMPARE(form->LabeledEdit2->text(), Out);
            QVERIFY(ViewerLogs.empty());
            QCOMPARE(prompts.Requests.size(), size_t(1));
        } else {
            QVERIFY(!QDir(missing).exists());
            QCOMPARE(prompts.Requests.size(), size_t(2));
            const PromptRequest &error = prompts.Requests[1];
            QCOMPARE(error.Caption, U(uitexts::ApplicationTitle));
            QCOMPARE(error.Icon, QMessageBox::Critical);
            QVERIFY(error.Text.contains(missing + QStringLiteral("/O1000.NC")));
            QVERIFY(error.Text.endsWith(QLatin1Char('.')));
            QVERIFY(ViewerLogs.empty());
            // The log up to the failure stays in view.
            QCOMPARE(form->Memo1->toPlainText(), LogText({texts::LogHeader, "O1000"}));
        }
        CheckIdle(*form);
    }

    void notText_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }

    void notText() {
        QFETCH(int, answer);
        PromptRecorder prompts;
        prompts.Answers.push_back(QMessageBox::StandardButton(answer));
        auto form = MakeForm();
        Divide(*form, QByteArray());
        QCOMPARE(prompts.Texts(), QStringList{U(texts::AskReadNonText)});
        QCOMPARE(prompts.Requests[0].Caption, U(texts::WarningCaption));
        QVERIFY(prompts.Requests[0].YesNo);
        QVERIFY(FilesIn(Out).isEmpty());
        QCOMPARE(ViewerLogs.size(), size_t(1));
        QCOMPARE(form->Memo1->toPlainText(), LogText({texts::LogHeader, texts::LogCompleted}));
        CheckIdle(*form);
    }

    void fileErrorRestoresControls() {
        PromptRecorder prompts;
        auto form = MakeForm();
        // A folder stands where the second output file would go.
        QDir().mkpath(Out + QStringLiteral("/O2000.NC"));
        Divide(*form, CrLf({"O1000", "G01", "O2000", "M30"}));
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QCOMPARE(prompts.Requests[0].Caption, U(uitexts::ApplicationTitle));
        QVERIFY(prompts.Requests[0].Text.contains(Out + QStringLiteral("/O2000.NC")));
        QCOMPARE(ReadFile(Out + QStringLiteral("/O1000.NC")), CrLf({"O1000", "G01"}));
        QCOMPARE(form->Memo1->toPlainText(), LogText({texts::LogHeader, "O1000", "O2000"}));
        QVERIFY(ViewerLogs.empty());
        CheckIdle(*form);
    }

    void recreatedFiles_data() {
        QTest::addColumn<bool>("op4");
        QTest::newRow("without op4: warned") << false;
        QTest::newRow("with op4: no warning") << true;
    }

    void recreatedFiles() {
        QFETCH(bool, op4);
        PromptRecorder prompts;
        Prompt::SetHandler([&](const PromptRequest &request) {
            prompts.Requests.push_back(request);
            Events.push_back(QStringLiteral("box"));
            return QMessageBox::Ok;
        });
        SettingsFields fields;
        fields.OP4 = op4;
        auto form = MakeForm(fields);
        Divide(*form, CrLf({"O1000", "G01", "O1000", "G02", "O2000"}));
        if (op4) {
            QCOMPARE(FilesIn(Out).size(), qsizetype(3));
            QCOMPARE(Events, std::vector<QString>{QStringLiteral("viewer")});
            return;
        }
        QCOMPARE(FilesIn(Out),
                 QStringList({QStringLiteral("O1000.NC"), QStringLiteral("O2000.NC")}));
        QCOMPARE(Events, std::vector<QString>({QStringLiteral("box"), QStringLiteral("viewer")}));
        const PromptRequest &box = prompts.Requests[0];
        QCOMPARE(box.Caption, U(texts::WarningCaption));
        QCOMPARE(box.Icon, QMessageBox::Warning);
        QVERIFY(!box.YesNo);
        QVERIFY(box.Text.contains(Out + QStringLiteral("/O1000.NC\n")));
        QVERIFY(!box.Text.contains(QStringLiteral("O2000")));
        QVERIFY(box.Text.contains(U(mainTexts::Op4)));
    }

    void inputViewShowsStartOfLargeInput_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("lineBytes");
        QTest::addColumn<int>("shown");
        const int limit = int(TMainForm::InputViewLineLimit);
        QTest::newRow("at the line limit: all") << limit << 10 << limit;
        QTest::newRow("past the line limit") << limit + 7 << 10 << limit;
        QTest::newRow("past the byte limit") << 300 << 20000 << 209;
    }

    void inputViewShowsStartOfLargeInput() {
        QFETCH(int, lines);
        QFETCH(int, lineBytes);
        QFETCH(int, shown);
        std::string text;
        for (int k = 0; k < lines; ++k)
            text += std::string(size_t(lineBytes - 1), 'G') + "\n";
        InputView view;
        std::unique_ptr<char[]> buffer(new char[text.size()]);
        std::memcpy(buffer.get(), text.data(), text.size());
        view.SetText(std::move(buffer), text.size());
        QCOMPARE(view.LineCount(), size_t(lines));
        const QStringList viewLines = TMainForm::InputViewText(view).split(QLatin1Char('\n'));
        if (shown == lines) {
            QCOMPARE(viewLines.size(), qsizetype(lines));
            return;
        }
        QCOMPARE(viewLines.size(), qsizetype(shown + 1));
        QCOMPARE(viewLines[shown - 1], QString(lineBytes - 1, QLatin1Char('G')));
        QCOMPARE(viewLines.last(), U(mainTexts::InputViewCut).arg(shown).arg(lines));
    }

    void closeDuringRun() {
        PromptRecorder prompts;
        auto form = MakeForm();
        QFile::remove(Ini); // the close writes it anew
        form->OnLine = [&](int line) {
            if (line == 1)
                AtNextPump(form.get(), [&] { form->close(); });
        };
        Divide(*form, CrLf({"O1000", "G01", "G02", "O2000", "M30"}));
        QVERIFY(!form->isVisible());
        QCOMPARE(FilesIn(Out), QStringList{QStringLiteral("O1000.NC")});
        QCOMPARE(ReadFile(Out + QStringLiteral("/O1000.NC")), CrLf({"O1000", "G01", "G02"}));
        QVERIFY(prompts.Requests.empty());
        QVERIFY(ViewerLogs.empty());
        QVERIFY(QFile::exists(Ini));
        QVERIFY(form->ScreenSaverActive());
    }

    void closeDuringQuestionAnswersNo() {
        // The box was closed by the close request, whatever it would have
        // said: the folder is not made, nothing is written, the window closes.
        PromptRecorder prompts;
        prompts.Answers.push_back(QMessageBox::NoButton);
        auto form = MakeForm();
        const QString missing = Temp->filePath(QStringLiteral("new"));
        form->LabeledEdit2->setText(missing);
        prompts.OnShow = [&](const PromptRequest &) { form->close(); };
        Divide(*form, CrLf({"O1000", "M30"}));
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QVERIFY(!QDir(missing).exists());
        QVERIFY(!form->isVisible());
        QVERIFY(QFile::exists(Ini));
    }

    void closeDuringRunStillReportsAFileError() {
        PromptRecorder prompts;
        auto form = MakeForm();
        QFile::remove(Ini);                               // the close writes it anew
        QDir().mkpath(Out + QStringLiteral("/O1000.NC")); // the file cannot be made
        form->OnLine = [&](int line) {
            if (line == 1)
                form->close(); // as if handled at this line's pump
        };
        Divide(*form, CrLf({"G00", "O1000", "M30"}));
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QCOMPARE(prompts.Requests[0].Caption, U(uitexts::ApplicationTitle));
        QVERIFY(prompts.Requests[0].Text.contains(Out + QStringLiteral("/O1000.NC")));
        QVERIFY(!form->isVisible());
        QVERIFY(QFile::exists(Ini));
    }

    // A close request (as SIGTERM makes one) while boxes are open over the
    // window closes every one of them, the innermost first, and the program
    // can end: a box the viewer shows, or a dialog opened while idle.
    void closeRequestClosesOpenBoxes_data() {
        QTest::addColumn<bool>("duringRun");
        QTest::newRow("a box over the viewer") << true;
        QTest::newRow("a dialog while idle") << false;
    }

    void closeRequestClosesOpenBoxes() {
        QFETCH(bool, duringRun);
        auto form = MakeForm();
        QFile::remove(Ini); // the close writes it anew
        int leftOpen = 0;
        // Opens a modal dialog over the given one; the innermost asks the
        // main window to close. A dialog the request did not close is closed
        // after a while, so that a fault fails the test instead of hanging it.
        const std::function<void(QWidget *, int)> openBoxes = [&](QWidget *parent, int depth) {
            QDialog dialog(parent);
            dialog.setModal(true);
            QTimer::singleShot(0, &dialog, [&, depth] {
                if (depth > 1)
                    openBoxes(&dialog, depth - 1);
                else
                    form->close();
            });
            QTimer::singleShot(3000, &dialog, [&] {
                ++leftOpen;
                dialog.reject();
            });
            dialog.exec();
        };
        if (duringRun) {
            form->Plugins.ShowViewer = [&](const std::vector<std::string> &) {
                openBoxes(form.get(), 2);
            };
            Divide(*form, CrLf({"O1000", "M30"}));
        } else {
            openBoxes(form.get(), 1);
        }
        QCOMPARE(leftOpen, 0);
        QTRY_VERIFY(!form->isVisible());
        QVERIFY(QFile::exists(Ini));
    }

    void settingsSavedOnClose_data() {
        QTest::addColumn<bool>("byButton5");
        QTest::newRow("Button5") << true;
        QTest::newRow("close box") << false;
    }

    void settingsSavedOnClose() {
        QFETCH(bool, byButton5);
        auto form = MakeForm();
        QFile::remove(Ini);
        form->op1->trigger();
        form->DirPath = "/some/where";
        form->move(55, 66);
        if (byButton5)
            QTest::mouseClick(form->Button5, Qt::LeftButton);
        else
            form->close();
        QVERIFY(!form->isVisible());
        SettingsFields saved;
        WindowPosition position;
        LoadSettings(ToNative(Ini), saved, position);
        QVERIFY(saved.OP1);
        QCOMPARE(U(saved.DirPath), QStringLiteral("/some/where"));
        QCOMPARE(position.Left, form->x());
        QCOMPARE(position.Top, form->y());
    }

    void failedSaveKeepsWindowOpen() {
        PromptRecorder prompts;
        auto form = MakeForm();
        // The settings file cannot be replaced: a folder stands in its place.
        QFile::remove(Ini);
        QDir().mkpath(Ini + QStringLiteral("/x"));
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QCOMPARE(prompts.Requests[0].Caption, U(uitexts::ApplicationTitle));
        QVERIFY(prompts.Requests[0].Text.contains(Ini));
        // Once writable again, the next request saves and closes.
        QDir(Ini).removeRecursively();
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(QFileInfo(Ini).isFile());
    }

    void errorEscapingAHandler_data() {
        QTest::addColumn<bool>("standardError");
        QTest::addColumn<QString>("text");
        QTest::newRow("error with a message") << true << QStringLiteral("broken.");
        // Not an error of the library's kind: the box has no text at all.
        QTest::newRow("anything else") << false << QString();
    }

    void errorEscapingAHandler() {
        QFETCH(bool, standardError);
        PromptRecorder prompts;
        struct Thrower : QObject {
            bool Standard = true;
            bool event(QEvent *) override {
                if (Standard)
                    throw std::runtime_error("broken");
                throw 42;
            }
        } thrower;
        thrower.Standard = standardError;
        QEvent event(QEvent::User);
        QCOMPARE(QApplication::sendEvent(&thrower, &event), false);
        QCOMPARE(prompts.Requests.size(), size_t(1));
        QTEST(prompts.Requests[0].Text, "text");
        QCOMPARE(prompts.Requests[0].Caption, U(uitexts::ApplicationTitle));
        QCOMPARE(prompts.Requests[0].Icon, QMessageBox::Critical);
    }

    // The real program, run from a copy under its own name, with its own
    // runtime folder for the lock and the settings file beside the copy.
    void singleInstanceAndSignals() {
        const QString runtime = Temp->filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        const QString name = QStringLiteral("segmora-test-%1").arg(getpid());
        const QString copy = Temp->filePath(name);
        const QString other = Temp->filePath(name + QStringLiteral("-b"));
        QVERIFY(QFile::copy(QStringLiteral(SEGMORA_EXECUTABLE), copy));
        QVERIFY(QFile::copy(QStringLiteral(SEGMORA_EXECUTABLE), other));
        const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        const auto restore = qScopeGuard([&] {
            if (savedRuntime.isEmpty())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", savedRuntime);
        });
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        const auto start = [&](QProcess &process, const QString &program) {
            process.setProcessEnvironment(environment);
            process.setProgram(program);
            process.start();
            QVERIFY(process.waitForStarted());
        };
        const auto locked = [&](const QString &exe) {
            const std::string path = SingleInstance::LockPath(ToNative(QFileInfo(exe).fileName()));
            const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0)
                return false;
            const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
            close(fd);
            return held;
        };
        QVERIFY(SingleInstance::LockPath(ToNative(name)).rfind(ToNative(runtime), 0) == 0);

        QProcess first, second, third;
        start(first, copy);
        QTRY_VERIFY_WITH_TIMEOUT(locked(copy), 10000);
        start(second, copy);
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // Another file name starts normally, with its own settings file.
        start(third, other);
        QTRY_VERIFY_WITH_TIMEOUT(locked(other), 10000);
        for (QProcess *process : {&first, &third}) {
            // Signalled once it catches SIGTERM (before that the default
            // action would end it without a save).
            QTRY_VERIFY_WITH_TIMEOUT(CatchesSigterm(process->processId()), 10000);
            kill(pid_t(process->processId()), SIGTERM);
            QVERIFY(process->waitForFinished(10000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }
        for (const QString &exe : {copy, other}) {
            SettingsFields saved;
            WindowPosition position;
            const QString ini = exe + QStringLiteral(".INI");
            QVERIFY2(QFileInfo(ini).isFile(), qPrintable(ini));
            QVERIFY(ReadFile(ini).contains("OP4=0"));
        }
        QVERIFY(!locked(copy));
    }
};

int main(int argc, char **argv) {
    segmora::Application app(argc, argv);
    MainFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainFormTest.moc"
