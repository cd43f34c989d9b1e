#include "MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <chrono>
#include <thread>

#include "FolderPath.h"
#include "MainTexts.h"
#include "OpenFilter.h"
#include "Prompt.h"
#include "Texts.h"
#include "UiText.h"
#include "UiTexts.h"

namespace segmora {
namespace {

QString Text(const char *utf8) {
    return QString::fromUtf8(utf8);
}
QString Text(const std::string &utf8) {
    return FromNative(utf8);
}

constexpr int ClientWidth = 493;
constexpr int ClientHeight = 424; // below the menu bar, status bar included
constexpr int StatusBarHeight = 21;
constexpr int FormFontPixels = 12;

// A labelled edit: the label stands above the edit with a 3-pixel gap.
QLineEdit *LabeledEdit(QWidget *parent, const char *name, const char *label, QRect place,
                       QLabel *&labelWidget) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setGeometry(place);
    labelWidget = new QLabel(Text(label), parent);
    labelWidget->setObjectName(QString::fromUtf8(name) + QStringLiteral("Label"));
    const int labelHeight = labelWidget->sizeHint().height();
    labelWidget->setGeometry(place.left(), place.top() - 3 - labelHeight,
                             std::max(place.width(), labelWidget->sizeHint().width()), labelHeight);
    return edit;
}

QPushButton *Button(QWidget *parent, const char *name, const char *caption, QRect place) {
    auto *button = new QPushButton(Text(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setGeometry(place);
    return button;
}

QAction *MenuItem(QMenu *menu, const char *name, const char *caption) {
    QAction *action = menu->addAction(Text(caption));
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

QAction *Separator(QMenu *menu, const char *name) {
    QAction *action = menu->addSeparator();
    action->setObjectName(QString::fromUtf8(name));
    return action;
}

} // namespace

TMainForm::TMainForm(std::string iniPath, const QStringList &arguments,
                     const MainFormPlugins &plugins, QWidget *parent)
    : QMainWindow(parent), Plugins(plugins), SettingsFile(std::move(iniPath)) {
    setObjectName(QStringLiteral("MainForm"));
    // A single fixed border with the minimise box and no maximise box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(GothicProportionalFont(FormFontPixels));
    BuildMenu();
    BuildControls();
    setFixedSize(ClientWidth, menuBar()->sizeHint().height() + ClientHeight);
    FormCreate(arguments);
}

TMainForm::~TMainForm() {
    FormDestroy();
}

void TMainForm::BuildMenu() {
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    OpMenu = bar->addMenu(Text(mainTexts::OpMenu));
    OpMenu->setObjectName(QStringLiteral("OpMenu"));
    op1 = MenuItem(OpMenu, "op1", mainTexts::Op1);
    op2 = MenuItem(OpMenu, "op2", mainTexts::Op2);
    op4 = MenuItem(OpMenu, "op4", mainTexts::Op4);
    N1 = Separator(OpMenu, "N1");
    op3 = MenuItem(OpMenu, "op3", mainTexts::Op3);
    for (QAction *item : {op1, op2, op3, op4})
        item->setCheckable(true);
    // A checkable item has flipped its own check mark when it triggers; the
    // handlers take the option's new value from it.
    connect(op1, &QAction::triggered, this, &TMainForm::op1Click);
    connect(op2, &QAction::triggered, this, &TMainForm::op2Click);
    connect(op3, &QAction::triggered, this, &TMainForm::op3Click);
    connect(op4, &QAction::triggered, this, &TMainForm::op4Click);

    setting = bar->addMenu(Text(mainTexts::SettingMenu));
    setting->setObjectName(QStringLiteral("setting"));
    User_op = MenuItem(setting, "User_op", mainTexts::User_op);
    DeskTop_set = MenuItem(setting, "DeskTop_set", mainTexts::DeskTop_set);
    connect(User_op, &QAction::triggered, this, [this] { User_opClick(); });
    connect(DeskTop_set, &QAction::triggered, this, [this] { DeskTop_setClick(); });

    Menu_help = bar->addMenu(Text(mainTexts::HelpMenu));
    Menu_help->setObjectName(QStringLiteral("Menu_help"));
    Menu_hp = MenuItem(Menu_help, "Menu_hp", mainTexts::Menu_hp);
    Menu_add = MenuItem(Menu_help, "Menu_add", mainTexts::Menu_add);
    Helpnon = Separator(Menu_help, "Helpnon");
    Menu_ver = MenuItem(Menu_help, "Menu_ver", mainTexts::Menu_ver);
    connect(Menu_hp, &QAction::triggered, this, [this] { Menu_hpClick(); });
    connect(Menu_add, &QAction::triggered, this, [this] { Menu_addClick(); });
    connect(Menu_ver, &QAction::triggered, this, [this] { Menu_verClick(); });
}

void TMainForm::BuildControls() {
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(0, 0, ClientWidth, 185);

    LabeledEdit1 = LabeledEdit(Panel1, "LabeledEdit1", mainTexts::LabelFileName,
                               QRect(5, 20, 380, 20), LabeledEdit1Label);
    Button1 = Button(Panel1, "Button1", mainTexts::BrowseButton, QRect(400, 20, 20, 20));
    LabeledEdit2 = LabeledEdit(Panel1, "LabeledEdit2", mainTexts::LabelOutputFolder,
                               QRect(5, 80, 380, 20), LabeledEdit2Label);
    Button2 = Button(Panel1, "Button2", mainTexts::BrowseButton, QRect(400, 80, 20, 20));
    LabeledEdit5 = LabeledEdit(Panel1, "LabeledEdit5", mainTexts::LabelLeadLetter,
                               QRect(5, 120, 30, 20), LabeledEdit5Label);
    // Typing stops at one character, but a longer lead letter from the
    // settings file is shown whole (it then matches no line), so the limit is
    // a validator of typed text, not a maximum length that would cut it.
    LabeledEdit5->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral(".?")), LabeledEdit5));
    // The lead letter is shown, and read by the run, in upper case.
    connect(LabeledEdit5, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text)
            LabeledEdit5->setText(upper);
    });
    LabeledEdit2->installEventFilter(this);

    Button3 = Button(Panel1, "Button3", mainTexts::StartButton, QRect(8, 152, 80, 25));
    Button4 = Button(Panel1, "Button4", mainTexts::AbortButton, QRect(96, 152, 80, 25));
    Button5 = Button(Panel1, "Button5", mainTexts::ExitButton, QRect(185, 152, 80, 25));
    Button4->setEnabled(false);
    for (QPushButton *button : {Button1, Button2, Button3, Button4, Button5})
        button->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TMainForm::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TMainForm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TMainForm::Button5Click);

    Label1 = new QLabel(Text(texts::NameLabel), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(0, 192);
    Label1->adjustSize();

    RichEdit1 = new QPlainTextEdit(client);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(0, 208, 273, 194);
    RichEdit1->setFont(GothicFixedFont(FormFontPixels));
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The run works on its own copy of the input (Division::RichEdit1); this
    // view only shows it.
    RichEdit1->setReadOnly(true);

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(280, 208, 211, 194);
    Memo1->setFont(GothicFixedFont(FormFontPixels));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(Text(mainTexts::Memo1FirstLine));
    // The output buffer (the design's Memo2, never seen) is Division::Memo2.

    // Drops go to the window, not as text into a field.
    for (QWidget *child :
         {static_cast<QWidget *>(LabeledEdit1), static_cast<QWidget *>(LabeledEdit2),
          static_cast<QWidget *>(LabeledEdit5), static_cast<QWidget *>(RichEdit1),
          static_cast<QWidget *>(Memo1)})
        child->setAcceptDrops(false);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(StatusBarHeight);
    // The panels are placed by hand, as on the design: the progress bar
    // (made by FormShow) covers the first panel, 100 wide; the second panel
    // takes the rest of the bar, as the last panel of a status bar does, so
    // its line text is never cut.
    StatusPanel2 = new QLabel(StatusBar1);
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel2->setGeometry(100, 2, ClientWidth - 100, StatusBarHeight - 2);
    setStatusBar(StatusBar1);
}

