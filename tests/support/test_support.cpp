#include "support/test_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<unsigned> serial{0};
  std::random_device rd;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() /
                         ("flipdeck-test-" + std::to_string(::getpid()) + "-" +
                          std::to_string(serial++) + "-" + std::to_string(rd() % 100000));
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

std::string TempDir::Path(const std::string& name) const { return (m_path / name).string(); }

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

CoutCapture::CoutCapture()
    : m_saved(std::cout.rdbuf(m_buffer.rdbuf())), m_savedFlags(std::cout.flags()) {}

CoutCapture::~CoutCapture() {
  std::cout.rdbuf(m_saved);
  std::cout.flags(m_savedFlags);
}

ScopedWorkingDir::ScopedWorkingDir(const fs::path& dir) : m_saved(fs::current_path()) {
  fs::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
  std::error_code ec;
  fs::current_path(m_saved, ec);
}

ProcessResult RunFlipdeck(const std::vector<std::string>& args, const std::string& workDir) {
  TempDir scratch;
  const std::string outPath = scratch.Path("stdout");
  const std::string errPath = scratch.Path("stderr");
  ProcessResult result;

  pid_t pid = ::fork();
  if (pid == 0) {
    int in = ::open("/dev/null", O_RDONLY);
    int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string program = FLIPDECK_BINARY;
    argv.push_back(program.data());
    std::vector<std::string> copies(args);
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.exitStatus = WEXITSTATUS(status);
  result.out = ReadFileBytes(outPath);
  result.err = ReadFileBytes(errPath);
  return result;
}

std::string Banner() {
  return " \nQuillmark Flipdeck version0.91A\nCopyright (C) 2026 the flipdeck developers\n";
}

}  // namespace testing_support
