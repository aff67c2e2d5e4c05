#pragma once

#include "CallerSide.h"
#include "FakeSocket.h"
#include "HostSide.h"
#include "RecordingControls.h"
#include "frmClient.h"

#include <memory>

namespace parlo::test {

// One program's chat model over a fake socket and recording controls.
struct FakeEnd {
    explicit FakeEnd(bool host, const ChatSettings& settings = {})
        : side(host ? std::unique_ptr<ChatSide>(new HostSide) : std::make_unique<CallerSide>()),
          form(socket, controls, *side, settings) {}

    std::unique_ptr<ChatSide> side;
    FakeSocket socket;
    RecordingControls controls;
    frmClient form;
};

} // namespace parlo::test
