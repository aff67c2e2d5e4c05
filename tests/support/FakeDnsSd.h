#pragma once

#include "DnsSd.h"

#include <QStringList>

namespace parlo::test {

// Records what is announced: "name port", or "-" for a withdrawal.
class FakeAnnouncer final : public ServiceAnnouncer {
public:
    QStringList calls;
    void start() override {}
    void announce(const QString& name, quint16 port) override {
        calls << name + ' ' + QString::number(port);
    }
    void withdraw() override { calls << "-"; }
};

// Finds what the test hands it through `servicesChanged`.
class FakeBrowser final : public ServiceBrowser {
public:
    void start() override {}
};

} // namespace parlo::test
