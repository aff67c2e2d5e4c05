#include "ProgramWindow.h"

#include "CallerSide.h"
#include "HostSide.h"

#include <QLineEdit>
#include <QTest>

namespace parlo::desktop {

namespace {
std::unique_ptr<ChatSide> makeSide(ProgramWindow::Program program) {
    if (program == ProgramWindow::Program::Host) {
        return std::make_unique<HostSide>();
    }
    return std::make_unique<CallerSide>();
}
} // namespace

ProgramWindow::ProgramWindow(Program program, quint16 port)
    : side(makeSide(program)), window(*side), form(socket, window, *side) {
    window.attach(form);
    form.port = port;
    form.Form_Load();
}

void ProgramWindow::type(const QString& line) {
    window.txtSend->setText(line);
    QTest::keyClick(window.txtSend, Qt::Key_Return);
}

} // namespace parlo::desktop
