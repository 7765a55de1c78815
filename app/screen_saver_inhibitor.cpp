#include "screen_saver_inhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace kolvex {

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";

bool ServiceAvailable() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value();
}

} // namespace

CScreenSaverInhibitor::~CScreenSaverInhibitor() {
    Release();
}

void CScreenSaverInhibitor::Inhibit(const QString& reason) {
    if (m_bInhibiting || !ServiceAvailable())
        return;
    QDBusInterface saver(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                         QString::fromLatin1(kService), QDBusConnection::sessionBus());
    const QDBusReply<uint32_t> reply =
        saver.call(QStringLiteral("Inhibit"), QStringLiteral("Kolvex"), reason);
    if (reply.isValid()) {
        m_nCookie = reply.value();
        m_bInhibiting = true;
    }
}

void CScreenSaverInhibitor::Release() {
    if (!m_bInhibiting)
        return;
    m_bInhibiting = false;
    QDBusInterface saver(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                         QString::fromLatin1(kService), QDBusConnection::sessionBus());
    saver.call(QDBus::NoBlock, QStringLiteral("UnInhibit"), m_nCookie);
}

} // namespace kolvex
