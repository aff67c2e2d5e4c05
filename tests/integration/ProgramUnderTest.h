#pragma once

#include "CallerSide.h"
#include "ChatWindow.h"
#include "HostSide.h"
#include "QtStreamSocket.h"
#include "frmClient.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTcpServer>
#include <QTest>
#include <memory>

namespace parlo::test {

// A whole program in the test process: real window, real socket, real model,
// on a port the test chooses instead of 1983.
struct ProgramUnderTest {
    ProgramUnderTest(bool host, quint16 port)
        : side(host ? std::unique_ptr<ChatSide>(new HostSide) : std::make_unique<CallerSide>()),
          window(*side), form(socket, window, *side) {
        window.attach(form);
        form.port = port;
        form.Form_Load();
        window.show();
    }

    // Types a line into the input box and presses Enter, as a user would.
    void type(const QString& line) {
        window.txtSend->clear();
        QTest::keyClicks(window.txtSend, line);
        QTest::keyClick(window.txtSend, Qt::Key_Return);
    }

    void dial(const QString& address) {
        window.cboAddress->setEditText(address);
        QTest::keyClick(window.cboAddress, Qt::Key_Return);
    }

    QString transcript() const { return window.outputText(); }
    QString status() const { return window.statusText(); }

    std::unique_ptr<ChatSide> side;
    QtStreamSocket socket;
    ChatWindow window;
    frmClient form;
};

// A loopback port that nothing listens on right now.
inline quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace parlo::test
