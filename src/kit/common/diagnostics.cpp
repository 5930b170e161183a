#include "kit/common/diagnostics.h"

#include <iostream>

#include "kit/common/progress.h"

namespace {

void Report(std::string_view level, std::string_view file, std::string_view what) {
  // On a terminal a progress line may stand there: the message takes its place.
  if (IsErrorStreamTerminal()) std::cerr << "\r\x1b[K";
  std::cerr << "flipdeck-kit: " << level << ": " << file << ": " << what << "\n";
  std::cerr.flush();
}

}  // namespace

bool ReportKitError(std::string_view file, std::string_view what) {
  Report("error", file, what);
  return false;
}

void ReportKitWarning(std::string_view file, std::string_view what) {
  Report("warning", file, what);
}

std::string HexByte(uint8_t byte) {
  static constexpr std::string_view kDigits = "0123456789abcdef";
  return {kDigits[byte >> 4], kDigits[byte & 15]};
}

std::string ColourName(Rgba8 colour) {
  return "#" + HexByte(colour.r) + HexByte(colour.g) + HexByte(colour.b) + HexByte(colour.a);
}

std::string PixelName(uint32_t x, uint32_t y) {
  return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

void ReportLoaderError(const std::string& caption, const std::string& message) {
  std::cerr << caption << " " << message;
  std::cerr.flush();
}

bool CKitReporter::Error(std::string_view file, std::string_view what) const {
  if (!m_sink) return ReportKitError(file, what);
  m_sink("error", file, what);
  return false;
}

void CKitReporter::Warning(std::string_view file, std::string_view what) const {
  if (!m_sink) return ReportKitWarning(file, what);
  m_sink("warning", file, what);
}

LoadReporter CKitReporter::Loader(std::string shown) const {
  if (!m_sink) return ReportLoaderError;
  return [sink = m_sink, shown = std::move(shown)](const std::string&, const std::string& message) {
    std::string_view what = message;
    if (what.starts_with('[') && what.find("] ") != std::string_view::npos)
      what.remove_prefix(what.find("] ") + 2);
    while (!what.empty() && (what.back() == '\n' || what.back() == '.')) what.remove_suffix(1);
    sink("error", shown, what);
  };
}
