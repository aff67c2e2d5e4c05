#pragma once

#include "Controls.h"

#include <QMap>
#include <QStringList>
#include <functional>

namespace parlo::test {

// Controls that remember what the chat core did to them. Message boxes are
// recorded instead of shown, so nothing blocks.
class RecordingControls final : public Controls {
public:
    // What the controls show, by name: out (the transcript), input, address,
    // status, caption, button, panel, focus, list (the address list: "shown>address;...").
    QMap<QString, QString> shown = {{"button", "Connect"}};
    QStringList boxes;
    int alerts = 0, boxesOpen = 0, mostBoxesOpen = 0;
    bool ended = false;
    // Run at the next "let pending events run once", and while the next box is open.
    QList<std::function<void()>> atYield, whileBoxOpen;

    QString outputText() const override { return shown.value("out"); }
    void setOutputText(const QString& text) override { shown["out"] = text; }
    void appendOutput(const QString& text) override { shown["out"] += text; }
    void scrollOutputToEnd() override {}
    QString inputText() const override { return shown.value("input"); }
    void setInputText(const QString& text) override { shown["input"] = text; }
    void focusInput() override { shown["focus"] = "input"; }
    QString addressText() const override { return shown.value("address"); }
    void focusAddress() override { shown["focus"] = "address"; }
    void setAddressList(const QList<AddressEntry>& entries) override {
        shown["list"].clear();
        for (const AddressEntry& entry : entries)
            shown["list"] += entry.shown + '>' + entry.address + ';';
    }
    void setStatusText(const QString& text) override { shown["status"] = text; }
    void setCaption(const QString& text) override { shown["caption"] = text; }
    QString connectCaption() const override { return shown.value("button"); }
    void setConnectCaption(const QString& text) override { shown["button"] = text; }
    void showChatPanel() override { shown["panel"] = "chat"; }
    void showConnectPanel() override { shown["panel"] = "connect"; }
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
