#include "CallerSide.h"
#include "ChatProgram.h"

int main(int argc, char* argv[]) {
    parlo::CallerSide side;
    return parlo::runChatProgram(argc, argv, side);
}
