#include "RecordingControls.h"

namespace parlo::test {

void RecordingControls::messageBox(const QString& text) {
    boxes << text;
    if (onBox) {
        onBox();
    }
}

void RecordingControls::doEvents() {
    ++yields;
    if (onYield) {
        // A yield may itself yield; play the script once.
        auto play = std::exchange(onYield, nullptr);
        play();
    }
}

void RecordingControls::alertIfInactive() {
    if (!active) {
        ++alerts;
    }
}

} // namespace parlo::test
