#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace parlo {

// The DNS-SD service type of a Parlo host.
inline const QString kDnsSdServiceType = QStringLiteral("_parlo._tcp");

// Announces this host on the local network through the desktop's responder.
// Where no responder runs, the announcement is made once one appears.
class ServiceAnnouncer {
public:
    virtual ~ServiceAnnouncer() = default;
    // Begins to talk to the responder; until then what is announced is only
    // remembered, so the program's start is not slowed by it.
    virtual void start() = 0;
    // Announces the service under `name` on `port`, or renames it. A name the
    // network already knows is replaced by the responder's alternative.
    virtual void announce(const QString& name, quint16 port) = 0;
    virtual void withdraw() = 0;
};

// A service found on the network, as its announcer described it: untrusted.
struct DnsSdService {
    QString name;
    QString address; // empty until it resolved; an IPv6 link-local address carries its scope
    quint16 port = 0;
};

// Looks for the hosts announced on the local network through the desktop's
// responder, and keeps looking while the program runs.
class ServiceBrowser : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts looking; a responder that is missing is looked for until it appears.
    virtual void start() = 0;

signals:
    // Everything found at this moment: one element per name, interface and protocol.
    void servicesChanged(const QList<DnsSdService>& services);
};

// The responders of the platform; the announcer is a silent one when the
// user turned the announcement off (PARLO_NO_ANNOUNCE set and not empty).
std::unique_ptr<ServiceAnnouncer> makeServiceAnnouncer();
std::unique_ptr<ServiceBrowser> makeServiceBrowser();

// `name` as a DNS-SD instance name: at most 63 bytes of UTF-8, cut at a
// character's boundary.
QString dnsSdInstanceName(const QString& name);

} // namespace parlo
