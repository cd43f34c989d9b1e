#include "ScreenSaver.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <atomic>

using namespace segmora;

namespace {

// Stands in for the desktop's screen-saver service.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<int> Inhibits{0};
    std::atomic<int> UnInhibits{0};
    std::atomic<quint32> Released{0};

public slots:
    quint32 Inhibit(const QString &application, const QString &reason) {
        if (!application.isEmpty() && !reason.isEmpty())
            ++Inhibits;
        return 4711;
    }
    void UnInhibit(quint32 cookie) {
        Released = cookie;
        ++UnInhibits;
    }
};

} // namespace

// The switch against a private session bus of its own.
class ScreenSaverTest : public QObject {
    Q_OBJECT

private:
    QProcess Bus;
    QString Address;

private slots:
    void initTestCase() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed");
        Bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--print-address=1")});
        QVERIFY(Bus.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(Bus.canReadLine() || Bus.waitForReadyRead(100), 10000);
        Address = QString::fromUtf8(Bus.readLine().trimmed());
        QVERIFY(!Address.isEmpty());
        // Before the first use of the session bus in this process.
        qputenv("DBUS_SESSION_BUS_ADDRESS", Address.toUtf8());
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void cleanupTestCase() {
        if (Bus.state() == QProcess::Running) {
            Bus.terminate();
            Bus.waitForFinished(5000);
        }
    }

    void withoutServiceNothingIsHeld() {
        ScreenSaverSwitch saver;
        saver.SetActive(false);
        QVERIFY(!saver.Holding());
        saver.SetActive(true);
        QVERIFY(!saver.Holding());
    }

    void inhibitAndRelease() {
        // The service answers from a thread of its own: the switch's call
        // waits for the reply on this one.
        QThread serviceThread;
        serviceThread.start();
        auto *service = new FakeScreenSaver;
        service->moveToThread(&serviceThread);
        connect(&serviceThread, &QThread::finished, service, &QObject::deleteLater);
        const auto stop = qScopeGuard([&] {
            serviceThread.quit();
            serviceThread.wait();
        });
        QDBusConnection connection =
            QDBusConnection::connectToBus(Address, QStringLiteral("service"));
        QVERIFY(connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
        QVERIFY(connection.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), service,
                                          QDBusConnection::ExportAllSlots));
        {
            ScreenSaverSwitch saver;
            saver.SetActive(false);
            QVERIFY(saver.Holding());
            saver.SetActive(false); // already held: no second hold
            QCOMPARE(service->Inhibits.load(), 1);
            saver.SetActive(true);
            QVERIFY(!saver.Holding());
            QTRY_COMPARE(service->UnInhibits.load(), 1);
            QCOMPARE(service->Released.load(), quint32(4711));

            saver.SetActive(false);
            QCOMPARE(service->Inhibits.load(), 2);
        } // let go when the switch goes
        QTRY_COMPARE(service->UnInhibits.load(), 2);

        connection.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    }
};

QTEST_GUILESS_MAIN(ScreenSaverTest)
#include "ScreenSaverTest.moc"
