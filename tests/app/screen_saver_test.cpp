// The screen saver is held off through the desktop's ScreenSaver service
// and let go again; without the service nothing happens. Runs on a private
// session bus (dbus-run-session) with a stand-in service on its own thread.
#include "app/screen_saver_inhibitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <QThread>
#include <QtGlobal>

#include <atomic>
#include <memory>

namespace kolvex::testing {
namespace {

class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<int> inhibited{0};
    std::atomic<int> released{0};
    std::atomic<uint32_t> lastReleasedCookie{0};

public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        (void)application;
        (void)reason;
        ++inhibited;
        return 4242;
    }
    void UnInhibit(uint cookie) {
        lastReleasedCookie = cookie;
        ++released;
    }
};

class ScreenSaverTest : public ::testing::Test {
protected:
    static QCoreApplication* s_app;
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "screen_saver_test";
        static char* argv[] = {name, nullptr};
        s_app = new QCoreApplication(argc, argv);
    }
};
QCoreApplication* ScreenSaverTest::s_app = nullptr;

bool WaitFor(const std::atomic<int>& counter, int value) {
    for (int i = 0; i < 200 && counter < value; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return counter >= value;
}

TEST_F(ScreenSaverTest, HoldsTheScreenSaverOffOnceAndLetsGo) {
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "needs a session bus (run through dbus-run-session)";
    {
        CScreenSaverInhibitor noService;
        noService.Inhibit(QStringLiteral("Playing"));
        EXPECT_FALSE(noService.IsInhibiting());
    }

    QThread serviceThread;
    serviceThread.start();
    auto* fake = new FakeScreenSaver;
    fake->moveToThread(&serviceThread);
    QDBusConnection service =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake"));
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), fake,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    {
        CScreenSaverInhibitor inhibitor;
        inhibitor.Inhibit(QStringLiteral("Playing"));
        inhibitor.Inhibit(QStringLiteral("Playing")); // one inhibition, not two
        EXPECT_TRUE(inhibitor.IsInhibiting());
        EXPECT_EQ(fake->inhibited, 1);
        inhibitor.Release();
        EXPECT_FALSE(inhibitor.IsInhibiting());
        EXPECT_TRUE(WaitFor(fake->released, 1));
        EXPECT_EQ(fake->lastReleasedCookie, 4242u);
        inhibitor.Inhibit(QStringLiteral("Playing"));
    } // the window closing releases it too
    EXPECT_TRUE(WaitFor(fake->released, 2));

    service.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
    serviceThread.quit();
    serviceThread.wait();
    delete fake;
}

} // namespace
} // namespace kolvex::testing

#include "screen_saver_test.moc"
