#include "image/png_support.h"

namespace {

// A separate function, so that no object is alive in OnPngError when it
// jumps.
void KeepMessage(CPngErrors& errors, const char* text) noexcept {
  try {
    errors.message = text;
  } catch (...) {
    errors.message.clear();
  }
}

}  // namespace

void OnPngError(png_structp png, png_const_charp text) {
  KeepMessage(*static_cast<CPngErrors*>(png_get_error_ptr(png)), text);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}
