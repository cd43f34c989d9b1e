#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "Cp932.h"
#include "MainForm.h"
#include "PrintForm.h"
#include "Prompt.h"
#include "Settings.h"
#include "Texts.h"
#include "UiText.h"
#include "ViewForm.h"
#include "ViewTexts.h"

using namespace segmora;

// A division run started from the main window ends in the viewer, wired as
// the program wires it: the log on both pages, List.log saved into the run's
// output folder, and Back emptying the main window's log.
class RunToViewerTest : public QObject {
    Q_OBJECT
private slots:
    void runEndsInViewer();
};

void RunToViewerTest::runEndsInViewer() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in"));
    const QString out = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(in) && QDir().mkpath(out));
    const QString ini = dir.filePath(QStringLiteral("segmora.INI"));
    SettingsFields fields = DefaultSettings();
    fields.DirPath = ToNative(in);
    fields.ChgPath = ToNative(out);
    SaveSettings(ToNative(ini), fields, WindowPosition{});
    const QString input = in + QStringLiteral("/JOB.NC");
    {
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%\r\nO20\r\nG0X1\r\nO100(" + QByteArray::fromStdString(ToCp932("ﾌﾗﾝｼﾞ")) +
                   ")\r\nG1X2\r\nO3\r\nM30\r\n%\r\n");
    }

    TMainForm MainForm(ToNative(ini), {QStringLiteral("segmora")});
    MainForm.PumpIntervalMs = 0;
    ViewFormLinks links;
    links.OutputFolder = [&] { return MainForm.DivisionRun().OutputFolder; };
    links.ClearMainLog = [&] { MainForm.DivisionRun().ClearLog(); };
    TViewForm ViewForm(MainForm, links, &MainForm);
    TPrintForm PrintForm;
    ViewForm.SetPrintForm(PrintForm);
    MainForm.Plugins.ShowViewer = [&](const std::vector<std::string> &log) {
        ViewForm.HandOff(log);
        ViewForm.exec();
    };
    std::vector<QString> boxes;
    Prompt::SetHandler([&](const PromptRequest &request) {
        boxes.push_back(request.Text);
        return QMessageBox::Ok;
    });
    MainForm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&MainForm));
    MainForm.LabeledEdit1->setText(input);
    MainForm.LabeledEdit2->setText(out + QLatin1Char('/'));

    // Once the viewer is up as the modal window: look, save, go back.
    QString firstPage, mainLogWhileShown;
    int entries = -1;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (QApplication::activeModalWidget() != &ViewForm)
            return;
        poll.stop();
        firstPage = ViewForm.RichEdit1->toPlainText();
        entries = ViewForm.ListBox1->count();
        mainLogWhileShown = MainForm.Memo1->toPlainText();
        QTest::mouseClick(ViewForm.Button1, Qt::LeftButton);
        QTest::mouseClick(ViewForm.Button4, Qt::LeftButton);
    });
    poll.start(10);
    QTest::mouseClick(MainForm.Button3, Qt::LeftButton);
    Prompt::SetHandler({});

    QVERIFY(boxes.empty());
    const QStringList log{QString::fromUtf8(texts::LogHeader), QStringLiteral("O20"),
                          QString::fromUtf8("O100(ﾌﾗﾝｼﾞ)"), QStringLiteral("O3"),
                          QString::fromUtf8(texts::LogCompleted)};
    QCOMPARE(firstPage, log.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(entries, 3);
    QVERIFY(mainLogWhileShown.contains(QStringLiteral("O100")));
    QFile saved(out + QStringLiteral("/List.log"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray::fromStdString(ToCp932(
                                  log.join(QStringLiteral("\r\n")).toStdString() + "\r\n")));
    QVERIFY(!ViewForm.isVisible());
    QVERIFY(MainForm.DivisionRun().Memo1.empty());
    QCOMPARE(MainForm.Memo1->toPlainText(), QString());
    QVERIFY(MainForm.Button3->isEnabled());
}

QTEST_MAIN(RunToViewerTest)
#include "RunToViewerTest.moc"
