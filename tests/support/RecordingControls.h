#pragma once

#include "Controls.h"

#include <QStringList>
#include <functional>

namespace parlo::test {

// Controls that remember everything the chat core did to them. Message boxes
// are recorded instead of shown, so nothing blocks.
class RecordingControls final : public Controls {
public:
    QString output;
    QString input;
    QString address;
    QString status;
    QString caption;
    QString buttonCaption = QStringLiteral("Connect");
    QString panel = QStringLiteral("connect");
    QStringList boxes;
    int yields = 0;
    int scrolls = 0;
    int inputFocus = 0;
    int addressFocus = 0;
    int alerts = 0;
    bool active = true;
    bool ended = false;
    // Runs at every "let pending events run once", to play what arrives then.
    std::function<void()> onYield;
    // Runs while a message box is open.
    std::function<void()> onBox;

    QString outputText() const override { return output; }
    void setOutputText(const QString& text) override { output = text; }
    void appendOutput(const QString& text) override { output += text; }
    void scrollOutputToEnd() override { ++scrolls; }
    QString inputText() const override { return input; }
    void setInputText(const QString& text) override { input = text; }
    void focusInput() override { ++inputFocus; }
    QString addressText() const override { return address; }
    void focusAddress() override { ++addressFocus; }
    void setStatusText(const QString& text) override { status = text; }
    QString statusText() const override { return status; }
    void setCaption(const QString& text) override { caption = text; }
    QString connectCaption() const override { return buttonCaption; }
    void setConnectCaption(const QString& text) override { buttonCaption = text; }
    void showChatPanel() override { panel = QStringLiteral("chat"); }
    void showConnectPanel() override { panel = QStringLiteral("connect"); }
    void messageBox(const QString& text) override;
    void doEvents() override;
    void alertIfInactive() override;
    void endProgram() override { ended = true; }
};

} // namespace parlo::test
