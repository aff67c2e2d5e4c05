#include "ProgramWindow.h"

#include "Sides.h"

#include <QLineEdit>
#include <QTest>

namespace parlo::desktop {

ProgramWindow::ProgramWindow(Program program, quint16 port)
    : side(test::makeSide(program == Program::Host)), window(*side), form(socket, window, *side) {
    window.attach(form);
    form.port = port;
    form.Form_Load();
}

void ProgramWindow::type(const QString& line) {
    window.txtSend->setText(line);
    QTest::keyClick(window.txtSend, Qt::Key_Return);
}

} // namespace parlo::desktop
