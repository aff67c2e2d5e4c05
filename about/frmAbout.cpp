#include "frmAbout.h"

#include "ClassicFonts.h"
#include "Picture.h"
#include "Product.h"
#include "ReadableColours.h"
#include "Twips.h"
#include "WebLink.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace parlo {

namespace {

const QString kCreditLine = QStringLiteral("The %1 team").arg(product::kName);
// Shown as the link's text and opened when the link is followed.
const QString kWebAddress = QStringLiteral("www.parlo.example");
constexpr quint16 kEscapeCode = 27;

const QColor kTitleBlue(0, 0, 255);
const QColor kCreditRed(192, 0, 0);
const QColor kVersionNavy(0, 0, 128);
const QColor kLinkBlue(0, 0, 255);

// The web link's label: reached with Tab (a click does not take the focus), and
// showing the focus with the style's focus rectangle.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (hasFocus()) {
            QStylePainter painter(this);
            QStyleOptionFocusRect option;
            option.initFrom(this);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
        }
    }
};

// Enter and Space follow the link once per press, not again while held down.
bool followsLink(const QKeyEvent& key) {
    const bool followKey =
        key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Space;
    return followKey && !key.isAutoRepeat();
}

} // namespace

frmAbout::frmAbout(bool closeOnEsc, modIEOps& launcher, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_closeOnEsc(closeOnEsc), m_launcher(launcher) {
    setWindowTitle(product::kName);
    setModal(true);
    setFont(msSansSerifFont(8.25));
    setFixedSize(twipsToPixels(4935), twipsToPixels(3255));
    buildControls();
}

void frmAbout::buildControls() {
    fraAbout = new QFrame(this);
    fraAbout->setObjectName(QStringLiteral("fraAbout"));
    fraAbout->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fraAbout->setGeometry(twipsRect(120, 0, 4695, 3135));
    fraAbout->setMouseTracking(true);
    fraAbout->installEventFilter(this);

    addLabel(new QLabel(product::kName, fraAbout), "Label7", timesNewRomanFont(24), kTitleBlue,
             Qt::AlignHCenter, 120, 240);
    addLabel(new QLabel(QStringLiteral("Programmed and Designed by:"), fraAbout), "Label5",
             msSansSerifFont(9.75), QColor(), Qt::AlignLeft, 1080, 960);
    addLabel(new QLabel(kCreditLine, fraAbout), "Label3", microsoftSansSerifFont(9.75, true),
             kCreditRed, Qt::AlignLeft, 2040, 1200);
    addLabel(new QLabel(QStringLiteral("Version %1").arg(product::kShortVersion), fraAbout),
             "Label4", msSansSerifFont(9.75, true), kVersionNavy, Qt::AlignRight, 3300, 1680);
    addLabel(new QLabel(QStringLiteral("Visit my website:"), fraAbout), "Label6",
             msSansSerifFont(8.25), QColor(), Qt::AlignLeft, 2280, 2040);

    QFont linkFont = msSansSerifFont(8.25);
    linkFont.setUnderline(true);
    lblWebsite = addLabel(new LinkLabel(kWebAddress, fraAbout), "lblWebsite", linkFont, kLinkBlue,
                          Qt::AlignLeft, 2805, 2235);
    lblWebsite->setCursor(Qt::PointingHandCursor);
    lblWebsite->setMouseTracking(true);
    lblWebsite->installEventFilter(this);

    auto* Image2 = new PictureWidget(fraAbout);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(twipsRect(120, 1680, 1920, 1305));

    auto* cmdOK = new QPushButton(QStringLiteral("OK"), fraAbout);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipsRect(2520, 2640, 1095, 375));
    cmdOK->setFocusPolicy(Qt::StrongFocus);
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

// A label sizes itself to its text from its left and top position, so another
// text than the design's takes its own width.
QLabel* frmAbout::addLabel(QLabel* label, const char* name, const QFont& font, const QColor& colour,
                           Qt::Alignment alignment, int leftTwips, int topTwips) {
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    if (colour.isValid()) {
        keepReadable(label, QPalette::WindowText, QPalette::Window, colour);
    }
    label->move(twipsToPixels(leftTwips), twipsToPixels(topTwips));
    label->adjustSize();
    return label;
}

void frmAbout::showModal() {
    setLinkUnderline(true);
    if (const QScreen* where = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(where->availableGeometry().center());
        move(frame.topLeft());
    }
    exec();
}

void frmAbout::setLinkUnderline(bool on) {
    QFont font = lblWebsite->font();
    if (font.underline() != on) {
        font.setUnderline(on);
        lblWebsite->setFont(font);
    }
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblWebsite) {
        switch (event->type()) {
        case QEvent::MouseMove:
            lblWebsite_MouseMove();
            return true;
        case QEvent::KeyPress:
            // Enter follows the link rather than pressing the box's default button.
            if (followsLink(*static_cast<QKeyEvent*>(event))) {
                lblWebsite_Click();
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_linkPressed = true;
            }
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* release = static_cast<QMouseEvent*>(event);
            if (release->button() == Qt::LeftButton && m_linkPressed) {
                m_linkPressed = false;
                // A click counts only when the button comes up over the link.
                if (lblWebsite->rect().contains(release->position().toPoint())) {
                    lblWebsite_Click();
                }
            }
            return true;
        }
        default:
            break;
        }
    } else if (watched == fraAbout && event->type() == QEvent::MouseMove) {
        // Only the frame's bare surface counts: a move that reaches the frame over
        // one of its controls (passed on by that control) leaves the link alone.
        const auto* move = static_cast<QMouseEvent*>(event);
        if (!fraAbout->childAt(move->position().toPoint())) {
            fraAbout_MouseMove();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
    // QDialog would close on Esc by itself; the box decides for itself instead.
    if (event->key() == Qt::Key_Escape) {
        Form_KeyPress(kEscapeCode);
        event->accept();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1) {
        Form_KeyPress(text.at(0).unicode());
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::Form_KeyPress(quint16 KeyAscii) {
    if (m_closeOnEsc && KeyAscii == kEscapeCode) {
        reject();
    }
}

void frmAbout::lblWebsite_MouseMove() {
    setLinkUnderline(false);
}

void frmAbout::fraAbout_MouseMove() {
    setLinkUnderline(true);
}

void frmAbout::lblWebsite_Click() {
    followWebLink(m_launcher, kWebAddress);
}

} // namespace parlo
