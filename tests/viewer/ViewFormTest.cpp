#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <string>
#include <vector>

#include "Cp932.h"
#include "PrintForm.h"
#include "Prompt.h"
#include "Texts.h"
#include "ViewForm.h"
#include "ViewTexts.h"

using namespace segmora;

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// A completed run's log: header, the entries (UTF-8, stored as CP932),
// closing line.
std::vector<std::string> RunLog(const QStringList &entries) {
    std::vector<std::string> log{ToCp932(texts::LogHeader)};
    for (const QString &entry : entries)
        log.push_back(ToCp932(entry.toStdString()));
    log.push_back(ToCp932(texts::LogCompleted));
    return log;
}

std::string Crlf(const std::vector<std::string> &lines) {
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    return bytes;
}

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

QByteArray Bytes(const std::string &bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The viewer with its surroundings: the main window's fields, its log, the
// output folder, and the boxes shown through the prompt seam.
struct Fixture {
    Fixture() {
        Fields = DefaultSettings();
        ViewFormLinks links;
        links.OutputFolder = [this] { return OutputFolder; };
        links.ClearMainLog = [this] { Memo1.clear(); };
        View = std::make_unique<TViewForm>(Fields, links);
        View->SetPrintForm(PrintForm);
        Prompt::SetHandler([this](const PromptRequest &request) {
            Boxes.push_back(request);
            return Answer;
        });
    }
    ~Fixture() { Prompt::SetHandler({}); }

    QStringList FirstPage() const { return TViewForm::PageLines(View->RichEdit1->toPlainText()); }

    SettingsFields Fields;
    TPrintForm PrintForm;
    std::unique_ptr<TViewForm> View;
    std::string OutputFolder;
    std::vector<std::string> Memo1{"main log"};
    std::vector<PromptRequest> Boxes;
    QMessageBox::StandardButton Answer = QMessageBox::Ok;
};

QStringList Lines(const char *header, const QStringList &entries, const char *footer) {
    return QStringList{U(header)} + entries + QStringList{U(footer)};
}

} // namespace

class ViewFormTest : public QObject {
    Q_OBJECT
private slots:
    void handOff_data();
    void handOff();
    void secondRunReplacesEntries();
    void orders_data();
    void orders();
    void standardChangesFooterOnly();
    void editsDiscardedOnFirstPageKeptOnSecond();
    void formShowAppliesFieldsWithoutRebuilding();
    void close_data();
    void close();
    void sizeWrittenBackAsRead_data();
    void sizeWrittenBackAsRead();
    void saveWritesFirstPage_data();
    void saveWritesFirstPage();
    void saveKeepsHandedBytes();
    void saveFailure_data();
    void saveFailure();
    void saveUnmapped_data();
    void saveUnmapped();
    void pageBounds_data();
    void pageBounds();
    void printDialogBounds_data();
    void printDialogBounds();
    void printToPdf();
    void printFailureShown();
    void realPrintDialogCancelPrintsNothing();
    void printerSetupUsesTheOnePrinter();
    void copyMenu();
};

void ViewFormTest::handOff_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("three programs") << QStringList{U("O20"), U("O100"), U("O3(ﾌﾗﾝｼﾞ)")};
    QTest::newRow("no program") << QStringList{};
    QTest::newRow("duplicates") << QStringList{U("O5"), U("O1"), U("O5")};
}

