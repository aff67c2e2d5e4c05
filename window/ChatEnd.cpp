#include "ChatEnd.h"

#include "ChatSide.h"
#include "Product.h"
#include "ProgramStarter.h"
#include "RegistryReader.h"

namespace parlo {

ChatEnd::ChatEnd(const ChatSide& side, const ChatSettings& settings)
    : launcher(systemRegistryReader(), systemProgramStarter()),
      notifications(desktopNotifications(product::kName, side.traits().programName)),
      window(side, socket, settings, launcher, *notifications) {}

} // namespace parlo
