// How flipdeck-kit speaks: every message of a job on standard error in one
// shape, "flipdeck-kit: error: FILE: what", so terminals, editors and CI
// read them alike. A job whose messages are shown elsewhere (sync, run by
// watch for its page) is handed a reporter that takes them instead.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "image/colour.h"
#include "texture/load_report.h"

/// "flipdeck-kit: error: `file`: `what`". Returns false, so that a failing
/// step can return its report.
bool ReportKitError(std::string_view file, std::string_view what);

/// "flipdeck-kit: warning: `file`: `what`".
void ReportKitWarning(std::string_view file, std::string_view what);

/// A colour as messages name it: {255, 128, 0, 255} -> "#ff8000ff".
std::string ColourName(Rgba8 colour);

/// A byte as two lower-case hexadecimal digits: 0x1f -> "1f".
std::string HexByte(uint8_t byte);

/// A pixel as messages name it: (3, 0) -> "pixel (3, 0)".
std::string PixelName(uint32_t x, uint32_t y);

/// The kit's reporter for the TMF and TLF loaders: the caption, a blank and
/// the message on standard error, as the converter shows them on POSIX, on
/// every system (a job may run unattended: a message box would wait for a
/// click).
void ReportLoaderError(const std::string& caption, const std::string& message);

/// Where the messages of a job go: to standard error, as ReportKitError,
/// ReportKitWarning and ReportLoaderError write them, unless the caller
/// hands in a sink of its own, which then takes each message instead. A
/// step passes the reporter it is given on to the steps it calls.
class CKitReporter {
 public:
  /// Takes one message: its level ("error" or "warning"), the file it is
  /// about, as messages name it, and what is wrong.
  using Sink =
      std::function<void(std::string_view level, std::string_view file, std::string_view what)>;

  /// Standard error.
  CKitReporter() = default;
  explicit CKitReporter(Sink sink) : m_sink(std::move(sink)) {}

  /// An error of `file`. Returns false, so that a failing step can return
  /// its report.
  bool Error(std::string_view file, std::string_view what) const;
  void Warning(std::string_view file, std::string_view what) const;
  /// The reporter for a TMF or TLF loader reading the file messages name
  /// `shown`: ReportLoaderError on standard error; to a sink, an error of
  /// `shown` without the name the loader opens with and its line end
  /// (("[TLF]", "[/w/a.tlf] incorrect header size.\n") -> "incorrect header size").
  LoadReporter Loader(std::string shown) const;

 private:
  Sink m_sink;
};
