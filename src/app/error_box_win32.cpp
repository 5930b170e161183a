// The error box on Windows: a modal message box with no owner window, the
// stop icon and a single OK button; returns once the user dismissed it.
#include <windows.h>

#include "texture/error_box.h"

void PlatformErrorBox(const std::string& caption, const std::string& message) {
  MessageBoxA(nullptr, message.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}
