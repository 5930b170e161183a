// flipdeck: converts a TAF anime description into C source for the previewer.
#include "app/driver.h"

int main(int argc, char** argv) { return RunFlipdeck(argc, argv); }
