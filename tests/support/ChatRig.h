#pragma once

#include "CallerSide.h"
#include "FakeSocket.h"
#include "HostSide.h"
#include "RecordingControls.h"
#include "frmClient.h"

#include <memory>

namespace parlo::test {

// One program's chat window model over a fake socket and recording controls.
struct ChatRig {
    explicit ChatRig(bool host);

    std::unique_ptr<ChatSide> side;
    FakeSocket socket;
    RecordingControls controls;
    frmClient form;

    // Types `line` into the input box and presses Enter.
    void type(const QString& line);
    // A caller whose host has confirmed connection `connId`, or a host with a caller.
    void connectAs(qint32 connId, const QString& peerName);
};

} // namespace parlo::test
