#include "texture/error_box.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {

// The reporter a test installed; empty while the platform's box is in use.
ErrorReporter& InstalledReporter() {
  static ErrorReporter reporter;
  return reporter;
}

}  // namespace

void ShowErrorBox(const std::string& caption, const std::string& message) {
  const ErrorReporter& reporter = InstalledReporter();
  if (reporter) {
    reporter(caption, message);
    return;
  }
  PlatformErrorBox(caption, message);
}

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
  return std::exchange(InstalledReporter(), std::move(reporter));
}

std::string FormatMessageV(const char* format, va_list args) {
  // The first pass only measures; the second writes into a buffer of the
  // measured size, so no message is ever cut short.
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  va_list write;
  va_copy(write, args);
  std::vsnprintf(buffer.data(), buffer.size(), format, write);
  va_end(write);
  return std::string(buffer.data(), static_cast<size_t>(length));
}
