#include "app/ReaderCaches.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>

namespace sonavex {

namespace {
const QString kStatusService = QStringLiteral("org.a11y.Bus");
const QString kConnection = QStringLiteral("sonavex-reader-caches");

void askForChanges() {
  QDBusInterface launcher(kStatusService, QStringLiteral("/org/a11y/bus"), kStatusService,
                          QDBusConnection::sessionBus());
  const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
  if (!address.isValid() || address.value().isEmpty()) return;
  // A bus started again has a new address; the registry forgets what a closed connection asked.
  QDBusConnection::disconnectFromBus(kConnection);
  QDBusConnection bus = QDBusConnection::connectToBus(address.value(), kConnection);
  if (!bus.isConnected()) return;
  for (const char* kind : {"object:property-change", "object:state-changed", "object:children-changed"}) {
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"));
    // The kind of event, no properties to go with it, from every application (ours among them).
    ask << QString::fromLatin1(kind) << QStringList() << QString();
    bus.call(ask, QDBus::NoBlock);
  }
}
}  // namespace

void keepReaderCachesCurrent(QObject* owner) {
  QDBusConnection session = QDBusConnection::sessionBus();
  if (!session.isConnected()) return;
  auto* watcher = new QDBusServiceWatcher(kStatusService, session,
                                          QDBusServiceWatcher::WatchForRegistration, owner);
  QObject::connect(watcher, &QDBusServiceWatcher::serviceRegistered, owner, askForChanges);
  // Asked only of a bus that runs: asking for its address would start one.
  if (session.interface()->isServiceRegistered(kStatusService)) askForChanges();
}

}  // namespace sonavex
