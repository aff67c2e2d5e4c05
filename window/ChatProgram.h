#pragma once

namespace parlo {

class ChatSide;

// Starts one of the two programs: ends at once, silently, when a copy of the
// same program already runs; otherwise opens the chat window and runs until
// the window closes or File > Exit.
int runChatProgram(int argc, char* argv[], const ChatSide& side);

} // namespace parlo
