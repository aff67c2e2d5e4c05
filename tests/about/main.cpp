#include "testSuites.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    failures += runModIEOpsTests(argc, argv);
    failures += runPlatformLayerTests(argc, argv);
    failures += runPictureTests(argc, argv);
    failures += runFrmAboutTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
