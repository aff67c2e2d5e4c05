#pragma once

#include <QString>

namespace parlo {

// Starts another program from a command line, its window shown normally, without
// waiting for it. A start that fails throws LauncherFailure with the platform's reason.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual void start(const QString& commandLine) = 0;
};

// The program starter of the platform the program runs on, alive for the whole run.
ProgramStarter& systemProgramStarter();

} // namespace parlo
