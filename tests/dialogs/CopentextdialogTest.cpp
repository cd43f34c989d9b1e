#include "Copentextdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "DialogTexts.h"
#include "OpenFilter.h"
#include "Prompt.h"
#include "Settings.h"

using namespace segmora;

namespace {

QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

QString DefaultFilter() {
    const SettingsFields fields = DefaultSettings();
    return QString::fromStdString(BuildOpenFilter(fields.User1_Name, fields.User1_Mask,
                                                  fields.User2_Name, fields.User2_Mask));
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class CopentextdialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir Folder;
    std::vector<PromptRequest> Boxes;
    QString MemoAtBox; // the memo's text while a box was up

    std::unique_ptr<COpenTextDialog> MakeDialog(int filterIndex = 1,
                                                const QString &filter = DefaultFilter()) {
        return std::make_unique<COpenTextDialog>(nullptr, filter, Folder.path(), filterIndex,
                                                 U(dialogtexts::OpenTitle));
    }

    QString Path(const char *name) const { return Folder.filePath(QString::fromUtf8(name)); }

    // The names the file list shows, once the folder has been read.
    static QStringList Listed(COpenTextDialog &dialog) {
        auto *view = dialog.findChild<QListView *>(QStringLiteral("listView"));
        QStringList names;
        if (!view)
            return names;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        names.sort();
        return names;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true); // the file dialog's own settings
        QVERIFY(Folder.isValid());
        QByteArray big;
        for (int i = 0; big.size() < 5000; ++i)
            big += QByteArray("N") + QByteArray::number(i) + " G01 X10.0\r\n";
        big.truncate(5000);
        QByteArray zeroAt99(200, 'A'), zeroAt100(200, 'A');
        zeroAt99[99] = '\0';
        zeroAt100[100] = '\0';
        QVERIFY(WriteFile(Path("lf.nc"), "O1\nG00\n"));
        QVERIFY(WriteFile(Path("cr.nc"), "O1\rG00\r"));
        QVERIFY(WriteFile(Path("crlf.nc"), "O1\r\nG00\r\n"));
        QVERIFY(WriteFile(Path("big.nc"), big));
        QVERIFY(WriteFile(Path("empty.nc"), ""));
        QVERIFY(WriteFile(Path("zero99.nc"), zeroAt99));
        QVERIFY(WriteFile(Path("zero100.nc"), zeroAt100));
        QVERIFY(WriteFile(Path("utf16.txt"), QByteArray("O\0001\0\r\0\n\0", 8)));
        // "O1 (加工)" in CP932
        QVERIFY(WriteFile(Path("sjis.nc"), QByteArray("O1 (\x89\xc1\x8d\x48)\r\n")));
        QVERIFY(WriteFile(Path("B.NC1"), "O2\r\n"));
        QVERIFY(WriteFile(Path("c.txt"), "text\r\n"));
        QVERIFY(WriteFile(Path("d.abc"), "O3\r\n"));
        QVERIFY(WriteFile(Path("NOEXT"), "O4\r\n"));
        QVERIFY(QDir(Folder.path()).mkdir(QStringLiteral("sub")));
        QCOMPARE(::mkfifo(Path("fifo").toUtf8().constData(), 0600), 0);
    }

    void init() {
        Boxes.clear();
        MemoAtBox.clear();
        Prompt::SetHandler([this](const PromptRequest &request) {
            Boxes.push_back(request);
            if (auto *dialog = qobject_cast<COpenTextDialog *>(request.Parent))
                MemoAtBox = dialog->PreviewMemo->toPlainText();
            return QMessageBox::Ok;
        });
    }

    void cleanup() { Prompt::SetHandler({}); }

