// The desktop launcher, the help links and the About box.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <vector>

#include "AboutBox.h"
#include "DesktopLauncher.h"
#include "HelpLinks.h"
#include "ShellTexts.h"

using namespace segmora;

namespace {

void WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString LauncherFileName() {
    return QString::fromUtf8(shelltexts::LauncherName) + QLatin1String(".desktop");
}

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

    // A home folder of its own for every test; HOME and XDG_CONFIG_HOME point
    // into it and are put back afterwards.
    std::unique_ptr<QTemporaryDir> Home;
    QByteArray SavedHome, SavedConfigHome;
    QString SavedCurrent;

    QString MakeExecutable(const QString &relative) {
        const QString path = Home->path() + QLatin1Char('/') + relative;
        WriteFile(path, "#!/bin/sh\n");
        return path;
    }

private slots:
    void init() {
        SavedHome = qgetenv("HOME");
        SavedConfigHome = qgetenv("XDG_CONFIG_HOME");
        SavedCurrent = QDir::currentPath();
        Home = std::make_unique<QTemporaryDir>();
        QVERIFY(Home->isValid());
        qputenv("HOME", QFile::encodeName(Home->path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    void cleanup() {
        QDir::setCurrent(SavedCurrent);
        qputenv("HOME", SavedHome);
        if (SavedConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", SavedConfigHome);
        SetUrlOpener({});
        Home.reset();
    }

    // The desktop folder as `xdg-user-dir DESKTOP` finds it. Where the shell
    // tool and the reader agree (every valid form), the tool itself is asked
    // too.
    void desktopFolder_data() {
        QTest::addColumn<bool>("customConfigHome");
        QTest::addColumn<QByteArray>("userDirs"); // empty: no file
        QTest::addColumn<QString>("expected");    // "~" stands for the home folder
        QTest::addColumn<bool>("toolAgrees");

        QTest::newRow("no file") << false << QByteArray() << "~/Desktop" << true;
        QTest::newRow("home form")
            << false << QByteArray("XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n") << "~/Schreibtisch"
            << true;
        QTest::newRow("in XDG_CONFIG_HOME")
            << true << QByteArray("XDG_DESKTOP_DIR=\"$HOME/elsewhere\"\n") << "~/elsewhere" << true;
        QTest::newRow("absolute") << false << QByteArray("XDG_DESKTOP_DIR=\"/srv/desk\"\n")
                                  << "/srv/desk" << true;
        QTest::newRow("Japanese name")
            << false << QString::fromUtf8("XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n").toUtf8()
            << QString::fromUtf8("~/デスクトップ") << true;
        QTest::newRow("other keys and comments")
            << false
            << QByteArray("# XDG_DESKTOP_DIR=\"$HOME/commented\"\n"
                          "XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n")
            << "~/Desktop" << true;
        QTest::newRow("last line wins") << false
                                        << QByteArray("XDG_DESKTOP_DIR=\"$HOME/first\"\n"
                                                      "XDG_DESKTOP_DIR=\"$HOME/second\"\n")
                                        << "~/second" << true;
        QTest::newRow("escaped characters")
            << false << QByteArray("XDG_DESKTOP_DIR=\"$HOME/a \\\"b\\\" \\$c\"\n") << "~/a \"b\" $c"
            << true;
        QTest::newRow("home itself")
            << false << QByteArray("XDG_DESKTOP_DIR=\"$HOME/\"\n") << "~" << true;
        // Forms the file may not hold: passed over, as the desktop libraries do.
        QTest::newRow("relative path")
            << false << QByteArray("XDG_DESKTOP_DIR=\"desk\"\n") << "~/Desktop" << false;
        QTest::newRow("longer variable name")
            << false << QByteArray("XDG_DESKTOP_DIR=\"$HOMEX/desk\"\n") << "~/Desktop" << false;
        QTest::newRow("unquoted") << false << QByteArray("XDG_DESKTOP_DIR=$HOME/desk\n")
                                  << "~/Desktop" << false;
    }
    void desktopFolder() {
        QFETCH(bool, customConfigHome);
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, expected);
        QFETCH(bool, toolAgrees);

        const QString home = Home->path();
        QString configHome = home + QLatin1String("/.config");
        if (customConfigHome) {
            configHome = home + QLatin1String("/xdg-config");
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
            // A file in the default place must then be left alone.
            WriteFile(home + QLatin1String("/.config/user-dirs.dirs"),
                      "XDG_DESKTOP_DIR=\"$HOME/wrong\"\n");
        }
        if (!userDirs.isEmpty())
            WriteFile(configHome + QLatin1String("/user-dirs.dirs"), userDirs);
        expected.replace(0, 1, expected.startsWith(QLatin1Char('~')) ? home : expected.left(1));

        QCOMPARE(DesktopFolder(), expected);

        const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-user-dir"));
        if (toolAgrees && !tool.isEmpty()) {
            QProcess process;
            process.start(tool, {QStringLiteral("DESKTOP")});
            QVERIFY(process.waitForFinished(10000));
            const QString said = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
            QCOMPARE(QDir::cleanPath(said), expected);
        }
    }

    void executableFolder_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("folder");
        QTest::newRow("usual") << "/usr/local/bin/segmora"
                               << "/usr/local/bin";
        QTest::newRow("root") << "/segmora"
                              << "/";
        QTest::newRow("blank and dot in folder") << "/opt/My Tools.1/segmora"
                                                 << "/opt/My Tools.1";
    }
    void executableFolder() {
        QFETCH(QString, executable);
        QFETCH(QString, folder);
        QCOMPARE(ExecutableFolder(executable), folder);
    }

    // Exec must name exactly the file: quoted, with the characters the
    // launcher's quoting and string rules give a meaning escaped.
    void execValue_data() {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/segmora"
                               << "\"/usr/bin/segmora\"";
        QTest::newRow("blank") << "/opt/a b/segmora"
                               << "\"/opt/a b/segmora\"";
        QTest::newRow("double quote") << "/opt/a\"b/segmora"
                                      << "\"/opt/a\\\\\"b/segmora\"";
        QTest::newRow("dollar and backtick") << "/opt/$x`y`/segmora"
                                             << "\"/opt/\\\\$x\\\\`y\\\\`/segmora\"";
        QTest::newRow("backslash") << "/opt/a\\b/segmora"
                                   << "\"/opt/a\\\\\\\\b/segmora\"";
        QTest::newRow("percent") << "/opt/100%/segmora"
                                 << "\"/opt/100%%/segmora\"";
        QTest::newRow("newline") << "/opt/a\nb/segmora"
                                 << "\"/opt/a\\nb/segmora\"";
        QTest::newRow("Japanese") << QString::fromUtf8("/opt/ツール/segmora")
                                  << QString::fromUtf8("\"/opt/ツール/segmora\"");
    }
    void execValue() {
        QFETCH(QString, executable);
        QFETCH(QString, exec);
        QCOMPARE(ExecValue(executable), exec);
    }

    // The launcher byte for byte; made twice there is one launcher, the
    // second; the current folder plays no part.
    void launcherMadeTwiceFromAnotherFolder() {
        const QString desktop = Home->path() + QLatin1String("/Desktop");
        QVERIFY(QDir().mkpath(desktop));
        const QString first = MakeExecutable(QStringLiteral("opt/My Tools/segmora"));
        const QString second = MakeExecutable(QStringLiteral("moved/segmora"));
        // The icon installed beside the second one (prefix/share/icons/...).
        WriteFile(Home->path() + QLatin1String("/share/icons/hicolor/256x256/apps/segmora.png"),
                  "png");
        const QString elsewhere = Home->path() + QLatin1String("/elsewhere");
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QDir::setCurrent(elsewhere));

        QVERIFY(MakeDesktopLauncher(first));
        const QString launcher = desktop + QLatin1Char('/') + LauncherFileName();
        QCOMPARE(LauncherPath(), launcher);
        const QByteArray name = QByteArray(shelltexts::LauncherName);
        QCOMPARE(ReadFile(launcher), QByteArray("[Desktop Entry]\n"
                                                "Type=Application\n"
                                                "Name=") +
                                         name + "\nExec=\"" + QFile::encodeName(first) +
                                         "\"\nPath=" + QFile::encodeName(Home->path()) +
                                         "/opt/My Tools\nIcon=segmora\n");
        const QFile::Permissions permissions = QFileInfo(launcher).permissions();
        QVERIFY(permissions & QFile::ExeOwner);
        QVERIFY(permissions & QFile::ReadOwner);

        QVERIFY(MakeDesktopLauncher(second));
        QCOMPARE(ReadFile(launcher), QByteArray("[Desktop Entry]\n"
                                                "Type=Application\n"
                                                "Name=") +
                                         name + "\nExec=\"" + QFile::encodeName(second) +
                                         "\"\nPath=" + QFile::encodeName(Home->path()) +
                                         "/moved\nIcon=" + QFile::encodeName(Home->path()) +
                                         "/share/icons/hicolor/256x256/apps/segmora.png\n");
        QVERIFY(QFileInfo(launcher).permissions() & QFile::ExeOwner);
        // Nothing else was left on the desktop or in the current folder.
        QCOMPARE(QDir(desktop).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{LauncherFileName()});
        QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

        const QString validate =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validate.isEmpty())
            QSKIP("desktop-file-validate is not installed (desktop-file-utils)");
        QProcess process;
        process.start(validate, {launcher});
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(process.exitCode() == 0, process.readAllStandardOutput().constData());
    }

