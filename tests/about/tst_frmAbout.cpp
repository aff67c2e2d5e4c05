// The About box, offscreen: its controls, the link's hover rule, the keys that
// close it and what a click on the link starts.
#include "FakeProgramStarter.h"
#include "FakeRegistryReader.h"
#include "frmAbout.h"
#include "modIEOps.h"
#include "picture.h"
#include "testSuites.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The classic face where the machine has it, else an installed look-alike:
// never a face that is missing and left to the font system to guess.
void expectClassicOrInstalledFace(const QFont& font, const QString& classic) {
    const QString shown = font.family();
    QVERIFY2(QFontDatabase::hasFamily(shown), qPrintable(shown));
    if (QFontDatabase::hasFamily(classic)) {
        QCOMPARE(shown, classic);
    }
}

const QByteArray kPathKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const QByteArray kVersionKey = "Software\\Microsoft\\Internet Explorer";

// A launcher over fakes, with the browser installed in the given version.
struct Launcher {
    explicit Launcher(const QByteArray& version = "6.0") {
        registry.setString(kPathKey, "Path", "C:\\Program Files\\Internet Explorer;");
        registry.setString(kVersionKey, "Version", version);
    }
    FakeRegistryReader registry;
    FakeProgramStarter starter;
    modIEOps ops{registry, starter};
};

template <typename T = QWidget> T* control(const QWidget& box, const char* name) {
    T* found = box.findChild<T*>(QLatin1String(name));
    if (!found) {
        qFatal("the About box has no control %s", name);
    }
    return found;
}

// A point on the frame's own surface, clear of every control.
QPoint bareFramePoint(const QWidget& box) {
    auto* frame = control(box, "fraAbout");
    const QPoint point(frame->width() - 8, 100);
    if (frame->childAt(point)) {
        qFatal("the chosen bare frame point lies on a control");
    }
    return point;
}

// Moves the pointer through the window system, as a real mouse would, so that
// Qt decides which widget sees the move.
void movePointerTo(QWidget& box, const QWidget* over, QPoint local) {
    QTest::mouseMove(&box, over->mapTo(&box, local));
}

bool linkUnderlined(const QWidget& box) {
    return control<QLabel>(box, "lblWebsite")->font().underline();
}

void showAndWait(QWidget& box) {
    box.show();
    if (!QTest::qWaitForWindowExposed(&box)) {
        qFatal("the About box was never exposed");
    }
}

} // namespace

class FrmAboutTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void labels_data();
    void labels();
    void controlsAtTheirPlaces();
    void onlyOkTakesFocus();
    void hover_data();
    void hover();
    void directMovesOnLinkAndFrame();
    void keys_data();
    void keys();
    void closeControlClosesEveryBox();
    void okCloses();
    void reopeningShowsLinkUnderlined();
    void linkClick_data();
    void linkClick();
    void clickNeedsReleaseOverLink();
    void defaultLauncherLinkIsHarmless();
};