// --- Start-up, show, close -------------------------------------------------

void TMainForm::FormCreate(const QStringList &arguments) {
    WindowPosition position;
    LoadSettings(SettingsFile, *this, position);
    move(position.Left, position.Top);

    op1->setChecked(OP1);
    op2->setChecked(OP2);
    op3->setChecked(OP3);
    op4->setChecked(OP4);

    OpenFilter = BuildOpenFilter(User1_Name, User1_Mask, User2_Name, User2_Mask);

    for (qsizetype k = 1; k < arguments.size(); ++k) {
        if (arguments[k].contains(QLatin1Char('/'))) {
            TakeInFile(arguments[k]);
            CommandLineTaken = true;
            break;
        }
    }
}

void TMainForm::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (!Shown) {
        Shown = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    // The input view has no text limit of its own; InputViewText decides how
    // much of a loaded input it shows.
    ProgressBar = new QProgressBar(StatusBar1);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(0, 2, 100, StatusBarHeight - 2);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->show();

    setAcceptDrops(true);
    if (!CommandLineTaken)
        LabeledEdit2->setText(Text(SettingsFields::ChgPath));
    LabeledEdit5->setText(Text(oChg));
    Version = mainTexts::Version;
    setWindowTitle(Text(mainTexts::CaptionPrefix) + Text(Version));
}

