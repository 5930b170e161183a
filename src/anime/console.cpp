#include "anime/console.h"

#include <iostream>

std::ostream& Console() { return std::cout; }

void ConsoleLineEnd() {
  std::cout.put('\n');
  std::cout.flush();
}
