#include <windows.h>

#include "app/error_box.h"

void ShowErrorBox(const std::string& caption, const std::string& message) {
  // No owner window: the console has none to lend.
  MessageBoxA(nullptr, message.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}
