#pragma once

#include "ProgramWindow.h"

#include <QComboBox>
#include <QTcpServer>
#include <QTest>

namespace parlo::test {

// A whole program in the test process, shown, with the few reads and actions
// the conversation tests repeat.
struct ProgramUnderTest : desktop::ProgramWindow {
    ProgramUnderTest(bool host, quint16 port)
        : ProgramWindow(host ? Program::Host : Program::Caller, port) {
        window.show();
    }

    // Types an address into the address box and presses Enter.
    void dial(const QString& address) {
        window.cboAddress->setEditText(address);
        QTest::keyClick(window.cboAddress, Qt::Key_Return);
    }

    QString transcript() const { return window.outputText(); }
    QString status() const { return window.statusText(); }
};

// A loopback port that nothing listens on right now.
inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace parlo::test