    void isTextFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("text");
        QByteArray zeroAt99(300, 'x'), zeroAt100(300, 'x');
        zeroAt99[99] = '\0';
        zeroAt100[100] = '\0';
        QTest::newRow("empty") << QByteArray() << 0 << true;
        QTest::newRow("negative length") << QByteArray("\0", 1) << -1 << true;
        QTest::newRow("zero first") << QByteArray("\0abc", 4) << 4 << false;
        QTest::newRow("zero at 99") << zeroAt99 << 300 << false;
        QTest::newRow("zero at 100") << zeroAt100 << 300 << true;
        QTest::newRow("zero beyond length") << QByteArray("ab\0", 3) << 2 << true;
        QTest::newRow("utf-16 ascii") << QByteArray("O\0001\0", 4) << 4 << false;
        QTest::newRow("high bytes and controls") << QByteArray("\x82\xa0\x01\x1a\xff") << 5 << true;
    }

    void isTextFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, length);
        QFETCH(bool, text);
        QCOMPARE(COpenTextDialog::IsTextFile(bytes.constData(), length), text);
    }

    void enlargedAndCentred() {
        // The same dialog without the strip, for its standard size.
        QFileDialog plain(nullptr, U(dialogtexts::OpenTitle), Folder.path());
        plain.setOption(QFileDialog::DontUseNativeDialog);
        plain.setOption(QFileDialog::HideNameFilterDetails);
        QStringList filters;
        for (const std::string &name : ToNameFilters(DefaultFilter().toStdString()))
            filters << QString::fromStdString(name);
        plain.setNameFilters(filters);
        plain.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        const QSize standard = plain.size();
        plain.hide();

        auto dialog = MakeDialog();
        QVERIFY(!dialog->PreviewMemo && !dialog->PreviewCheck);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->size(), standard + QSize(0, 145));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(dialog->pos(), QPoint((screen.width() - dialog->frameGeometry().width()) / 2,
                                       (screen.height() - dialog->frameGeometry().height()) / 2));
        QVERIFY(dialog->PreviewCheck->isChecked());
        QCOMPARE(dialog->PreviewCheck->text(), U("内容をﾌﾟﾚﾋﾞｭｰする。"));
        QCOMPARE(dialog->PreviewCheck->geometry(), QRect(6, standard.height(), 200, 25));
        QCOMPARE(dialog->PreviewMemo->geometry(),
                 QRect(6, standard.height() + 25, standard.width() - 12, 100));
        QVERIFY(!dialog->PreviewMemo->isReadOnly());
        QCOMPARE(dialog->PreviewMemo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        // The standard contents stay above the strip.
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QVERIFY(buttons->geometry().bottom() < standard.height());

        // Made larger by the user, the strip keeps to the bottom edge.
        dialog->resize(dialog->width() + 100, dialog->height() + 50);
        QCOMPARE(dialog->PreviewCheck->geometry().top(), dialog->height() - 145);
        QCOMPARE(dialog->PreviewMemo->width(), dialog->width() - 12);

        dialog->reject();
        QVERIFY(!dialog->PreviewMemo && !dialog->PreviewCheck);
    }

    void preview_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("shown");
        QTest::newRow("lf only") << "lf.nc"
                                 << "O1\nG00\n";
        QTest::newRow("cr only") << "cr.nc"
                                 << "O1\nG00\n";
        QTest::newRow("cr lf") << "crlf.nc"
                               << "O1\nG00\n";
        QTest::newRow("cp932") << "sjis.nc" << U("O1 (加工)\n");
        QTest::newRow("empty file") << "empty.nc"
                                    << "";
        QTest::newRow("zero at 100: the bytes before it")
            << "zero100.nc" << QString(100, QLatin1Char('A'));
        QFile big(Path("big.nc"));
        QVERIFY(big.open(QIODevice::ReadOnly));
        QString head = QString::fromLatin1(big.read(1023));
        head.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTest::newRow("5000 bytes: the first 1023") << "big.nc" << head;
    }

    void preview() {
        QFETCH(QString, file);
        QFETCH(QString, shown);
        auto dialog = MakeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        dialog->PreviewMemo->setPlainText(QStringLiteral("before"));
        emit dialog->currentChanged(Folder.filePath(file));
        QCOMPARE(dialog->PreviewMemo->toPlainText(), shown);
        QVERIFY(Boxes.empty());
    }

    void notTextRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("zero at 99") << "zero99.nc";
        QTest::newRow("utf-16") << "utf16.txt";
    }

    void notTextRefused() {
        QFETCH(QString, file);
        auto dialog = MakeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        emit dialog->currentChanged(Path("lf.nc"));
        emit dialog->currentChanged(Folder.filePath(file));
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Text,
                 U("ファイルのプレビューが出来ません。\n(ファイルタイプが違います。)"));
        QCOMPARE(Boxes[0].Caption, U("警告"));
        QCOMPARE(Boxes[0].Icon, QMessageBox::Warning);
        QVERIFY(!Boxes[0].YesNo);
        QCOMPARE(MemoAtBox, U("O1\nG00\n")); // the box comes first
        QCOMPARE(dialog->PreviewMemo->toPlainText(), U("ﾌﾟﾚﾋﾞｭｰ不可"));
        // Each refused file gets its own box.
        emit dialog->currentChanged(Path("zero99.nc"));
        QCOMPARE(Boxes.size(), size_t(2));
    }

    void notAFileEmptiesSilently_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("folder") << Path("sub");
        QTest::newRow("missing") << Path("missing.nc");
        QTest::newRow("nothing selected") << QString();
    }

    void notAFileEmptiesSilently() {
        QFETCH(QString, path);
        auto dialog = MakeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        emit dialog->currentChanged(Path("lf.nc"));
        QVERIFY(!dialog->PreviewMemo->toPlainText().isEmpty());
        emit dialog->currentChanged(path);
        QCOMPARE(dialog->PreviewMemo->toPlainText(), QString());
        QVERIFY(Boxes.empty());
    }

    void cannotOpen_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("fifo") << Path("fifo");
        QTest::newRow("device") << QStringLiteral("/dev/zero");
        QTest::newRow("no permission") << Path("locked.nc");
    }

    void cannotOpen() {
        QFETCH(QString, path);
        if (QTest::currentDataTag() == QByteArray("no permission")) {
            if (::geteuid() == 0)
                QSKIP("root reads any file");
            QVERIFY(WriteFile(path, "O1\r\n"));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        }
        auto dialog = MakeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        emit dialog->currentChanged(Path("crlf.nc"));
        emit dialog->currentChanged(path);
        QCOMPARE(Boxes.size(), size_t(1));
        QCOMPARE(Boxes[0].Text, U("ファイル ") + path + U(" は開けません"));
        QCOMPARE(Boxes[0].Caption, U("Segmora"));
        QCOMPARE(Boxes[0].Icon, QMessageBox::NoIcon);
        QCOMPARE(dialog->PreviewMemo->toPlainText(), U("O1\nG00\n")); // kept
        QVERIFY(dialog->isVisible());
    }

    void checkBoxSwitchesAtNextChange() {
        auto dialog = MakeDialog();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        emit dialog->currentChanged(Path("lf.nc"));
        QTest::mouseClick(dialog->PreviewCheck, Qt::LeftButton);
        QVERIFY(!dialog->PreviewCheck->isChecked());
        QCOMPARE(dialog->PreviewMemo->toPlainText(), U("O1\nG00\n")); // until the next change
        emit dialog->currentChanged(Path("zero99.nc"));
        QCOMPARE(dialog->PreviewMemo->toPlainText(), QString());
        QVERIFY(Boxes.empty()); // no preview, so no refusal either
        QTest::mouseClick(dialog->PreviewCheck, Qt::LeftButton);
        QCOMPARE(dialog->PreviewMemo->toPlainText(), QString());
        emit dialog->currentChanged(Path("cr.nc"));
        QCOMPARE(dialog->PreviewMemo->toPlainText(), U("O1\nG00\n"));
    }

    void filterEntries_data() {
        QTest::addColumn<int>("maskNo");
        QTest::addColumn<int>("shownEntry");
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("3") << 3 << 3;
        QTest::newRow("6") << 6 << 6;
        QTest::newRow("0 falls back") << 0 << 1;
        QTest::newRow("7 falls back") << 7 << 1;
        QTest::newRow("negative falls back") << -2 << 1;
    }

    void filterEntries() {
        QFETCH(int, maskNo);
        QFETCH(int, shownEntry);
        // Both user types read the same: the index still tells them apart.
        const QString filter =
            QString::fromStdString(BuildOpenFilter("ABC", "*.abc", "ABC", "*.abc"));
        auto dialog = MakeDialog(maskNo, filter);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        const QStringList expected = {U("ＮＣ文章(*.nc;*.nc1;*.nc0)"),
                                      U("テキスト(*.txt)"),
                                      U("ABC(*.abc)"),
                                      U("ABC(*.abc)"),
                                      U("すべて表示(*.*)"),
                                      U("拡張子無し    ")};
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        QCOMPARE(shown, expected);
        QCOMPARE(types->currentIndex() + 1, shownEntry);
        QCOMPARE(dialog->SelectedFilterIndex(), shownEntry);

        // The user picks another type: that index is what the caller stores.
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        const int next = shownEntry % 6 + 1;
        QCOMPARE(dialog->SelectedFilterIndex(), next == 1 ? 6 : next);
    }

    void listedFiles_data() {
        QTest::addColumn<int>("maskNo");
        QTest::addColumn<QStringList>("names");
        const QStringList nc = {U("B.NC1"),   U("big.nc"),     U("cr.nc"),
                                U("crlf.nc"), U("empty.nc"),   U("lf.nc"),
                                U("sjis.nc"), U("zero100.nc"), U("zero99.nc")};
        QTest::newRow("nc, any letter case") << 1 << (QStringList(nc) << U("sub"));
        QTest::newRow("text") << 2 << QStringList{U("c.txt"), U("sub"), U("utf16.txt")};
        QTest::newRow("user type") << 3 << QStringList{U("d.abc"), U("sub")};
        // (The dialog lists no FIFOs or devices at all.)
        QTest::newRow("no extension") << 6 << QStringList{U("NOEXT"), U("sub")};
    }

    void listedFiles() {
        QFETCH(int, maskNo);
        QFETCH(QStringList, names);
        names.sort();
        const QString filter = QString::fromStdString(BuildOpenFilter("ABC", "*.abc", "U2", "*.*"));
        auto dialog = MakeDialog(maskNo, filter);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_COMPARE(Listed(*dialog), names);
    }

    void userTypeMaskOutsideAscii() {
        // A mask typed in the user-types dialog may hold any letters; the
        // entry lists what it matches, at the start and when chosen.
        QVERIFY(WriteFile(Path("e.ＮＣ"), "O5\r\n"));
        const QString filter =
            QString::fromStdString(BuildOpenFilter("ＮＣ", "*.ＮＣ", "ABC", " *.abc "));
        auto dialog = MakeDialog(3, filter);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_COMPARE(Listed(*dialog), (QStringList{U("e.ＮＣ"), U("sub")}));
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Up);
        QTRY_COMPARE(Listed(*dialog), (QStringList{U("c.txt"), U("sub"), U("utf16.txt")}));
        QTest::keyClick(types, Qt::Key_Down);
        QTRY_COMPARE(Listed(*dialog), (QStringList{U("e.ＮＣ"), U("sub")}));
        // A blank that ends a mask ("nc2 " completes to "*.nc2 ") is no part
        // of the names it lists.
        QTest::keyClick(types, Qt::Key_Down);
        QTRY_COMPARE(Listed(*dialog), (QStringList{U("d.abc"), U("sub")}));
        QVERIFY(QFile::remove(Path("e.ＮＣ")));
    }

    void arrowKeysPreviewAndConfirm() {
        auto dialog = MakeDialog(6);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QTRY_COMPARE(Listed(*dialog).size(), 2);
        auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
        // The folder first, then an arrow key onto the file.
        const QModelIndex root = view->rootIndex();
        const int folderRow =
            view->model()->index(0, 0, root).data().toString() == U("sub") ? 0 : 1;
        view->setCurrentIndex(view->model()->index(folderRow, 0, root));
        QCOMPARE(dialog->PreviewMemo->toPlainText(), QString());
        QTest::keyClick(view, folderRow == 0 ? Qt::Key_Down : Qt::Key_Up);
        QTRY_COMPARE(dialog->PreviewMemo->toPlainText(), U("O4\n"));
        QVERIFY(Boxes.empty());

        // Confirming the file gives its full path (no default extension put
        // on a name without one) and the entry in force.
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(buttons && buttons->button(QDialogButtonBox::Open));
        QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->SelectedPath(), Path("NOEXT"));
        QCOMPARE(dialog->SelectedFilterIndex(), 6);
    }
};

QTEST_MAIN(CopentextdialogTest)
#include "CopentextdialogTest.moc"
