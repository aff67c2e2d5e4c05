#include "ProgramWindow.h"
#include "frmAbout.h"
#include "twips.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using parlo::desktop::ProgramWindow;

// Runs once at scale 1 and once with QT_SCALE_FACTOR=2: the windows keep
// their layout in device-independent pixels and render at the full pixel
// density, so nothing is blurred or out of proportion.
class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsKeepTheirPlaces_data();
    void controlsKeepTheirPlaces();
    void windowsRenderAtFullDensity_data();
    void windowsRenderAtFullDensity();

private:
    qreal m_scale = 1;
};

namespace {

// Runs the About box the way Help > About does, grabs it once it is up and closes it.
QPixmap grabAboutBox(parlo::ChatWindow& window, QSize* logicalSize) {
    QPixmap shot;
    QTimer::singleShot(0, &window, [&] {
        auto* about = window.findChild<frmAbout*>();
        if (!about) {
            return;
        }
        QTRY_VERIFY(about->isVisible());
        *logicalSize = about->size();
        shot = about->grab();
        about->accept();
    });
    window.mnuAbout_Click();
    return shot;
}

} // namespace

void TestHighDpi::initTestCase() {
    bool ok = false;
    const qreal wanted = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble(&ok);
    QVERIFY(ok && wanted >= 1);
    m_scale = wanted;
    ProgramWindow program(ProgramWindow::Program::Host, 0);
    program.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&program.window));
    QCOMPARE(program.window.devicePixelRatio(), m_scale);
}

void TestHighDpi::controlsKeepTheirPlaces_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("place");

    // Where the design puts them, in twips, whatever the scale.
    QTest::newRow("cboAddress") << "cboAddress" << twipsRect(2400, 960, 2415, 315);
    QTest::newRow("cmdConnect") << "cmdConnect" << twipsRect(2880, 1440, 1335, 375);
    QTest::newRow("Image1") << "Image1" << twipsRect(360, 1560, 1920, 1305);
    QTest::newRow("txtOutput") << "txtOutput" << twipsRect(120, 240, 5175, 1695);
    QTest::newRow("txtSend") << "txtSend" << twipsRect(120, 2280, 4935, 285);
    QTest::newRow("cboPeers") << "cboPeers" << twipsRect(720, 2640, 2175, 300);
    QTest::newRow("cmdSend") << "cmdSend" << twipsRect(3480, 2640, 1335, 375);
}

void TestHighDpi::controlsKeepTheirPlaces() {
    QFETCH(QString, control);
    QFETCH(QRect, place);

    ProgramWindow program(ProgramWindow::Program::Caller, 0);
    program.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&program.window));
    auto* widget = program.window.findChild<QWidget*>(control);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), place);
}

void TestHighDpi::windowsRenderAtFullDensity_data() {
    QTest::addColumn<bool>("host");
    QTest::newRow("caller") << false;
    QTest::newRow("host") << true;
}

void TestHighDpi::windowsRenderAtFullDensity() {
    QFETCH(bool, host);

    ProgramWindow program(host ? ProgramWindow::Program::Host : ProgramWindow::Program::Caller, 0);
    parlo::ChatWindow& window = program.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // The window's logical size does not depend on the scale; its image does.
    const QPixmap shot = window.grab();
    QCOMPARE(shot.devicePixelRatio(), m_scale);
    QCOMPARE(shot.size(), window.size() * m_scale);
    QCOMPARE(window.width(), twipsToPixels(5655));

    QSize aboutSize;
    const QPixmap about = grabAboutBox(window, &aboutSize);
    QVERIFY2(!about.isNull(), "the About box did not come up");
    QCOMPARE(aboutSize, QSize(twipsToPixels(4935), twipsToPixels(3255)));
    QCOMPARE(about.size(), aboutSize * m_scale);
}

QTEST_MAIN(TestHighDpi)
#include "test_highDpi.moc"
