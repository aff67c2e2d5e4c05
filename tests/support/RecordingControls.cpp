#include "RecordingControls.h"

namespace parlo::test {

void RecordingControls::messageBox(const QString& text) {
    boxes << text;
    mostBoxesOpen = qMax(mostBoxesOpen, ++boxesOpen);
    runAll(whileBoxOpen);
    --boxesOpen;
}

void RecordingControls::runAll(QList<std::function<void()>>& steps) {
    for (const auto& step : std::exchange(steps, {})) {
        step();
    }
}

} // namespace parlo::test
