// flipdeck-kit: PNG pictures to TMF images and TLF palettes and back, new
// projects, and the other companions of flipdeck.
#include "kit/commands/kit.h"

int main(int argc, char** argv) { return RunKit(argc, argv); }