void ViewFormTest::handOff() {
    QFETCH(QStringList, entries);
    Fixture f;
    f.View->Button1->setEnabled(false);
    f.View->HandOff(RunLog(entries));

    const QStringList log = Lines(texts::LogHeader, entries, texts::LogCompleted);
    QCOMPARE(f.View->RichEdit1->toPlainText(), log.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QCOMPARE(f.View->RichEdit2->toPlainText(), f.View->RichEdit1->toPlainText());
    QCOMPARE(f.View->ListBox1->count(), entries.size());
    QCOMPARE(f.View->ListBox2->count(), entries.size());
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(f.View->ListBox1->item(i)->text(), entries[i]);
    QVERIFY(f.View->Button1->isEnabled());
    QCOMPARE(f.View->Label1->text(), QString());
}

void ViewFormTest::secondRunReplacesEntries() {
    Fixture f;
    f.View->HandOff(RunLog({U("O9"), U("O8")}));
    f.View->HandOff(RunLog({U("O2"), U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QTest::mouseClick(f.View->SpeedButton2, Qt::LeftButton);
    QCOMPARE(f.FirstPage(), Lines(texts::LogHeader, {U("O2"), U("O1")}, viewtexts::Footer));
}

void ViewFormTest::orders_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("page");
    const QStringList mixed{U("O20"), U("O100"), U("O3")};
    QTest::newRow("ascending compares text, not numbers")
        << mixed << "SpeedButton1"
        << Lines(viewtexts::HeaderAscending, {U("O100"), U("O20"), U("O3")}, viewtexts::Footer);
    QTest::newRow("standard keeps log order")
        << mixed << "SpeedButton2" << Lines(texts::LogHeader, mixed, viewtexts::Footer);
    QTest::newRow("descending reverses ascending")
        << mixed << "SpeedButton3"
        << Lines(viewtexts::HeaderDescending, {U("O3"), U("O20"), U("O100")}, viewtexts::Footer);
    QTest::newRow("duplicates side by side")
        << QStringList{U("O5"), U("O1"), U("O5"), U("O2")} << "SpeedButton1"
        << Lines(viewtexts::HeaderAscending, {U("O1"), U("O2"), U("O5"), U("O5")},
                 viewtexts::Footer);
    QTest::newRow("case ignored") << QStringList{U("o2"), U("O3"), U("O1")} << "SpeedButton1"
                                  << Lines(viewtexts::HeaderAscending, {U("O1"), U("o2"), U("O3")},
                                           viewtexts::Footer);
    QTest::newRow("same but for case: order of the log")
        << QStringList{U("O1"), U("o1"), U("O0")} << "SpeedButton1"
        << Lines(viewtexts::HeaderAscending, {U("O0"), U("O1"), U("o1")}, viewtexts::Footer);
    QTest::newRow("whole line with comment")
        << QStringList{U("O1(B)"), U("O1 (A)"), U("O1(A)")} << "SpeedButton3"
        << Lines(viewtexts::HeaderDescending, {U("O1(B)"), U("O1(A)"), U("O1 (A)")},
                 viewtexts::Footer);
    QTest::newRow("empty run, ascending")
        << QStringList{} << "SpeedButton1"
        << Lines(viewtexts::HeaderAscending, {}, viewtexts::Footer);
    QTest::newRow("empty run, descending")
        << QStringList{} << "SpeedButton3"
        << Lines(viewtexts::HeaderDescending, {}, viewtexts::Footer);
}

void ViewFormTest::orders() {
    QFETCH(QStringList, entries);
    QFETCH(QString, button);
    QFETCH(QStringList, page);
    Fixture f;
    f.View->HandOff(RunLog(entries));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    auto *clicked = f.View->findChild<QToolButton *>(button);
    QVERIFY(clicked);
    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(f.FirstPage(), page);
    QVERIFY(clicked->isChecked());
    // The button already down stays down and rebuilds again.
    f.View->RichEdit1->setPlainText(QStringLiteral("typed"));
    QTest::mouseClick(clicked, Qt::LeftButton);
    QVERIFY(clicked->isChecked());
    QCOMPARE(f.FirstPage(), page);
    const int down = (f.View->SpeedButton1->isChecked() ? 1 : 0) +
                     (f.View->SpeedButton2->isChecked() ? 1 : 0) +
                     (f.View->SpeedButton3->isChecked() ? 1 : 0);
    QCOMPARE(down, 1);
}

void ViewFormTest::standardChangesFooterOnly() {
    Fixture f;
    const QStringList entries{U("O1234(FLANGE)"), U("O20")};
    f.View->HandOff(RunLog(entries));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    const QStringList before = f.FirstPage();
    QTest::mouseClick(f.View->SpeedButton2, Qt::LeftButton);
    const QStringList after = f.FirstPage();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.mid(0, after.size() - 1), before.mid(0, before.size() - 1));
    QCOMPARE(before.back(), U(texts::LogCompleted));
    QCOMPARE(after.back(), U(viewtexts::Footer));
}

void ViewFormTest::editsDiscardedOnFirstPageKeptOnSecond() {
    Fixture f;
    f.View->HandOff(RunLog({U("O2"), U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    const QString secondBefore = f.View->RichEdit2->toPlainText();
    f.View->RichEdit1->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.View->RichEdit1, QStringLiteral("first edit"));
    f.View->PageControl1->setCurrentWidget(f.View->TabSheet2);
    f.View->RichEdit2->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.View->RichEdit2, QStringLiteral("second edit"));
    QTest::mouseClick(f.View->SpeedButton1, Qt::LeftButton);
    QCOMPARE(f.FirstPage(),
             Lines(viewtexts::HeaderAscending, {U("O1"), U("O2")}, viewtexts::Footer));
    QCOMPARE(f.View->RichEdit2->toPlainText(), secondBefore + QStringLiteral("second edit"));
}

void ViewFormTest::formShowAppliesFieldsWithoutRebuilding() {
    Fixture f;
    f.Fields.ViewLeft = -3000; // off the screen: left there
    f.Fields.ViewTop = 40;
    f.Fields.ViewWidth = 520;
    f.Fields.ViewHeight = 480;
    f.Fields.ViewFontSize = 14;
    f.View->HandOff(RunLog({U("O1")}));
    // Left as a previous showing left it.
    f.View->SpeedButton3->setChecked(true);
    f.View->PageControl1->setCurrentWidget(f.View->TabSheet2);
    f.View->RichEdit1->setPlainText(QStringLiteral("kept"));

    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QCOMPARE(f.View->pos(), QPoint(-3000, 40));
    QCOMPARE(f.View->size(), QSize(520, 480) - TViewForm::FrameAllowance);
    QCOMPARE(f.View->minimumSize(), f.View->maximumSize()); // not resizable
    QCOMPARE(f.View->RichEdit1->font().pointSize(), 14);
    QCOMPARE(f.View->RichEdit2->font().pointSize(), 14);
    QVERIFY(f.View->SpeedButton2->isChecked());
    QVERIFY(!f.View->SpeedButton3->isChecked());
    QCOMPARE(f.View->RichEdit1->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(f.View->PageControl1->currentWidget(), f.View->TabSheet1);
}

void ViewFormTest::close_data() {
    QTest::addColumn<bool>("back");
    QTest::newRow("back button empties the main log") << true;
    QTest::newRow("title-bar close keeps it") << false;
}

void ViewFormTest::close() {
    QFETCH(bool, back);
    Fixture f;
    f.View->HandOff(RunLog({U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    f.View->move(123, 77); // the user moved it
    if (back)
        QTest::mouseClick(f.View->Button4, Qt::LeftButton);
    else
        f.View->close();
    QTRY_VERIFY(!f.View->isVisible());
    QCOMPARE(f.Memo1.empty(), back);
    QCOMPARE(f.Fields.ViewLeft, 123);
    QCOMPARE(f.Fields.ViewTop, 77);
    QCOMPARE(f.Fields.ViewWidth, 500);
    QCOMPARE(f.Fields.ViewHeight, 500);
}

void ViewFormTest::sizeWrittenBackAsRead_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("larger") << 900 << 700;
    QTest::newRow("smaller than the controls") << 200 << 150;
    QTest::newRow("smaller than the frame") << 3 << -20;
}

void ViewFormTest::sizeWrittenBackAsRead() {
    QFETCH(int, width);
    QFETCH(int, height);
    Fixture f;
    f.Fields.ViewWidth = width;
    f.Fields.ViewHeight = height;
    f.View->HandOff(RunLog({}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    f.View->close();
    QCOMPARE(f.Fields.ViewWidth, width);
    QCOMPARE(f.Fields.ViewHeight, height);
}

void ViewFormTest::saveWritesFirstPage_data() {
    QTest::addColumn<QString>("button"); // empty: saved right after the run
    QTest::addColumn<QString>("typed");  // appended to the first page
    QTest::addColumn<QStringList>("file");
    const QStringList entries{U("O20"), U("O100(ﾌﾗﾝｼﾞ)"), U("O3")};
    QTest::newRow("after the run")
        << QString() << QString() << Lines(texts::LogHeader, entries, texts::LogCompleted);
    QTest::newRow("after descending")
        << "SpeedButton3" << QString()
        << Lines(viewtexts::HeaderDescending, {U("O3"), U("O20"), U("O100(ﾌﾗﾝｼﾞ)")},
                 viewtexts::Footer);
    QTest::newRow("user edit, no final line break")
        << QString() << U("メモ")
        << Lines(texts::LogHeader, entries, texts::LogCompleted) + QStringList{U("メモ")};
}

void ViewFormTest::saveWritesFirstPage() {
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QStringList, file);
    QTemporaryDir dir;
    Fixture f;
    f.OutputFolder = dir.path().toStdString();
    QFile::remove(dir.filePath(QStringLiteral("List.log")));
    {
        QFile old(dir.filePath(QStringLiteral("List.log")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer List.log from an earlier run\r\n");
    }
    f.View->HandOff(RunLog({U("O20"), U("O100(ﾌﾗﾝｼﾞ)"), U("O3")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    if (!button.isEmpty())
        QTest::mouseClick(f.View->findChild<QToolButton *>(button), Qt::LeftButton);
    if (!typed.isEmpty()) {
        f.View->RichEdit1->moveCursor(QTextCursor::End);
        f.View->RichEdit1->insertPlainText(typed);
    }
    f.View->PageControl1->setCurrentWidget(f.View->TabSheet2); // Save takes the first page
    QTest::mouseClick(f.View->Button1, Qt::LeftButton);

    std::vector<std::string> expected;
    for (const QString &line : file)
        expected.push_back(ToCp932(line.toStdString()));
    QCOMPARE(ReadAll(dir.filePath(QStringLiteral("List.log"))), Bytes(Crlf(expected)));
    QVERIFY(!f.View->Button1->isEnabled());
    QVERIFY(f.Boxes.empty());
    QVERIFY(f.View->isVisible());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("List.log")});
}

void ViewFormTest::saveKeepsHandedBytes() {
    // Lines whose bytes do not come back unchanged through text: NEC row 13
    // and NEC-selected IBM characters (CP932 has each twice), and a byte that
    // is no CP932 at all. Unedited, they are saved as the run logged them.
    QTemporaryDir dir;
    Fixture f;
    f.OutputFolder = dir.path().toStdString();
    const std::vector<std::string> log{ToCp932(texts::LogHeader), "O1(\x87\x90)", "O2(\xED\x40)",
                                       "O3(\xFF)", ToCp932(texts::LogCompleted)};
    f.View->HandOff(log);
    QTest::mouseClick(f.View->Button1, Qt::LeftButton);
    QCOMPARE(ReadAll(dir.filePath(QStringLiteral("List.log"))), Bytes(Crlf(log)));
    QVERIFY(f.Boxes.empty());
}

void ViewFormTest::saveFailure_data() {
    QTest::addColumn<QString>("folder"); // under the temporary folder
    QTest::addColumn<bool>("logIsFolder");
    QTest::newRow("folder does not exist") << "missing/deeper" << false;
    QTest::newRow("List.log is a folder") << "" << true;
}

void ViewFormTest::saveFailure() {
    QFETCH(QString, folder);
    QFETCH(bool, logIsFolder);
    QTemporaryDir dir;
    const QString outputFolder = folder.isEmpty() ? dir.path() : dir.filePath(folder);
    const QString path = outputFolder + QStringLiteral("/List.log");
    if (logIsFolder)
        QVERIFY(QDir().mkpath(path));
    Fixture f;
    f.OutputFolder = outputFolder.toStdString();
    f.View->HandOff(RunLog({U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QTest::mouseClick(f.View->Button1, Qt::LeftButton);

    QCOMPARE(f.Boxes.size(), size_t(1));
    QCOMPARE(f.Boxes[0].Text, U("ファイル ") + path + U(" を作成できません."));
    QCOMPARE(f.Boxes[0].Caption, QStringLiteral("Segmora"));
    QCOMPARE(f.Boxes[0].Icon, QMessageBox::Critical);
    QVERIFY(f.View->Button1->isEnabled());
    QVERIFY(f.View->isVisible());
    QCOMPARE(QFileInfo(path).isDir(), logIsFolder);
    QCOMPARE(QDir(outputFolder).entryList(QDir::Files), QStringList{});

    // Mended, the same save goes through.
    if (logIsFolder)
        QVERIFY(QDir(path).removeRecursively());
    else
        QVERIFY(QDir().mkpath(outputFolder));
    QTest::mouseClick(f.View->Button1, Qt::LeftButton);
    QCOMPARE(ReadAll(path), Bytes(Crlf(RunLog({U("O1")}))));
    QVERIFY(!f.View->Button1->isEnabled());
}

void ViewFormTest::saveUnmapped_data() {
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("no: nothing written") << QMessageBox::No;
    QTest::newRow("yes: written with ?") << QMessageBox::Yes;
}

void ViewFormTest::saveUnmapped() {
    QFETCH(QMessageBox::StandardButton, answer);
    QTemporaryDir dir;
    Fixture f;
    f.Answer = answer;
    f.OutputFolder = dir.path().toStdString();
    f.View->HandOff(RunLog({U("O1"), U("O2")}));
    QTextCursor cursor = f.View->RichEdit1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine);
    cursor.insertText(U("(한글😀)"));
    QTest::mouseClick(f.View->Button1, Qt::LeftButton);

    QCOMPARE(f.Boxes.size(), size_t(1));
    QCOMPARE(f.Boxes[0].Caption, U("警告"));
    QCOMPARE(f.Boxes[0].Icon, QMessageBox::Warning);
    QVERIFY(f.Boxes[0].YesNo);
    QVERIFY2(f.Boxes[0].Text.contains(QStringLiteral(" 3 ")) &&
                 f.Boxes[0].Text.contains(QStringLiteral(" 3 行目")),
             qPrintable(f.Boxes[0].Text));
    const QString path = dir.filePath(QStringLiteral("List.log"));
    if (answer == QMessageBox::No) {
        QVERIFY(!QFile::exists(path));
        QVERIFY(f.View->Button1->isEnabled());
    } else {
        QCOMPARE(ReadAll(path), Bytes(Crlf({ToCp932(texts::LogHeader), "O1", "O2(\?\?\?)",
                                            ToCp932(texts::LogCompleted)})));
        QVERIFY(!f.View->Button1->isEnabled());
    }
}

void ViewFormTest::pageBounds_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("100 lines at 13 px") << 100 << 13 << 79 << 2;
    QTest::newRow("exactly one page full") << 79 << 13 << 79 << 2;
    QTest::newRow("no lines") << 0 << 13 << 79 << 1;
    QTest::newRow("negative height counts as magnitude") << 100 << -13 << 79 << 2;
    QTest::newRow("height 0 bounded to 1") << 2000 << 0 << 1027 << 2;
    QTest::newRow("height over 1027 bounded") << 5 << 1400 << 1 << 6;
}

void ViewFormTest::pageBounds() {
    QFETCH(int, lines);
    QFETCH(int, height);
    QFETCH(int, perPage);
    QFETCH(int, pages);
    const PageBounds bounds = PrintPageBounds(lines, height);
    QCOMPARE(bounds.LinesPerPage, perPage);
    QCOMPARE(bounds.Pages, pages);
}

void ViewFormTest::printDialogBounds_data() {
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("pages");
    // 98 entries + header + footer = 100 lines; at 96 dpi 10 points are 13 px.
    QTest::newRow("100 lines at 10 points") << 10 << 98 << 2;
    QTest::newRow("font size 0") << 0 << 98 << 1;
    QTest::newRow("font size negative") << -7 << 98 << 1;
    QTest::newRow("font size too large for a page") << 5000 << 3 << 6;
}

void ViewFormTest::printDialogBounds() {
    QFETCH(int, fontSize);
    QFETCH(int, entries);
    QFETCH(int, pages);
    Fixture f;
    if (f.View->logicalDpiY() != 96)
        QSKIP("the expected bounds assume a 96 dpi screen");
    f.Fields.ViewFontSize = fontSize;
    QStringList list;
    for (int i = 0; i < entries; ++i)
        list.append(QStringLiteral("O%1").arg(i));
    f.View->HandOff(RunLog(list));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    int shownPages = -1;
    f.View->PrintDialog1 = [&](QPrinter &, int p) {
        shownPages = p;
        return false;
    };
    QTest::mouseClick(f.View->Button2, Qt::LeftButton);
    QCOMPARE(shownPages, pages);
    QVERIFY(f.Boxes.empty());
}

void ViewFormTest::printToPdf() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    Fixture f;
    f.Fields.ViewFontSize = 12;
    QStringList entries;
    for (int i = 0; i < 120; ++i)
        entries.append(QStringLiteral("O%1(ﾌﾗﾝｼﾞ 加工 %2)").arg(1000 + i).arg(i));
    // A line longer than the printable width wraps instead of being cut.
    entries.append(QStringLiteral("O9999(") + QString(60, QLatin1Char('X')) +
                   QStringLiteral("END)"));
    f.View->HandOff(RunLog(entries));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QTest::mouseClick(f.View->SpeedButton1, Qt::LeftButton);
    f.View->RichEdit1->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.View->RichEdit1, QStringLiteral("typed on the first page"));
    f.View->PageControl1->setCurrentWidget(f.View->TabSheet2);
    f.View->RichEdit2->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.View->RichEdit2, QStringLiteral("typed on the second page"));
    // The page shows red text; the printout is black all the same.
    QPalette palette = f.View->RichEdit1->palette();
    palette.setColor(QPalette::Text, Qt::red);
    f.View->RichEdit1->setPalette(palette);

    int dialogs = 0;
    f.View->PrintDialog1 = [&](QPrinter &printer, int) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QTest::mouseClick(f.View->Button2, Qt::LeftButton);
    QCOMPARE(dialogs, 1);
    QVERIFY(f.Boxes.empty());
    QVERIFY(QFile::exists(pdf));

    QProcess text;
    text.start(QStringLiteral(SEGMORA_PDFTOTEXT),
               {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    const QStringList expected = f.FirstPage();
    QCOMPARE(expected.back(), QStringLiteral("typed on the first page"));
    for (const QString &line : expected)
        QVERIFY2(printed.contains(line) || line.size() > 60, qPrintable(line));
    QVERIFY(printed.contains(QString(60, QLatin1Char('X')).left(30)));
    QVERIFY(printed.contains(QStringLiteral("END)")));
    QVERIFY(!printed.contains(QStringLiteral("second page")));
    QVERIFY2(printed.count(QLatin1Char('\f')) >= 2, "more than one sheet");

    // Page one, rendered: dark text, nothing red.
    QProcess render;
    render.start(QStringLiteral(SEGMORA_PDFTOPPM),
                 {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                  QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                  QStringLiteral("1"), pdf, dir.filePath(QStringLiteral("page"))});
    QVERIFY(render.waitForFinished(30000));
    const QStringList images = QDir(dir.path()).entryList({QStringLiteral("page*.png")});
    QCOMPARE(images.size(), 1);
    const QImage image(dir.filePath(images[0]));
    QVERIFY(!image.isNull());
    int dark = 0, reddish = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 100 && c.green() < 100 && c.blue() < 100)
                ++dark;
            if (c.red() > c.green() + 60)
                ++reddish;
        }
    QVERIFY(dark > 100);
    QCOMPARE(reddish, 0);
}

void ViewFormTest::printFailureShown() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("missing/print.pdf"));
    Fixture f;
    f.View->HandOff(RunLog({U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    f.View->PrintDialog1 = [&](QPrinter &printer, int) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    QTest::mouseClick(f.View->Button2, Qt::LeftButton);
    QCOMPARE(f.Boxes.size(), size_t(1));
    QCOMPARE(f.Boxes[0].Icon, QMessageBox::Critical);
    QCOMPARE(f.Boxes[0].Caption, QStringLiteral("Segmora"));
    QVERIFY2(f.Boxes[0].Text.contains(pdf), qPrintable(f.Boxes[0].Text));
    QVERIFY(f.View->isVisible());
    QVERIFY(!QFile::exists(pdf));
}

void ViewFormTest::realPrintDialogCancelPrintsNothing() {
    Fixture f;
    f.View->HandOff(RunLog({U("O1")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("never.pdf"));
    f.PrintForm.Printer.setOutputFileName(pdf);
    int minPage = -1, maxPage = -1;
    bool rangeOffered = true, selectionOffered = true;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        minPage = dialog->minPage();
        maxPage = dialog->maxPage();
        rangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
        selectionOffered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
        dialog->reject();
    });
    QTest::mouseClick(f.View->Button2, Qt::LeftButton);
    QCOMPARE(minPage, 1);
    QCOMPARE(maxPage, 1);
    QVERIFY(!rangeOffered);
    QVERIFY(!selectionOffered);
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(f.Boxes.empty());
}

void ViewFormTest::printerSetupUsesTheOnePrinter() {
    Fixture f;
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QPrinter *seen = nullptr;
    QTimer::singleShot(0, this, [&] {
        if (auto *dialog = qobject_cast<QPageSetupDialog *>(QApplication::activeModalWidget())) {
            seen = dialog->printer();
            dialog->reject();
        }
    });
    QTest::mouseClick(f.View->Button3, Qt::LeftButton);
    QCOMPARE(seen, &f.PrintForm.Printer);
}

void ViewFormTest::copyMenu() {
    Fixture f;
    f.View->HandOff(RunLog({U("O1(ﾌﾗﾝｼﾞ)")}));
    f.View->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.View.get()));
    QCOMPARE(f.View->RichEdit1->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(f.View->EditCopy->text(), U("コピー"));
    QTextCursor cursor = f.View->RichEdit1->textCursor();
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::Down);
    cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    f.View->RichEdit1->setTextCursor(cursor);
    QApplication::clipboard()->setText(QStringLiteral("before"));
    f.View->EditCopy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), U("O1(ﾌﾗﾝｼﾞ)"));
}

QTEST_MAIN(ViewFormTest)
#include "ViewFormTest.moc"
