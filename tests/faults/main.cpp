#include "testSuites.h"

#include <QCoreApplication>
#include <csignal>

int main(int argc, char** argv) {
    // A peer that vanishes while we write must fail the write, not end the tests.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    int failures = 0;
    failures += runPeerLossTests(argc, argv);
    failures += runBadInputTests(argc, argv);
    failures += runModalBoxTests(argc, argv);
    failures += runBackpressureTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
