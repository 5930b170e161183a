// The entry functions of flipdeck's fuzz targets. Each takes one fuzzed
// input, drives a subsystem with it and returns 0; an input that breaks a
// promise of the subsystem aborts the process. The libFuzzer targets and the
// regression test call the same functions, so an input saved from a crash
// replays exactly in every ordinary build.
#pragma once

#include "support/test_support.h"

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "texture/load_report.h"

/// Settings text: load, enumerate, look up and expand every key, then edit.
int FuzzSettings(const uint8_t* data, size_t size);
/// A TMF file of these bytes: load it and write its C struct.
int FuzzTmf(const uint8_t* data, size_t size);
/// A TLF file of these bytes: load it and write its C array.
int FuzzTlf(const uint8_t* data, size_t size);
/// A PNG file: read it, and write what it holds as an indexed PNG again.
int FuzzPng(const uint8_t* data, size_t size);
/// Sprite-sheet JSON: read it, lay it over pixels made of the same bytes,
/// find its pictures and time its animations.
int FuzzSheet(const uint8_t* data, size_t size);
/// A TAF, TPF, TMF and TLF file separated by kConversionSeparator,
/// converted as a whole project. A camera grid of more than
/// kMaxFuzzCameraCells positions is passed over: its cost is the size of
/// the text it asks for, not a question of robustness.
int FuzzConversion(const uint8_t* data, size_t size);

/// Separates the four files of a conversion input. It is four bytes no
/// TMF or TLF header field of the seeds holds, and readable in TAF text.
inline constexpr std::string_view kConversionSeparator = "~~~~";
inline constexpr int64_t kMaxFuzzCameraCells = 65536;

/// The loaders' reporter of a fuzz run: a load may fail, its words do not matter.
inline const LoadReporter kIgnoreLoadErrors = [](const std::string&, const std::string&) {};

namespace fuzz_support {

/// `data` as text, byte for byte.
std::string_view AsText(const uint8_t* data, size_t size);

/// `text` cut at every `separator`: "a\0b" at "\0" -> "a", "b"; "" -> "".
std::vector<std::string> SplitAt(std::string_view text, std::string_view separator);

/// Aborts the process when `condition` is false: a broken promise must stop
/// the fuzzer and fail the regression test just like a crash.
void Require(bool condition, const char* what);

/// A fresh temporary directory that is also the working directory while it
/// lives, so that paths the inputs name resolve inside it; removed with its
/// content afterwards.
class ScratchDir : public testing_support::TempDir {
 public:
  ScratchDir() : m_workingDir(path()) {}

 private:
  testing_support::ScopedWorkingDir m_workingDir;
};

/// While alive: std::cout and std::cerr (where the error box of a POSIX
/// build writes) keep what they are given off the console.
struct QuietConsole {
  testing_support::OutputCapture out{std::cout};
  testing_support::OutputCapture err{std::cerr};
};

}  // namespace fuzz_support
