#include "ChatProgram.h"
#include "HostSide.h"

int main(int argc, char* argv[]) {
    parlo::HostSide side;
    return parlo::runChatProgram(argc, argv, side);
}
