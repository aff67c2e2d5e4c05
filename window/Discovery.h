#pragma once

#include "AddressList.h"
#include "DnsSd.h"
#include "OwnAddresses.h"
#include "RecentAddresses.h"

#include <QObject>
#include <memory>

namespace parlo {

class ChatWindow;
class Controls;
class frmClient;
struct SideTraits;

// Keeps the host's announcement in step with its chat model: announced as
// "<nickname> on <machine>" while it takes callers, withdrawn otherwise.
class Announcement : public QObject {
public:
    Announcement(frmClient& form, ServiceAnnouncer& announcer, QString machineName, quint16 port);

private:
    void update();

    ServiceAnnouncer& m_announcer;
    const QString m_machineName;
    const quint16 m_port;
    QString m_nickname;
    bool m_listening = false;
};

// The caller's address list: the hosts the browser finds and the addresses
// called before, kept current while the program runs.
class AddressListFeed : public QObject {
public:
    AddressListFeed(frmClient& form, Controls& controls, ServiceBrowser& browser,
                    const RecentAddresses& store, quint16 port);

private:
    // Writes the list to the address box.
    void LoadIPs();
    void remember(const QString& address);

    Controls& m_controls;
    const RecentAddresses& m_store;
    const quint16 m_port;
    QList<FoundHost> m_found;
    QStringList m_recent;
};

// What a chat window takes from the desktop, as the programs assemble it: the
// host announces itself and shows its addresses; the caller lists hosts.
class Discovery {
public:
    Discovery(ChatWindow& window, const SideTraits& traits, quint16 port);
    ~Discovery();

    // Begins to talk to the desktop's services, once the window is up.
    void start();

private:
    ChatWindow& m_window;
    const quint16 m_port;
    std::unique_ptr<ServiceAnnouncer> m_announcer;
    std::unique_ptr<ServiceBrowser> m_browser;
    std::unique_ptr<RecentAddresses> m_recent;
    std::unique_ptr<QObject> m_hookup;
    AddressWatch m_addressWatch;
};

} // namespace parlo
