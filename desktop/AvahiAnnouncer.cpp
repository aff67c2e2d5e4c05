#include "AvahiAnnouncer.h"

#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace parlo {

namespace {

const QString kEntryGroup = QStringLiteral("org.freedesktop.Avahi.EntryGroup");
constexpr int kGroupCollision = 3; // AVAHI_ENTRY_GROUP_COLLISION
const QString kCollisionError = QStringLiteral("org.freedesktop.Avahi.CollisionError");

} // namespace

AvahiAnnouncer::AvahiAnnouncer() {
    qDBusRegisterMetaType<QList<QByteArray>>(); // the TXT record's "aay"
    connect(&m_responder, &AvahiResponder::appeared, this, &AvahiAnnouncer::update);
    connect(&m_responder, &AvahiResponder::vanished, this, &AvahiAnnouncer::forgetGroup);
}

void AvahiAnnouncer::announce(const QString& name, quint16 port) {
    if (name != m_wantedName || port != m_port) {
        m_wantedName = name;
        m_name = dnsSdInstanceName(name);
        m_port = port;
        m_registered = false;
    }
    m_wanted = true;
    update();
}

void AvahiAnnouncer::start() {
    m_responder.follow();
}

void AvahiAnnouncer::withdraw() {
    m_wanted = false;
    update();
}

// Brings the responder's entry group in line with what is wanted. The calls
// on one connection are carried out in order, so Reset, AddService and Commit
// need not wait for each other.
void AvahiAnnouncer::update() {
    if (!m_responder.isPresent()) {
        return;
    }
    if (m_group.isEmpty()) {
        if (m_wanted && !std::exchange(m_groupRequested, true)) {
            m_responder.callServer(
                QStringLiteral("EntryGroupNew"), {}, [this](const QDBusMessage& reply) {
                    m_groupRequested = false;
                    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                        return; // no group: nothing is announced
                    }
                    m_group = reply.arguments().constFirst().value<QDBusObjectPath>().path();
                    m_responder.bus().connect(AvahiResponder::kService, m_group, kEntryGroup,
                                              QStringLiteral("StateChanged"), this,
                                              SLOT(groupStateChanged(int, QString)));
                    update();
                });
        }
        return;
    }
    if (m_wanted == m_registered) {
        return;
    }
    m_responder.call(m_group, kEntryGroup, QStringLiteral("Reset"), {});
    if (m_wanted) {
        m_responder.call(m_group, kEntryGroup, QStringLiteral("AddService"),
                         {AvahiResponder::kAnyInterface, AvahiResponder::kAnyProtocol, quint32(0),
                          m_name, kDnsSdServiceType, QString(), QString(),
                          QVariant::fromValue(m_port), QVariant::fromValue(QList<QByteArray>())},
                         [this, name = m_name](const QDBusMessage& reply) {
                             // Another program on this machine has the name.
                             if (reply.errorName() == kCollisionError) {
                                 takeAlternativeName(name);
                             }
                         });
        m_responder.call(m_group, kEntryGroup, QStringLiteral("Commit"), {});
    }
    m_registered = m_wanted;
}

// Another host on the network has the name.
void AvahiAnnouncer::groupStateChanged(int state, const QString& /*error*/) {
    if (state == kGroupCollision) {
        takeAlternativeName(m_name);
    }
}

// A clash reported for a name no longer in use (renamed meanwhile) is over.
void AvahiAnnouncer::takeAlternativeName(const QString& clashed) {
    if (!m_registered || clashed != m_name) {
        return;
    }
    m_responder.callServer(QStringLiteral("GetAlternativeServiceName"), {clashed},
                           [this, clashed](const QDBusMessage& reply) {
                               if (reply.type() != QDBusMessage::ReplyMessage ||
                                   reply.arguments().isEmpty() || clashed != m_name) {
                                   return;
                               }
                               m_name = reply.arguments().constFirst().toString();
                               m_registered = false;
                               update();
                           });
}

// The responder went away, and its groups with it.
void AvahiAnnouncer::forgetGroup() {
    if (!m_group.isEmpty()) {
        m_responder.bus().disconnect(AvahiResponder::kService, m_group, kEntryGroup,
                                     QStringLiteral("StateChanged"), this,
                                     SLOT(groupStateChanged(int, QString)));
    }
    m_group.clear();
    m_groupRequested = false;
    m_registered = false;
}

} // namespace parlo