void FrmAboutTest::window() {
    Launcher launcher;
    frmAbout box(true, launcher.ops);

    QCOMPARE(box.windowTitle(), QStringLiteral("Parlo"));
    QCOMPARE(box.size(), QSize(329, 217));
    QCOMPARE(box.minimumSize(), QSize(329, 217));
    QCOMPARE(box.maximumSize(), QSize(329, 217));
    QVERIFY(!(box.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(box.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(box.isModal());
}

void FrmAboutTest::labels_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QColor>("colour"); // invalid: the box's own text colour
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QPoint>("topLeft");

    const int left = Qt::AlignLeft;
    QTest::newRow("Label7") << QByteArray("Label7") << "Parlo"
                            << "Times New Roman" << 24.0 << false << false << QColor(0, 0, 255)
                            << int(Qt::AlignHCenter) << QPoint(8, 16);
    QTest::newRow("Label5") << QByteArray("Label5") << "Programmed and Designed by:"
                            << "MS Sans Serif" << 9.75 << false << false << QColor() << left
                            << QPoint(72, 64);
    QTest::newRow("Label3") << QByteArray("Label3") << "The Parlo team"
                            << "Microsoft Sans Serif" << 9.75 << true << false << QColor(192, 0, 0)
                            << left << QPoint(136, 80);
    QTest::newRow("Label4") << QByteArray("Label4") << "Version 1.9"
                            << "MS Sans Serif" << 9.75 << true << false << QColor(0, 0, 128)
                            << int(Qt::AlignRight) << QPoint(220, 112);
    QTest::newRow("Label6") << QByteArray("Label6") << "Visit my website:"
                            << "MS Sans Serif" << 8.25 << false << false << QColor() << left
                            << QPoint(152, 136);
    QTest::newRow("lblWebsite") << QByteArray("lblWebsite") << "www.parlo.example"
                                << "MS Sans Serif" << 8.25 << false << true << QColor(0, 0, 255)
                                << left << QPoint(187, 149);
}

void FrmAboutTest::labels() {
    QFETCH(QByteArray, name);
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(QColor, colour);
    QFETCH(int, alignment);
    QFETCH(QPoint, topLeft);

    Launcher launcher;
    frmAbout box(false, launcher.ops);
    auto* label = control<QLabel>(box, name.constData());

    QCOMPARE(label->text(), text);
    expectClassicOrInstalledFace(label->font(), family);
    QCOMPARE(label->font().pointSizeF(), points);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().underline(), underline);
    const QColor expected = colour.isValid() ? colour : box.palette().color(QPalette::WindowText);
    QCOMPARE(label->palette().color(QPalette::WindowText), expected);
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(label->parentWidget(), control(box, "fraAbout"));
    // Sized to its own text from its left and top.
    QCOMPARE(label->pos(), topLeft);
    QCOMPARE(label->size(), label->sizeHint());
}

void FrmAboutTest::controlsAtTheirPlaces() {
    Launcher launcher;
    frmAbout box(false, launcher.ops);

    auto* frame = control<QFrame>(box, "fraAbout");
    QCOMPARE(frame->geometry(), QRect(8, 0, 313, 209));
    QCOMPARE(frame->parentWidget(), &box);

    auto* picture = control<PictureWidget>(box, "Image2");
    QCOMPARE(picture->geometry(), QRect(8, 112, 128, 87));

    auto* ok = control<QPushButton>(box, "cmdOK");
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(168, 176, 73, 25));
    expectClassicOrInstalledFace(ok->font(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(ok->font().pointSizeF(), 8.25);

    QCOMPARE(control(box, "lblWebsite")->cursor().shape(), Qt::PointingHandCursor);
}

void FrmAboutTest::onlyOkTakesFocus() {
    Launcher launcher;
    frmAbout box(false, launcher.ops);
    const auto children = box.findChildren<QWidget*>();
    QVERIFY(children.size() >= 9);
    for (const QWidget* child : children) {
        const bool isOk = child->objectName() == QStringLiteral("cmdOK");
        QVERIFY2((child->focusPolicy() != Qt::NoFocus) == isOk, qPrintable(child->objectName()));
    }
}

void FrmAboutTest::hover_data() {
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<QString>("underlines"); // after each move: 1 underlined, 0 not

    QTest::newRow("onto the link") << QStringList{"lblWebsite"} << "0";
    QTest::newRow("link then frame") << QStringList{"lblWebsite", "fraAbout"} << "01";
    QTest::newRow("frame keeps it") << QStringList{"fraAbout"} << "1";
    QTest::newRow("link, frame, link")
        << QStringList{"lblWebsite", "fraAbout", "lblWebsite"} << "010";
    QTest::newRow("link then a label") << QStringList{"lblWebsite", "Label6"} << "00";
    QTest::newRow("link then the picture") << QStringList{"lblWebsite", "Image2"} << "00";
    QTest::newRow("link then OK") << QStringList{"lblWebsite", "cmdOK"} << "00";
    QTest::newRow("label then frame") << QStringList{"lblWebsite", "Label5", "fraAbout"} << "001";
}

void FrmAboutTest::hover() {
    QFETCH(QStringList, moves);
    QFETCH(QString, underlines);

    Launcher launcher;
    frmAbout box(false, launcher.ops);
    showAndWait(box);
    QVERIFY(linkUnderlined(box));
    // Start from the box's own corner, off the frame: a move to where the pointer
    // already is would not count as a move.
    QTest::mouseMove(&box, QPoint(1, 1));
    QVERIFY(linkUnderlined(box));

    QString seen;
    for (const QString& name : moves) {
        const QWidget* over = control(box, name.toLatin1().constData());
        const QPoint local =
            name == QStringLiteral("fraAbout") ? bareFramePoint(box) : over->rect().center();
        movePointerTo(box, over, local);
        seen += linkUnderlined(box) ? QLatin1Char('1') : QLatin1Char('0');
    }
    QCOMPARE(seen, underlines);
}

// The handlers also react to moves handed straight to the link and the frame.
void FrmAboutTest::directMovesOnLinkAndFrame() {
    Launcher launcher;
    frmAbout box(false, launcher.ops);
    QWidget* link = control(box, "lblWebsite");
    QWidget* frame = control(box, "fraAbout");

    const auto send = [](QWidget* target, QPoint local) {
        QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(target->mapToGlobal(local)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    };
    send(link, QPoint(2, 2));
    QVERIFY(!linkUnderlined(box));
    send(link, QPoint(3, 2));
    QVERIFY(!linkUnderlined(box));
    send(frame, bareFramePoint(box));
    QVERIFY(linkUnderlined(box));
    // A move reaching the frame over one of its labels is not a move over the bare frame.
    send(link, QPoint(2, 2));
    send(frame, control(box, "Label4")->geometry().center());
    QVERIFY(!linkUnderlined(box));
}

void FrmAboutTest::keys_data() {
    QTest::addColumn<bool>("closeOnEsc");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("staysOpen");

    QTest::newRow("host: Esc closes") << true << int(Qt::Key_Escape) << false;
    QTest::newRow("caller: Esc does not close") << false << int(Qt::Key_Escape) << true;
    QTest::newRow("host: a letter does nothing") << true << int(Qt::Key_A) << true;
    QTest::newRow("caller: Enter acts on OK") << false << int(Qt::Key_Return) << false;
}

void FrmAboutTest::keys() {
    QFETCH(bool, closeOnEsc);
    QFETCH(int, key);
    QFETCH(bool, staysOpen);

    Launcher launcher;
    frmAbout box(closeOnEsc, launcher.ops);
    showAndWait(box);

    // Keys go to the focused control first, OK, and reach the box from there.
    QTest::keyClick(control(box, "cmdOK"), static_cast<Qt::Key>(key));
    QCOMPARE(box.isVisible(), staysOpen);
}

void FrmAboutTest::closeControlClosesEveryBox() {
    Launcher launcher;
    frmAbout box(false, launcher.ops);
    showAndWait(box);
    QVERIFY(box.close());
    QVERIFY(!box.isVisible());
}

void FrmAboutTest::okCloses() {
    Launcher launcher;
    frmAbout box(false, launcher.ops);
    showAndWait(box);
    QTest::mouseClick(control(box, "cmdOK"), Qt::LeftButton);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
}

void FrmAboutTest::reopeningShowsLinkUnderlined() {
    Launcher launcher;
    frmAbout box(true, launcher.ops);
    QList<bool> underlinedAtOpen;
    QList<bool> underlinedAtClose;

    for (int opening = 0; opening < 2; ++opening) {
        QTimer::singleShot(0, &box, [&] {
            underlinedAtOpen.append(linkUnderlined(box));
            QWidget* link = control(box, "lblWebsite");
            QMouseEvent move(QEvent::MouseMove, QPointF(2, 2),
                             QPointF(link->mapToGlobal(QPoint(2, 2))), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(link, &move);
            underlinedAtClose.append(linkUnderlined(box));
            control<QPushButton>(box, "cmdOK")->click();
        });
        box.showModal();
        QVERIFY(!box.isVisible());
    }
    QCOMPARE(underlinedAtOpen, (QList<bool>{true, true}));
    QCOMPARE(underlinedAtClose, (QList<bool>{false, false}));
}

void FrmAboutTest::linkClick_data() {
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("starterFails");
    QTest::addColumn<QStringList>("started");

    const QString command =
        QStringLiteral("\"C:\\Program Files\\Internet Explorer\\IExplore.exe\" www.parlo.example");
    QTest::newRow("version 6 starts") << QByteArray("6.0") << false << QStringList{command};
    QTest::newRow("version 9 starts") << QByteArray("9.0") << false << QStringList{command};
    QTest::newRow("version 5 does not") << QByteArray("5.5") << false << QStringList{};
    QTest::newRow("version 11 does not") << QByteArray("11.0") << false << QStringList{};
    QTest::newRow("no version does not") << QByteArray("") << false << QStringList{};
    QTest::newRow("failed start is silent") << QByteArray("6.0") << true << QStringList{command};
}

void FrmAboutTest::linkClick() {
    QFETCH(QByteArray, version);
    QFETCH(bool, starterFails);
    QFETCH(QStringList, started);

    Launcher launcher(version);
    if (starterFails) {
        launcher.starter.failWith(QStringLiteral("The system cannot find the file specified."));
    }
    frmAbout box(true, launcher.ops);
    showAndWait(box);

    QTest::mouseClick(control(box, "lblWebsite"), Qt::LeftButton);
    QCOMPARE(launcher.starter.commandLines, started);
    QVERIFY(box.isVisible());
}

void FrmAboutTest::clickNeedsReleaseOverLink() {
    Launcher launcher;
    frmAbout box(true, launcher.ops);
    showAndWait(box);
    QWidget* link = control(box, "lblWebsite");

    QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-30, -30));
    QCOMPARE(launcher.starter.commandLines, QStringList{});

    QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(launcher.starter.commandLines.size(), 1);
}

void FrmAboutTest::defaultLauncherLinkIsHarmless() {
#ifdef _WIN32
    QSKIP("Windows has a registry; the browser might really start.");
#else
    frmAbout box(true, defaultIEOps());
    showAndWait(box);
    QTest::mouseClick(control(box, "lblWebsite"), Qt::LeftButton);
    QVERIFY(box.isVisible());
    QVERIFY2(defaultIEOps().cachedPath().startsWith(QStringLiteral("Error in 'getIEPath' - ")),
             "the click did not go through the launcher");
#endif
}

int runFrmAboutTests(int argc, char** argv) {
    FrmAboutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmAbout.moc"
