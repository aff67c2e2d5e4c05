// Starts a program away from Windows: the command line is split the way a shell
// would split it and the program runs detached, not waited for.

#include "LauncherFailure.h"
#include "ProgramStarter.h"

#include <QProcess>
#include <QStringList>

namespace parlo {

namespace {

class DetachedProgramStarter final : public ProgramStarter {
public:
    void start(const QString& commandLine) override {
        QStringList arguments = QProcess::splitCommand(commandLine);
        if (arguments.isEmpty()) {
            throw LauncherFailure(QStringLiteral("the command line names no program"));
        }
        const QString program = arguments.takeFirst();
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        if (!process.startDetached()) {
            throw LauncherFailure(
                QStringLiteral("cannot start %1: %2").arg(program, process.errorString()));
        }
    }
};

} // namespace

ProgramStarter& systemProgramStarter() {
    static DetachedProgramStarter starter;
    return starter;
}

} // namespace parlo
