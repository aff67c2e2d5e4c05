#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

namespace parlo {

// The machine's addresses as the host shows them, on one line: IPv4 and IPv6,
// without loopback and without link-local IPv6 (a caller can only use that
// through its own interface, which the host cannot name), each once.
QString ownAddressesText(const QList<QHostAddress>& addresses);
// The same for the machine's addresses now.
QString ownAddressesText();

// Tells when the machine's addresses may have changed. The platform layer
// chosen by the build listens to the kernel where it can, or looks now and then.
class AddressWatch : public QObject {
    Q_OBJECT
public:
    explicit AddressWatch(QObject* parent = nullptr);
    ~AddressWatch() override;
    void start();

signals:
    void changed();

private:
    struct Platform;
    Platform* m_platform = nullptr;
};

} // namespace parlo
