#pragma once

#include "AvahiResponder.h"
#include "DnsSd.h"

namespace parlo {

// Announces the host through Avahi's entry group: registers the service while
// it is wanted, registers it again whenever the responder restarts, and takes
// the responder's alternative name after a clash on the network.
class AvahiAnnouncer final : public QObject, public ServiceAnnouncer {
    Q_OBJECT
public:
    AvahiAnnouncer();

    void start() override;
    void announce(const QString& name, quint16 port) override;
    void withdraw() override;

private slots:
    void groupStateChanged(int state, const QString& error);

private:
    void update();
    // Registers again under the name the responder proposes instead of `clashed`.
    void takeAlternativeName(const QString& clashed);
    void forgetGroup();

    AvahiResponder m_responder;
    bool m_wanted = false;
    QString m_wantedName;
    QString m_name; // the name in use: the responder's alternative after a clash
    quint16 m_port = 0;
    QString m_group; // the entry group's object path; empty: none yet
    bool m_groupRequested = false;
    bool m_registered = false; // the group holds the service under m_name
};

} // namespace parlo
