#include "app/ReaderCaches.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace sonavex {

namespace {
const QString kStatusService = QStringLiteral("org.a11y.Bus");
const QString kConnection = QStringLiteral("sonavex-reader-caches");

void askOn(const QString& address) {
  if (address.isEmpty()) return;
  // A bus started again has a new address; the registry forgets what a closed connection asked.
  QDBusConnection::disconnectFromBus(kConnection);
  QDBusConnection bus = QDBusConnection::connectToBus(address, kConnection);
  if (!bus.isConnected()) return;
  for (const char* kind :
       {"object:property-change", "object:state-changed", "object:children-changed"}) {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"));
    // The kind of event, no properties to go with it, from every application (ours among them).
    ask << QString::fromLatin1(kind) << QStringList() << QString();
    bus.call(ask, QDBus::NoBlock);
  }
}

// The bus's address comes without the window waiting for it.
void askForChanges(QObject* owner) {
  const QDBusMessage get = QDBusMessage::createMethodCall(
      kStatusService, QStringLiteral("/org/a11y/bus"), kStatusService,
      QStringLiteral("GetAddress"));
  auto* reply = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(get), owner);
  QObject::connect(reply, &QDBusPendingCallWatcher::finished, owner,
                   [](QDBusPendingCallWatcher* done) {
                     done->deleteLater();
                     const QDBusPendingReply<QString> address = *done;
                     if (!address.isError()) askOn(address.value());
                   });
}
}  // namespace

void keepReaderCachesCurrent(QObject* owner) {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return;
  auto* watcher = new QDBusServiceWatcher(kStatusService, session,
                                          QDBusServiceWatcher::WatchForRegistration, owner);
  QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, owner,
                   [owner] { askForChanges(owner); });
  // Asked only of a bus that runs: asking for its address would start one.
  if (session.interface()->isServiceRegistered(kStatusService)) askForChanges(owner);
}

}  // namespace sonavex