void TMainForm::closeEvent(QCloseEvent *event) {
    // While a box or dialog is open the window takes no clicks, so a close
    // request comes from a signal (log-off, shutdown): every box and dialog
    // open over the window is closed unanswered, the innermost first (the
    // viewer may show a box of its own), so that the program can end.
    QList<QDialog *> closed;
    while (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
        if (closed.contains(modal))
            break;
        closed.append(modal);
        modal->reject();
    }
    if (Divider.Running()) {
        // The run stops at its next abort check (after the file in hand is
        // written whole) or at its end; Button3Click then closes the window.
        Divider.RequestStop();
        CloseAfterRun = true;
        event->ignore();
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TMainForm::FormCloseQuery(bool &canClose) {
    try {
        SaveSettings(SettingsFile, *this, WindowPosition{x(), y()});
    } catch (const std::exception &error) {
        // The window stays open; the next close request saves again.
        Prompt::StandardError(this, QString::fromUtf8(error.what()));
        canClose = false;
        return;
    }
    SetScreenSaver(true);
    canClose = true;
}

void TMainForm::FormDestroy() {
    delete ProgressBar;
    ProgressBar = nullptr;
}

// --- Files and folders reaching the window --------------------------------

void TMainForm::TakeInFile(const QString &path) {
    LabeledEdit1->setText(path);
    const std::string native = ToNative(path);
    if (DirPath == SettingsFields::ChgPath)
        LabeledEdit2->setText(Text(ExtractFilePath(native)));
    else
        LabeledEdit2->setText(Text(SettingsFields::ChgPath));
    DirPath = ExtractFileDir(native);
}

QMessageBox::StandardButton TMainForm::Confirm(const QString &text) {
    MsgResult = Prompt::Ok(this, text, Text(mainTexts::ConfirmCaption), QMessageBox::Critical);
    return MsgResult;
}

void TMainForm::dragEnterEvent(QDragEnterEvent *event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event) {
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    WMDropFiles(event->mimeData()->urls());
}

void TMainForm::WMDropFiles(const QList<QUrl> &items) {
    if (items.size() != 1) {
        Confirm(Text(mainTexts::MultipleDropped));
        return;
    }
    // The whole path is taken, however long.
    if (items.front().isLocalFile())
        TakeInFile(items.front().toLocalFile());
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == LabeledEdit2 && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (text.size() == 1) {
            QChar key = text.front();
            LabeledEdit2KeyPress(key);
            if (key.isNull())
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::LabeledEdit2KeyPress(QChar &key) {
    if (!key.isNull() && Text(mainTexts::RefusedInFolder).contains(key)) {
        key = QChar();
        Confirm(Text(mainTexts::RefusedCharMessage));
    }
}

void TMainForm::Button1Click() {
    OpenFileRequest request;
    request.Title = Text(mainTexts::OpenDialogTitle);
    request.InitialFolder = Text(DirPath);
    request.DefaultExtension = Text(mainTexts::DefaultExtension);
    request.Filter = Text(OpenFilter);
    request.FilterIndex = Mask_No;

    std::optional<OpenFileResult> chosen;
    if (Plugins.ChooseInputFile) {
        chosen = Plugins.ChooseInputFile(this, request);
    } else {
        QFileDialog dialog(this, request.Title, request.InitialFolder);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(request.DefaultExtension);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        QStringList filters;
        for (const std::string &filter : ToNameFilters(OpenFilter))
            filters << Text(filter);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size())
                dialog.selectNameFilter(filters[request.FilterIndex - 1]);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
            chosen = OpenFileResult{dialog.selectedFiles().front(),
                                    index >= 0 ? static_cast<int>(index) + 1 : Mask_No};
        }
    }
    if (!chosen)
        return;
    // A file chosen here leaves the output folder alone.
    LabeledEdit1->setText(chosen->Path);
    DirPath = ExtractFileDir(ToNative(chosen->Path));
    Mask_No = chosen->FilterIndex;
}

void TMainForm::Button2Click() {
    const QString caption = Text(mainTexts::BrowseFolderCaption) + Text(SettingsFields::ChgPath);
    const QString folder = Text(SettingsFields::ChgPath);
    std::optional<QString> chosen;
    if (Plugins.ChooseFolder) {
        chosen = Plugins.ChooseFolder(this, caption, folder);
    } else {
        const QString picked = QFileDialog::getExistingDirectory(this, caption, folder);
        if (!picked.isEmpty())
            chosen = picked;
    }
    // Confirmed: the chosen folder without a trailing "/" (the root stays
    // "/"). Cancelled: the folder as passed in when it exists, else empty.
    std::string result;
    if (chosen) {
        result = ToNative(*chosen);
        if (result != "/")
            result = WithoutTrailingSeparator(result);
    } else if (FolderExists(SettingsFields::ChgPath))
        result = SettingsFields::ChgPath;
    SettingsFields::ChgPath = result;
    LabeledEdit2->setText(Text(result));
}

// --- Run control ----------------------------------------------------------

void TMainForm::Button3Click() {
    if (Divider.Running())
        return;
    PumpTimer.start();
    PendingLine = 0;
    try {
        const RunEnd end = Divider.Run();
        FlushDisplay();
        if (end == RunEnd::Stopped)
            RestoreAfterFailure();
    } catch (const std::exception &error) {
        // A failed file operation (or memory running out) ended the run: the
        // controls come back as after any end of a run, the log stays as it
        // was, and the error is shown.
        FlushDisplay();
        RestoreAfterFailure();
        // Shown also when a close request is waiting: a file may be left
        // half-written, and that is never passed over in silence.
        Prompt::StandardError(this, QString::fromUtf8(error.what()));
    }
    if (CloseAfterRun) {
        CloseAfterRun = false;
        close();
    }
}

void TMainForm::RestoreAfterFailure() {
    SetScreenSaver(true);
    Button3->setEnabled(true);
    Button4->setEnabled(false);
    Button5->setEnabled(true);
    SetStatusText({});
    SetProgressPosition(0);
}

void TMainForm::Button4Click() {
    Divider.RequestAbort();
    Button4->setEnabled(false);
    SetScreenSaver(true);
}

void TMainForm::Button5Click() {
    close();
}

void TMainForm::op1Click() {
    OP1 = op1->isChecked();
}
void TMainForm::op2Click() {
    OP2 = op2->isChecked();
}
void TMainForm::op3Click() {
    OP3 = op3->isChecked();
}
void TMainForm::op4Click() {
    OP4 = op4->isChecked();
}

void TMainForm::User_opClick() {
    if (Plugins.UserTypes)
        Plugins.UserTypes();
    // Whichever button closed the dialog.
    OpenFilter = BuildOpenFilter(User1_Name, User1_Mask, User2_Name, User2_Mask);
}
void TMainForm::DeskTop_setClick() {
    if (Plugins.DesktopShortcut)
        Plugins.DesktopShortcut();
}
void TMainForm::Menu_hpClick() {
    if (Plugins.HomePage)
        Plugins.HomePage();
}
void TMainForm::Menu_addClick() {
    if (Plugins.Mail)
        Plugins.Mail();
}
void TMainForm::Menu_verClick() {
    if (Plugins.VersionBox)
        Plugins.VersionBox();
}

// --- The run's host -------------------------------------------------------

std::string TMainForm::FieldText(Control field) {
    switch (field) {
    case Control::LabeledEdit1:
        return ToNative(LabeledEdit1->text());
    case Control::LabeledEdit2:
        return ToNative(LabeledEdit2->text());
    case Control::LabeledEdit5:
        return ToCp932Bytes(LabeledEdit5->text());
    default:
        return {};
    }
}

void TMainForm::SetFieldText(Control field, const std::string &text) {
    switch (field) {
    case Control::LabeledEdit1:
        LabeledEdit1->setText(Text(text));
        break;
    case Control::LabeledEdit2:
        LabeledEdit2->setText(Text(text));
        break;
    case Control::LabeledEdit5:
        LabeledEdit5->setText(FromCp932Bytes(text));
        break;
    default:
        break;
    }
}

void TMainForm::FocusField(Control field) {
    switch (field) {
    case Control::LabeledEdit1:
        LabeledEdit1->setFocus();
        break;
    case Control::LabeledEdit2:
        LabeledEdit2->setFocus();
        break;
    case Control::LabeledEdit5:
        LabeledEdit5->setFocus();
        break;
    default:
        break;
    }
}

void TMainForm::EnableControl(Control button, bool enabled) {
    switch (button) {
    case Control::Button3:
        Button3->setEnabled(enabled);
        break;
    case Control::Button4:
        Button4->setEnabled(enabled);
        break;
    case Control::Button5:
        Button5->setEnabled(enabled);
        break;
    default:
        break;
    }
}

bool TMainForm::OptionOn(Option option) {
    switch (option) {
    case Option::OP1:
        return OP1;
    case Option::OP2:
        return OP2;
    case Option::OP3:
        return OP3;
    case Option::OP4:
        return OP4;
    }
    return false;
}

Answer TMainForm::Ask(Question, const std::string &text) {
    // A close request is waiting for the run to stop: no further question.
    if (CloseAfterRun)
        return Answer::No;
    FlushDisplay();
    PromptRequest request;
    request.Parent = this;
    request.Text = Text(text);
    request.Caption = Text(texts::WarningCaption);
    request.Icon = QMessageBox::Warning;
    request.YesNo = true;
    request.Position = frameGeometry().topLeft() + QPoint(50, 50);
    MsgResult = Prompt::Show(request);
    if (MsgResult == QMessageBox::Yes)
        return Answer::Yes;
    if (MsgResult == QMessageBox::No)
        return Answer::No;
    return Answer::Other;
}

void TMainForm::Tell(const std::string &text, const std::string &caption) {
    FlushDisplay();
    MsgResult = Prompt::Ok(this, Text(text), Text(caption), QMessageBox::Critical);
}

// The run offers a pump after every input line and after every file. Serving
// each would cost more than the division itself on a large input, so pending
// input and repaints are served at most every PumpIntervalMs; the display
// state in between (log lines, the line done) is kept and shown, in the
// order the run produced it, at the next pump served.
void TMainForm::Pump() {
    if (!PumpTimer.isValid() || PumpTimer.elapsed() >= PumpIntervalMs)
        ServePump();
}

void TMainForm::LineDone(int line) {
    PendingLine = line;
    Pump();
}

void TMainForm::ServePump() {
    FlushDisplay();
    QCoreApplication::processEvents();
    PumpTimer.start();
}

void TMainForm::FlushDisplay() {
    if (!PendingLog.isEmpty()) {
        Memo1->appendPlainText(PendingLog.join(QLatin1Char('\n')));
        PendingLog.clear();
    }
    if (PendingLine > 0) {
        if (ProgressBar)
            ProgressBar->setValue(PendingLine);
        StatusPanel2->setText(Text(StatusLineText(PendingLine)));
        PendingLine = 0;
    }
}

void TMainForm::Pause(int milliseconds) {
    FlushDisplay();
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TMainForm::SetScreenSaver(bool active) {
    ScreenSaverOn = active;
    ScreenSaver.SetActive(active);
}

void TMainForm::SetProgressMaximum(int maximum) {
    if (ProgressBar)
        ProgressBar->setRange(0, maximum);
}

void TMainForm::SetProgressPosition(int position) {
    PendingLine = 0; // a later setting than any line still to be shown
    if (ProgressBar)
        ProgressBar->setValue(position);
}

void TMainForm::SetStatusText(const std::string &text) {
    PendingLine = 0;
    StatusPanel2->setText(Text(text));
}

void TMainForm::SetNameLabel(const std::string &text) {
    Label1->setText(Text(text));
    Label1->adjustSize();
}

void TMainForm::LogCleared() {
    PendingLog.clear();
    Memo1->clear();
}

void TMainForm::LogAppended(const std::string &cp932Line) {
    PendingLog.append(FromCp932Bytes(cp932Line));
}

QString TMainForm::InputViewText(const InputView &view) {
    // A 100 MB input has millions of lines; a text view that holds them all
    // takes longer to fill than the division takes to run. So the view shows
    // the start of the input (50,000 lines fill in about a tenth of a second,
    // which shows most programs' files whole) and says how much is left out;
    // the run always works on all of it.
    QString text;
    size_t bytes = 0;
    size_t shown = 0;
    bool firstLineCut = false;
    const size_t count = view.LineCount();
    LineCursor cursor(view);
    std::string_view line;
    for (; shown < InputViewLineLimit && cursor.Next(line); ++shown) {
        if (bytes + line.size() > InputViewByteLimit) {
            if (shown == 0) { // one huge line: its start
                text += FromCp932Bytes(line.substr(0, InputViewByteLimit));
                firstLineCut = true;
                shown = 1;
            }
            break;
        }
        bytes += line.size() + 1;
        if (shown > 0)
            text += QLatin1Char('\n');
        text += FromCp932Bytes(line);
    }
    if (shown < count || firstLineCut) {
        text += QLatin1Char('\n');
        text += Text(mainTexts::InputViewCut)
                    .arg(static_cast<qulonglong>(shown))
                    .arg(static_cast<qulonglong>(count));
    }
    return text;
}

void TMainForm::InputViewChanged() {
    RichEdit1->setPlainText(InputViewText(Divider.RichEdit1));
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1->ensureCursorVisible();
}

void TMainForm::FilesCreatedAgain(const std::vector<std::string> &paths) {
    if (CloseAfterRun)
        return;
    FlushDisplay();
    constexpr size_t Listed = 20;
    QStringList names;
    for (size_t k = 0; k < paths.size() && k < Listed; ++k)
        names << Text(paths[k]);
    if (paths.size() > Listed)
        names << Text(mainTexts::RecreatedFilesMore)
                     .arg(static_cast<qulonglong>(paths.size() - Listed));
    MsgResult = Prompt::Ok(this,
                           Text(mainTexts::RecreatedFilesMessage)
                               .arg(names.join(QLatin1Char('\n')), Text(mainTexts::Op4)),
                           Text(texts::WarningCaption), QMessageBox::Warning);
}

void TMainForm::ShowViewer(const std::vector<std::string> &log) {
    FlushDisplay();
    if (!CloseAfterRun && Plugins.ShowViewer)
        Plugins.ShowViewer(log);
}

} // namespace segmora
