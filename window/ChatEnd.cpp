#include "ChatEnd.h"

#include "ProgramStarter.h"
#include "RegistryReader.h"

namespace parlo {

ChatEnd::ChatEnd(const ChatSide& side, const ChatSettings& settings)
    : launcher(systemRegistryReader(), systemProgramStarter()),
      window(side, socket, settings, launcher) {}

} // namespace parlo
