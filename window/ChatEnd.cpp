#include "ChatEnd.h"

#include "ChatSide.h"
#include "ProductName.h"
#include "ProgramStarter.h"
#include "RegistryReader.h"

namespace parlo {

ChatEnd::ChatEnd(ChatSide& side, const ChatSettings& settings)
    : launcher(systemRegistryReader(), systemProgramStarter()),
      notifications(desktopNotifications(kProductName, side.traits().programName)),
      window(side, socket, settings, launcher, *notifications) {}

} // namespace parlo
