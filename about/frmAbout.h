#pragma once

#include <QDialog>

class QEvent;
class QFrame;
class QKeyEvent;
class QLabel;

namespace parlo {

class modIEOps;

// The About box: product name, version, credit line, the picture and a web link
// that opens the product's page (see WebLink.h); the link is followed with a
// click, or reached with Tab and followed with Enter or Space. Created once by the
// chat window and shown modally with showModal() each time Help > About is chosen.
//
// Child widgets carry their control names as object names (fraAbout, Label3..Label7,
// Image2, lblWebsite, cmdOK).
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // closeOnEsc: whether Esc closes the box (the host's box does, the caller's does not).
    // launcher must outlive the box.
    frmAbout(bool closeOnEsc, modIEOps& launcher, QWidget* parent = nullptr);

    // Puts the link's underline back on, centres the box on the screen and runs it
    // modally until OK, Esc (where allowed) or the window's close control ends it.
    void showModal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    // Names and places label, a new child of the frame.
    QLabel* addLabel(QLabel* label, const char* name, const QFont& font, const QColor& colour,
                     Qt::Alignment alignment, int leftTwips, int topTwips);
    void setLinkUnderline(bool on);

    void cmdOK_Click();
    void Form_KeyPress(quint16 KeyAscii);
    void lblWebsite_MouseMove();
    void fraAbout_MouseMove();
    void lblWebsite_Click();

    const bool m_closeOnEsc;
    modIEOps& m_launcher;
    bool m_linkPressed = false;

    // The two controls the pointer's moves are watched on.
    QFrame* fraAbout = nullptr;
    QLabel* lblWebsite = nullptr;
};

} // namespace parlo
