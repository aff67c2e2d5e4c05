#include "FakeProgramStarter.h"

#include "LauncherFailure.h"

void FakeProgramStarter::start(const QString& commandLine) {
    commandLines.append(commandLine);
    if (!m_failure.isEmpty()) {
        throw LauncherFailure(m_failure);
    }
}
