#include "Discovery.h"

#include "ChatWindow.h"
#include "SideTraits.h"
#include "frmClient.h"

#include <QSysInfo>

namespace parlo {

Announcement::Announcement(frmClient& form, ServiceAnnouncer& announcer, QString machineName,
                           quint16 port)
    : m_announcer(announcer), m_machineName(std::move(machineName)), m_port(port) {
    connect(&form, &frmClient::myNameChanged, this, [this](const QString& name) {
        m_nickname = name;
        update();
    });
    connect(&form, &frmClient::phaseChanged, this, [this](Phase phase) {
        const bool listening = phase == Phase::Listening;
        if (std::exchange(m_listening, listening) != listening) {
            update();
        }
    });
}

void Announcement::update() {
    if (m_listening && !m_nickname.isEmpty()) {
        m_announcer.announce(announcedName(m_nickname, m_machineName), m_port);
    } else {
        m_announcer.withdraw();
    }
}

AddressListFeed::AddressListFeed(frmClient& form, Controls& controls, ServiceBrowser& browser,
                                 const RecentAddresses& store, quint16 port)
    : m_controls(controls), m_store(store), m_port(port),
      m_recent(keptRecentAddresses(store.load())) {
    connect(&browser, &ServiceBrowser::servicesChanged, this,
            [this](const QList<DnsSdService>& services) {
                m_found.clear();
                for (const DnsSdService& service : services) {
                    m_found.append({service.name, service.address, service.port});
                }
                LoadIPs();
            });
    connect(&form, &frmClient::callTaken, this, &AddressListFeed::remember);
    LoadIPs();
}

void AddressListFeed::LoadIPs() {
    m_controls.setAddressList(composeAddressList(m_found, m_recent, m_port));
}

void AddressListFeed::remember(const QString& address) {
    m_recent = rememberAddress(m_recent, address);
    m_store.save(m_recent); // a file that cannot be written leaves the list for this run
    LoadIPs();
}

Discovery::Discovery(ChatWindow& window, const SideTraits& traits, quint16 port)
    : m_window(window), m_port(port) {
    if (traits.listens) {
        // Made now, so that it hears the model from its start-up on.
        m_announcer = makeServiceAnnouncer();
        m_hookup = std::make_unique<Announcement>(window.model(), *m_announcer,
                                                  QSysInfo::machineHostName(), port);
        QObject::connect(&m_addressWatch, &AddressWatch::changed, &window,
                         [&window] { window.showOwnAddresses(ownAddressesText()); });
    } else {
        m_browser = makeServiceBrowser();
        m_recent = std::make_unique<RecentAddresses>(RecentAddresses::standardPath());
    }
}

Discovery::~Discovery() = default;

void Discovery::start() {
    if (m_announcer) {
        m_announcer->start();
        m_window.showOwnAddresses(ownAddressesText());
        m_addressWatch.start();
        return;
    }
    m_hookup = std::make_unique<AddressListFeed>(m_window.model(), m_window, *m_browser, *m_recent,
                                                 m_port);
    m_browser->start();
}

} // namespace parlo
