#include "support/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>

#include "support/test_platform.h"

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  // A random part keeps test programs running side by side apart; the
  // serial keeps one program's directories apart.
  static std::atomic<unsigned> serial{0};
  std::random_device rd;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() /
                         ("flipdeck-test-" + std::to_string(rd()) + "-" + std::to_string(serial++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      m_path = fs::canonical(candidate);
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(m_path, ec);
}

std::string TempDir::Path(const std::string& name) const {
  return (m_path / fs::path(name).make_preferred()).string();
}

std::string TempDir::Write(const std::string& name, std::string_view bytes) const {
  fs::path target = m_path / name;
  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return target.string();
}

std::string TempDir::Read(const std::string& name) const { return ReadFileBytes(Path(name)); }

bool TempDir::Exists(const std::string& name) const {
  std::error_code ec;
  return fs::exists(m_path / name, ec);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TestFile(const std::string& path) {
  return ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/tests/" + path);
}

std::string WalkExample(const std::string& name) {
  return ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/examples/walk/" + name);
}

void WriteWalkExample(const std::filesystem::path& dir, const std::vector<std::string>& names) {
  std::filesystem::create_directories(dir);
  for (const std::string& name : names)
    std::ofstream(dir / name, std::ios::binary) << WalkExample(name);
}

OutputCapture::OutputCapture(std::ostream& stream)
    : m_stream(stream), m_saved(stream.rdbuf(m_buffer.rdbuf())) {}

OutputCapture::~OutputCapture() { m_stream.rdbuf(m_saved); }

ScopedWorkingDir::ScopedWorkingDir(const fs::path& dir) : m_saved(fs::current_path()) {
  fs::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
  std::error_code ec;
  fs::current_path(m_saved, ec);
}

namespace {

ProcessResult RunBuilt(const std::string& program, const std::vector<std::string>& args,
                       const std::string& workDir, const std::string& stdoutPath) {
  TempDir scratch;
  const std::string outPath = stdoutPath.empty() ? scratch.Path("stdout") : stdoutPath;
  const std::string errPath = scratch.Path("stderr");
  std::string shown;
  ProcessResult result;
  result.exitStatus = RunProgram(program, args, workDir, outPath, errPath, shown);
  if (stdoutPath.empty()) result.out = ReadFileBytes(outPath);
  result.err = ReadFileBytes(errPath) + shown;
  return result;
}

}  // namespace

ProcessResult RunFlipdeck(const std::vector<std::string>& args, const std::string& workDir,
                          const std::string& stdoutPath) {
  return RunBuilt(FLIPDECK_BINARY, args, workDir, stdoutPath);
}

bool HaveFlipdeckKit() { return !std::string(FLIPDECK_KIT_BINARY).empty(); }

ProcessResult RunFlipdeckKit(const std::vector<std::string>& args, const std::string& workDir) {
  if (!HaveFlipdeckKit()) return {-1, "", "(this build has no flipdeck-kit)"};
  return RunBuilt(FLIPDECK_KIT_BINARY, args, workDir, "");
}

std::string WithDir(std::string text, const std::string& dir) {
  const std::string marker = "@DIR@";
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
    text.replace(at, marker.size(), dir);
    at += dir.size();
    if (at < text.size() && text[at] == '/') text[at] = kSeparator;
  }
  return text;
}

std::string AsWritten(std::string_view text) {
  std::string written;
  for (const char c : text) c == '\n' ? written.append(kLineEnd) : written.append(1, c);
  return written;
}

std::string Unescape(std::string text) {
  for (size_t at = text.find("\\x{"); at != std::string::npos; at = text.find("\\x{", at + 1))
    text.replace(at, 6, 1, static_cast<char>(std::stoi(text.substr(at + 3, 2), nullptr, 16)));
  return text;
}

std::string FromHex(std::string digits) {
  std::erase_if(digits, [](char c) { return c == ' ' || c == '\t'; });
  std::string bytes;
  for (size_t at = 0; at + 1 < digits.size(); at += 2)
    bytes.push_back(static_cast<char>(std::stoi(digits.substr(at, 2), nullptr, 16)));
  return bytes;
}

std::vector<TableRow> ReadTable(const std::string& path) {
  std::vector<TableRow> rows;
  std::istringstream lines(TestFile(path));
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const size_t arrow = line.find(" =>");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) continue;
    const size_t expected = std::min(line.size(), arrow + 4);
    rows.push_back({Unescape(line.substr(0, arrow)), Unescape(line.substr(expected)),
                    path + ":" + std::to_string(number)});
  }
  return rows;
}

std::string Banner() {
  return " \nQuillmark Flipdeck version0.91A\nCopyright (C) 2026 the flipdeck developers\n";
}

void FailOnLoadError(const std::string& caption, const std::string& message) {
  ADD_FAILURE() << caption << " " << message;
}

}  // namespace testing_support
