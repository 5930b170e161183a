// The scratch directory, the quiet console and the input splitting that the
// fuzz entry functions share.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <vector>

#include "fuzz_entries.h"

namespace fuzz_support {

std::string_view AsText(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  return {reinterpret_cast<const char*>(data), size};
}

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  for (;;) {
    const size_t at = text.find(separator);
    if (at == std::string_view::npos) break;
    pieces.emplace_back(text.substr(0, at));
    text.remove_prefix(at + separator.size());
  }
  pieces.emplace_back(text);
  return pieces;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
  std::abort();
}

ScratchDir::ScratchDir() {
  namespace fs = std::filesystem;
  std::error_code error;
  m_savedWorkingDir = fs::current_path(error).string();
  // A random name, retried until it is new: fuzzers of several targets may
  // run side by side in one temporary directory.
  static std::mt19937_64 random{std::random_device{}()};
  const fs::path base = fs::temp_directory_path(error);
  for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
    const fs::path candidate = base / ("flipdeck-fuzz-" + std::to_string(random()));
    if (fs::create_directory(candidate, error)) m_path = candidate.string();
  }
  Require(!m_path.empty(), "scratch directory made");
  fs::current_path(m_path, error);
  Require(!error, "scratch directory entered");
}

ScratchDir::~ScratchDir() {
  // Leave first: a directory cannot be removed reliably while it is the
  // working directory, and the next input must start where this one did.
  std::error_code error;
  std::filesystem::current_path(m_savedWorkingDir, error);
  std::filesystem::remove_all(m_path, error);
}

void ScratchDir::Write(const std::string& name, std::string_view bytes) const {
  std::ofstream out(m_path + "/" + name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Require(static_cast<bool>(out), "scratch file written");
}

std::string ScratchDir::Read(const std::string& name) const {
  std::ifstream in(m_path + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ScratchDir::MakeDirectory(const std::string& name) const {
  std::error_code error;
  std::filesystem::create_directories(m_path + "/" + name, error);
  Require(!error, "scratch subdirectory made");
}

QuietConsole::QuietConsole()
    : m_savedBuffer(std::cout.rdbuf(&m_null)),
      m_savedFlags(std::cout.flags()),
      m_savedReporter(SetErrorReporter([](const std::string&, const std::string&) {})) {}

QuietConsole::~QuietConsole() {
  std::cout.rdbuf(m_savedBuffer);
  std::cout.flags(m_savedFlags);
  std::cout.clear();
  SetErrorReporter(std::move(m_savedReporter));
}

}  // namespace fuzz_support
