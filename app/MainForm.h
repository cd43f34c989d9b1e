#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Division.h"
#include "Host.h"
#include "ScreenSaver.h"
#include "Settings.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace segmora {

// What the open dialog is given and what it gives back (Button1Click).
struct OpenFileRequest {
    QString Title;
    QString InitialFolder;
    QString DefaultExtension;
    QString Filter;      // OpenFilter: "text|patterns|text|patterns|..."
    int FilterIndex = 1; // 1-based, Mask_No
};
struct OpenFileResult {
    QString Path;
    int FilterIndex = 1; // the entry in force when the file was confirmed
};

// The points where other windows plug into the main window. An empty member
// keeps the main window's own stand-in (noted at each member).
struct MainFormPlugins {
    // The open dialog; nullopt on cancel. Stand-in: a plain QFileDialog.
    std::function<std::optional<OpenFileResult>(QWidget *parent, const OpenFileRequest &)>
        ChooseInputFile;
    // The folder browser: the chosen folder, nullopt on cancel. Stand-in:
    // QFileDialog::getExistingDirectory.
    std::function<std::optional<QString>(QWidget *parent, const QString &caption,
                                         const QString &folder)>
        ChooseFolder;
    // The hand-off of a completed run: fill the viewer with the log (CP932
    // lines) and show it modally. Empty: no viewer is shown.
    std::function<void(const std::vector<std::string> &log)> ShowViewer;
    // Menu items of the settings and help menus. Empty: the item does nothing.
    std::function<void()> UserTypes, DesktopShortcut, HomePage, Mail, VersionBox;
};

// The main window. Its settings fields are those of SettingsFields (named
// after their keys); it is the division run's host, so its fields and option
// menu are what the run reads.
class TMainForm : public QMainWindow, public SettingsFields, public RunHost {
    Q_OBJECT
public:
    // iniPath: the settings file; arguments: the command line, argument 0
    // being the program. Runs FormCreate.
    TMainForm(std::string iniPath, const QStringList &arguments,
              const MainFormPlugins &plugins = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    Division &DivisionRun() { return Divider; }
    const std::string &IniPath() const { return SettingsFile; }
    bool ScreenSaverActive() const { return ScreenSaverOn; }

    // The text the input view shows for a loaded input: at most
    // InputViewLineLimit lines and InputViewByteLimit bytes of it, then a note
    // that names how many lines are not shown.
    static QString InputViewText(const InputView &view);
    static constexpr size_t InputViewLineLimit = 50000;
    static constexpr size_t InputViewByteLimit = 4 * 1024 * 1024;

    MainFormPlugins Plugins;

    // Pending input is run and the window repainted at most this often
    // during a run (milliseconds; 0: at every opportunity the run offers).
    int PumpIntervalMs = 20;

    // Controls, named after the window design.
    QFrame *Panel1 = nullptr;
    QLineEdit *LabeledEdit1 = nullptr;
    QLineEdit *LabeledEdit2 = nullptr;
    QLineEdit *LabeledEdit5 = nullptr;
    QLabel *LabeledEdit1Label = nullptr;
    QLabel *LabeledEdit2Label = nullptr;
    QLabel *LabeledEdit5Label = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button5 = nullptr;
    QLabel *Label1 = nullptr;
    QPlainTextEdit *RichEdit1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel2 = nullptr;
    QProgressBar *ProgressBar = nullptr; // made by FormShow, freed by FormDestroy
    QMenu *OpMenu = nullptr;
    QMenu *setting = nullptr;
    QMenu *Menu_help = nullptr;
    QAction *op1 = nullptr, *op2 = nullptr, *op4 = nullptr, *N1 = nullptr, *op3 = nullptr;
    QAction *User_op = nullptr, *DeskTop_set = nullptr;
    QAction *Menu_hp = nullptr, *Menu_add = nullptr, *Helpnon = nullptr, *Menu_ver = nullptr;

    std::string OpenFilter;
    std::string Version;
    QMessageBox::StandardButton MsgResult = QMessageBox::NoButton;

    // Handlers.
    void FormCreate(const QStringList &arguments);
    void FormShow();
    void FormCloseQuery(bool &canClose);
    void FormDestroy();
    void WMDropFiles(const QList<QUrl> &items);
    void LabeledEdit2KeyPress(QChar &key);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void op1Click();
    void op2Click();
    void op3Click();
    void op4Click();
    virtual void User_opClick();
    virtual void DeskTop_setClick();
    virtual void Menu_hpClick();
    virtual void Menu_addClick();
    virtual void Menu_verClick();

    // A file taken in from the command line or a drop: into LabeledEdit1,
    // then the same-folder rule.
    void TakeInFile(const QString &path);

    // RunHost.
    std::string FieldText(Control field) override;
    void SetFieldText(Control field, const std::string &text) override;
    void FocusField(Control field) override;
    void EnableControl(Control button, bool enabled) override;
    bool OptionOn(Option option) override;
    int InvTime() override { return SettingsFields::InvTime; }
    std::string ChgPath() override { return SettingsFields::ChgPath; }
    Answer Ask(Question question, const std::string &text) override;
    void Tell(const std::string &text, const std::string &caption) override;
    void Pump() override;
    void Pause(int milliseconds) override;
    void SetScreenSaver(bool active) override;
    void SetProgressMaximum(int maximum) override;
    void SetProgressPosition(int position) override;
    void SetStatusText(const std::string &text) override;
    void LineDone(int line) override;
    void SetNameLabel(const std::string &text) override;
    void LogCleared() override;
    void LogAppended(const std::string &cp932Line) override;
    void InputViewChanged() override;
    void FilesCreatedAgain(const std::vector<std::string> &paths) override;
    void ShowViewer(const std::vector<std::string> &log) override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildMenu();
    QMessageBox::StandardButton Confirm(const QString &text);
    void ServePump();
    void FlushDisplay();
    void RestoreAfterFailure();

    std::string SettingsFile;
    Division Divider{*this};
    ScreenSaverSwitch ScreenSaver;
    bool ScreenSaverOn = true;
    bool Shown = false;
    bool CommandLineTaken = false;
    bool CloseAfterRun = false;
    QElapsedTimer PumpTimer;
    QStringList PendingLog;
    int PendingLine = 0; // a line done whose display is still due; 0: none
};

} // namespace segmora
