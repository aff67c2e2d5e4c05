#pragma once

#include "AddressList.h"

#include <QString>

namespace parlo {

// What the chat core sees of its window. The core only writes to it, but for
// what the user typed. The real window implements it with widgets; tests
// implement it with a recorder, so a modal box never blocks.
class Controls {
public:
    virtual ~Controls() = default;

    // The transcript `txtOutput`, in the core's form: every entry after "\r\n".
    // Appending costs O(text), not O(transcript).
    virtual void appendOutput(const QString& text) = 0;
    virtual void setOutputText(const QString& text) = 0;
    // Brings the end of the transcript into view, caret at the end.
    virtual void scrollOutputToEnd() = 0;

    // The input box `txtSend`.
    virtual QString inputText() const = 0;
    virtual void setInputText(const QString& text) = 0;
    virtual void focusInput() = 0;

    // The address box `cboAddress`.
    virtual QString addressText() const = 0;
    virtual void focusAddress() = 0;
    // The address box's drop-down list; the box's own text stays as it is.
    virtual void setAddressList(const QList<AddressEntry>& entries) = 0;

    virtual void setStatusText(const QString& text) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setConnectCaption(const QString& caption) = 0;

    // Which of the two stacked panels is in front.
    virtual void showChatPanel() = 0;
    virtual void showConnectPanel() = 0;

    // A modal box with an OK button and no title of its own; returns when closed.
    virtual void messageBox(const QString& text) = 0;
    // Lets pending events run once.
    virtual void doEvents() = 0;
    // A line from the peer has just been shown, under `peerName`: the window
    // decides whether to ask for the user's attention.
    virtual void peerLineArrived(const QString& peerName, const QString& shownLine) = 0;
    // Ends the program at once, without the window's close steps.
    virtual void endProgram() = 0;
};

} // namespace parlo
