#include "texture/load_report.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

bool ReportLoadError(const LoadReporter& report, const std::string& caption, const char* format,
                     ...) {
  va_list args;
  va_start(args, format);
  // The first pass only measures; the second writes into a buffer of the
  // measured size, so no message is ever cut short.
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  std::string message;
  if (length > 0) {
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    message.assign(buffer.data(), static_cast<size_t>(length));
  }
  va_end(args);
  report(caption, message);
  return false;
}
