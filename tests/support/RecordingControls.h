#pragma once

#include "Controls.h"

#include <QStringList>
#include <functional>

namespace parlo::test {

// Controls that remember what the chat core did to them. Message boxes are
// recorded instead of shown, so nothing blocks.
class RecordingControls final : public Controls {
public:
    QString output, input, address, status, caption, focus, panel;
    QString button = QStringLiteral("Connect");
    QStringList boxes;
    int alerts = 0, boxesOpen = 0, mostBoxesOpen = 0;
    bool ended = false;
    // Run at the next "let pending events run once", and while the next box is open.
    QList<std::function<void()>> atYield, whileBoxOpen;

    QString outputText() const override { return output; }
    void setOutputText(const QString& text) override { output = text; }
    void appendOutput(const QString& text) override { output += text; }
    void scrollOutputToEnd() override {}
    QString inputText() const override { return input; }
    void setInputText(const QString& text) override { input = text; }
    void focusInput() override { focus = QStringLiteral("input"); }
    QString addressText() const override { return address; }
    void focusAddress() override { focus = QStringLiteral("address"); }
    void setStatusText(const QString& text) override { status = text; }
    void setCaption(const QString& text) override { caption = text; }
    QString connectCaption() const override { return button; }
    void setConnectCaption(const QString& text) override { button = text; }
    void showChatPanel() override { panel = QStringLiteral("chat"); }
    void showConnectPanel() override { panel = QStringLiteral("connect"); }
    void messageBox(const QString& text) override {
        boxes << text;
        mostBoxesOpen = qMax(mostBoxesOpen, ++boxesOpen);
        runAll(whileBoxOpen);
        --boxesOpen;
    }
    void doEvents() override { runAll(atYield); }
    void alertIfInactive() override { ++alerts; }
    void endProgram() override { ended = true; }

private:
    static void runAll(QList<std::function<void()>>& steps) {
        for (const auto& step : std::exchange(steps, {})) {
            step();
        }
    }
};

} // namespace parlo::test
