#pragma once

#include "Controls.h"

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>
#include <utility>

namespace parlo::test {

// Controls that remember what the chat core did to them. A message box is
// recorded instead of shown; while it is "open", events run as in a real
// modal box's own loop, so nothing blocks.
class RecordingControls final : public Controls {
public:
    using Steps = QList<std::function<void()>>;

    // What the controls show, by name: out (the transcript), input, address,
    // status, caption, button, panel, focus, list (the address list: "shown>address;...").
    QMap<QString, QString> shown = {{"button", "Connect"}};
    QStringList boxes;
    QStringList alerts; // each as "name: line"
    // Set while the test delivers data: a box shown then would stop the socket's reads.
    bool insideRead = false;
    bool boxOpen = false;
    QStringList faults; // boxes shown where no box may be
    bool ended = false;
    // Run at the next "let pending events run once", and while the next box is open.
    Steps atYield;
    Steps whileBoxOpen;

    void appendOutput(const QString& text) override { shown["out"] += text; }
    void setOutputText(const QString& text) override { shown["out"] = text; }
    void scrollOutputToEnd() override {}
    QString inputText() const override { return shown.value("input"); }
    void setInputText(const QString& text) override { shown["input"] = text; }
    void focusInput() override { shown["focus"] = "input"; }
    QString addressText() const override { return shown.value("address"); }
    void focusAddress() override { shown["focus"] = "address"; }
    void setAddressList(const QList<AddressEntry>& entries) override {
        shown["list"].clear();
        for (const AddressEntry& entry : entries) {
            shown["list"] += entry.shown + '>' + entry.address + ';';
        }
    }
    void setStatusText(const QString& text) override { shown["status"] = text; }
    void setCaption(const QString& text) override { shown["caption"] = text; }
    void setConnectCaption(const QString& text) override { shown["button"] = text; }
    void showChatPanel() override { shown["panel"] = "chat"; }
    void showConnectPanel() override { shown["panel"] = "connect"; }
    void messageBox(const QString& text) override {
        boxes.append(text);
        if (std::exchange(boxOpen, true)) {
            faults << QStringLiteral("a box opened inside another");
        }
        if (insideRead) {
            faults << QStringLiteral("a box shown inside the read that raised it");
        }
        runAll(whileBoxOpen);
        QCoreApplication::processEvents();
        boxOpen = false;
    }
    void doEvents() override { runAll(atYield); }
    void peerLineArrived(const QString& peerName, const QString& shownLine) override {
        alerts.append(peerName + QStringLiteral(": ") + shownLine);
    }
    void endProgram() override { ended = true; }

private:
    static void runAll(Steps& steps) {
        for (const auto& step : std::exchange(steps, {})) {
            step();
        }
    }
};

} // namespace parlo::test
