// Starts a program on Windows: a new process with its window shown normally,
// not waited for; the process and thread handles are released at once.

#include "LauncherFailure.h"
#include "ProgramStarter.h"

#include <QByteArray>

#include <windows.h>

namespace parlo {

namespace {

class WindowsProgramStarter final : public ProgramStarter {
public:
    void start(const QString& commandLine) override {
        // CreateProcessA may write into the command line, so it gets its own copy.
        QByteArray line = commandLine.toLocal8Bit();
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            throw LauncherFailure(qt_error_string(static_cast<int>(GetLastError())));
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
};

} // namespace

ProgramStarter& systemProgramStarter() {
    static WindowsProgramStarter starter;
    return starter;
}

} // namespace parlo
