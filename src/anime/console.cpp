#include "anime/console.h"

#include <array>
#include <charconv>
#include <iostream>

std::ostream& Console() { return std::cout; }

std::string ConsoleInteger(int32_t value) {
  std::array<char, 8> digits{};
  char* end =
      std::to_chars(digits.data(), digits.data() + digits.size(), static_cast<uint32_t>(value), 16)
          .ptr;
  return std::string(digits.data(), end);
}

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
