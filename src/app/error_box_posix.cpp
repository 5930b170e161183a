#include <iostream>

#include "app/error_box.h"

void ShowErrorBox(const std::string& caption, const std::string& message) {
  std::cerr << caption << ' ' << message << std::flush;
}
