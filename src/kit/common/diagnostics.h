// How flipdeck-kit speaks: every message of a job on standard error in one
// shape, "flipdeck-kit: error: FILE: what", so terminals, editors and CI
// read them alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "image/colour.h"

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
