#include "anime/console.h"

#include <iostream>

std::ostream& Console() { return std::cout; }

void ConsoleLineEnd() {
  std::cout.put('\n');
  std::cout.flush();
}

bool ReportErrorUnended(std::string_view text) {
  ConsoleLineEnd();
  std::cout << "err : " << text;
  return false;
}

bool ReportError(std::string_view text) {
  ReportErrorUnended(text);
  ConsoleLineEnd();
  return false;
}
