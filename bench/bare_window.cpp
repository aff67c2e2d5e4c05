// The yardstick for start-up time and idle memory: the least a Qt Widgets
// program does to show a main window with a status bar.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setCentralWidget(new QLabel(QStringLiteral("bare window")));
    window.statusBar()->showMessage(QStringLiteral("Idle."));
    window.resize(377, 253);
    window.show();
    return QApplication::exec();
}
