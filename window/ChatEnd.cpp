#include "ChatEnd.h"

#include "ProgramStarter.h"
#include "RegistryReader.h"

namespace parlo {

ChatEnd::ChatEnd(ChatSide& side, quint16 port)
    : launcher(systemRegistryReader(), systemProgramStarter()),
      window(side, socket, port, launcher) {}

} // namespace parlo
