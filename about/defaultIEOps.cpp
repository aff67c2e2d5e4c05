#include "ProgramStarter.h"
#include "RegistryReader.h"
#include "modIEOps.h"

modIEOps& defaultIEOps() {
    static modIEOps launcher(systemRegistryReader(), systemProgramStarter());
    return launcher;
}