    // Cases where no launcher can be made: nothing is created, also not the
    // desktop folder.
    void launcherNotMade_data() {
        QTest::addColumn<QString>("executable"); // relative to the home folder, or as is
        QTest::addColumn<bool>("desktopExists");
        QTest::newRow("desktop folder missing") << "bin/segmora" << false;
        QTest::newRow("relative executable path") << "segmora" << true;
        QTest::newRow("executable missing") << "~/bin/none" << true;
    }
    void launcherNotMade() {
        QFETCH(QString, executable);
        QFETCH(bool, desktopExists);
        MakeExecutable(QStringLiteral("bin/segmora"));
        MakeExecutable(QStringLiteral("segmora"));
        QVERIFY(QDir::setCurrent(Home->path())); // where a relative path would resolve
        const QString desktop = Home->path() + QLatin1String("/Desktop");
        if (desktopExists)
            QVERIFY(QDir().mkpath(desktop));
        if (executable.startsWith(QLatin1Char('~')))
            executable.replace(0, 1, Home->path());
        else if (executable.contains(QLatin1Char('/')))
            executable = Home->path() + QLatin1Char('/') + executable;

        QVERIFY(!MakeDesktopLauncher(executable));
        QCOMPARE(QFileInfo::exists(desktop), desktopExists);
        if (desktopExists)
            QVERIFY(QDir(desktop).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // A launcher that cannot be written (here a folder holds its name): no
    // launcher, the folder untouched, no temporary file left behind.
    void launcherNotWritable() {
        const QString desktop = Home->path() + QLatin1String("/Desktop");
        const QString blocker = desktop + QLatin1Char('/') + LauncherFileName();
        QVERIFY(QDir().mkpath(blocker));
        WriteFile(blocker + QLatin1String("/keep"), "keep");
        QVERIFY(!MakeDesktopLauncher(MakeExecutable(QStringLiteral("bin/segmora"))));
        QVERIFY(QFileInfo(blocker).isDir());
        QCOMPARE(ReadFile(blocker + QLatin1String("/keep")), QByteArray("keep"));
        QCOMPARE(QDir(desktop).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{LauncherFileName()});
    }

    // The two addresses reach the URL opener.
    void helpLinksReachTheOpener() {
        std::vector<QUrl> opened;
        SetUrlOpener([&](const QUrl &url) {
            opened.push_back(url);
            return true;
        });
        OpenMailAddress();
        OpenHomePage();
        QCOMPARE(opened.size(), size_t(2));
        QCOMPARE(opened[0].toString(),
                 QLatin1String("mailto:") + QString::fromUtf8(SEGMORA_SUPPORT_MAIL_VALUE));
        QCOMPARE(opened[0].scheme(), QLatin1String("mailto"));
        const QString configured = QString::fromUtf8(SEGMORA_HOME_PAGE_VALUE);
        if (configured.isEmpty()) {
            // This program runs from bin/ with a README at ../share/doc/segmora.
            const QString readme = QFileInfo(QCoreApplication::applicationDirPath() +
                                             QLatin1String("/../share/doc/segmora/README.md"))
                                       .canonicalFilePath();
            QVERIFY(!readme.isEmpty());
            QCOMPARE(opened[1], QUrl::fromLocalFile(readme));
        } else {
            QCOMPARE(opened[1], QUrl(configured));
        }
    }

    // With nothing configured and no README beside the program, the home
    // page command opens nothing rather than a dead address.
    void homePageWithoutReadme() {
        if (!QString::fromUtf8(SEGMORA_HOME_PAGE_VALUE).isEmpty())
            QSKIP("this build sets its own home page");
        const QString executable = MakeExecutable(QStringLiteral("prefix/bin/segmora"));
        QVERIFY(HomePageUrl(executable).isEmpty());
        WriteFile(Home->path() + QLatin1String("/prefix/share/doc/segmora/README.md"), "x");
        QCOMPARE(HomePageUrl(executable),
                 QUrl::fromLocalFile(Home->path() +
                                     QLatin1String("/prefix/share/doc/segmora/README.md")));
    }

    void aboutApplicationText() {
        QCOMPARE(AboutApplicationText(QStringLiteral("1.14")), QStringLiteral("Segmora Ver1.14"));
    }

    void programIconHasEverySize() {
        const QIcon icon = ProgramIcon();
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QPixmap pixmap = icon.pixmap(size, size);
            QVERIFY2(!pixmap.isNull(), qPrintable(QString::number(size)));
            QCOMPARE(pixmap.size(), QSize(size, size));
        }
    }

    // The real box, shown modally over its owner and closed with OK.
    void aboutBox() {
        QWidget owner;
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QString title, text, informative;
        QWidget *parent = nullptr;
        bool hasIcon = false, clicked = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            title = box->windowTitle();
            text = box->text();
            informative = box->informativeText();
            parent = box->parentWidget();
            hasIcon = !box->iconPixmap().isNull();
            if (QAbstractButton *ok = box->button(QMessageBox::Ok)) {
                ok->click();
                clicked = true;
            }
        });
        ShowAbout(&owner, QStringLiteral("1.14"));
        QVERIFY(clicked);
        QCOMPARE(title, QStringLiteral("Segmora Ver1.14"));
        QCOMPARE(text, QStringLiteral("Segmora Ver1.14"));
        QVERIFY2(informative.startsWith(QString::fromUtf8(SEGMORA_ABOUT_NOTICE_VALUE) +
                                        QLatin1Char('\n')),
                 qPrintable(informative));
        QCOMPARE(parent, &owner);
        QVERIFY(hasIcon);
        QVERIFY(owner.findChildren<QMessageBox *>().isEmpty()); // freed when closed
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
