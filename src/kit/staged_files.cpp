#include "kit/staged_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <utility>

#include "kit/diagnostics.h"
#include "path/file_system.h"
#include "path/path_utils.h"

namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A new file beside `target` that no other job can be writing: ".NAME.", a
// random number, ".tmp". Opened exclusively ("x"), so a name taken is tried
// again.
std::unique_ptr<std::FILE, FileCloser> CreateTemporary(const fs::path& target, fs::path& name) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 16; ++attempt) {
    name = target.parent_path() / ("." + target.filename().string() + "." +
                                   std::to_string(random() % 1000000000) + ".tmp");
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.string().c_str(), "wbx"));
    if (file) return file;
    if (errno != EEXIST) break;
  }
  return nullptr;
}

}  // namespace

CStagedFiles::CStagedFiles(std::vector<std::string> inputs) : m_inputs(std::move(inputs)) {}

CStagedFiles::~CStagedFiles() {
  std::error_code error;
  for (const CStaged& staged : m_staged) fs::remove(staged.temporary, error);
}

bool CStagedFiles::Plan(const std::vector<std::string>& targets) {
  for (const std::string& target : targets) {
    for (const std::string& input : m_inputs) {
      if (NamesSameFile(target, input))
        return ReportKitError(target, "is also an input of this job: refused, nothing written");
    }
    for (const std::string& other : m_targets) {
      if (NamesSameFile(target, other))
        return ReportKitError(target, "would be written twice by this job: refused");
    }
    m_targets.push_back(target);
  }
  return true;
}

bool CStagedFiles::Stage(const std::string& target, std::string_view bytes) {
  return Stage(target, std::span<const std::string_view>(&bytes, 1));
}

bool CStagedFiles::Stage(const std::string& target, std::span<const std::string_view> parts) {
  return StageWritten(target,
                      [parts](const Writer& write) { return std::ranges::all_of(parts, write); });
}

bool CStagedFiles::StageWritten(const std::string& target,
                                const std::function<bool(const Writer&)>& produce) {
  const fs::path path(ToNativePath(target));
  fs::path temporary;
  std::unique_ptr<std::FILE, FileCloser> file = CreateTemporary(path, temporary);
  if (!file) return ReportKitError(target, "cannot be written in its directory");
  m_staged.push_back({target, temporary.string()});
  bool written = true;
  const bool produced = produce([&](std::string_view bytes) {
    written = written && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return written;
  });
  // Closing hands the last buffered bytes to the system; that can fail too.
  if (!written || std::fclose(file.release()) != 0)
    return ReportKitError(target, "could not be written completely (is the disk full?)");
  return produced;
}

bool CStagedFiles::Commit() {
  for (CStaged& staged : m_staged) {
    std::error_code error;
    fs::rename(staged.temporary, ToNativePath(staged.target), error);
    if (error) return ReportKitError(staged.target, "cannot be replaced: " + error.message());
    staged.temporary.clear();
  }
  m_staged.clear();
  return true;
}
