#include "kit/common/staged_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "kit/common/diagnostics.h"
#include "path/file_system.h"
#include "path/path_utils.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Whether the regular file `path` holds exactly `bytes`, read a piece at a
// time up to the first that differs: a changed image usually differs in its
// header already, and is not read whole to tell.
bool HoldsBytes(const std::string& path, std::string_view bytes) {
  std::error_code error;
  const fs::path native(ToNativePath(path));
  if (!fs::is_regular_file(native, error) || fs::file_size(native, error) != bytes.size() || error)
    return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(native.string().c_str(), "rb"));
  if (!file) return false;
  std::vector<char> piece(std::min<size_t>(bytes.size(), size_t{1} << 16));
  for (size_t at = 0; at < bytes.size(); at += piece.size()) {
    const size_t size = std::min(piece.size(), bytes.size() - at);
    if (std::fread(piece.data(), 1, size, file.get()) != size ||
        bytes.substr(at, size) != std::string_view(piece.data(), size))
      return false;
  }
  return true;
}

}  // namespace

CStagedFiles::CStagedFiles(std::vector<std::string> inputs, CKitReporter reporter)
    : m_inputs(std::move(inputs)), m_reporter(std::move(reporter)) {}

CStagedFiles::CMadeFolders::~CMadeFolders() {
  if (kept) return;
  for (auto folder = made.rbegin(); folder != made.rend(); ++folder) {
    std::error_code error;  // one that is not empty stays
    fs::remove(*folder, error);
  }
}

bool CStagedFiles::MakeFolders(const std::string& folder) {
  // The missing folders, from the deepest up to the first that exists.
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path at = fs::path(ToNativePath(folder)).lexically_normal();
       !at.empty() && !fs::exists(fs::symlink_status(at, error)); at = at.parent_path()) {
    if (at.has_filename()) missing.push_back(at);
    if (at == at.parent_path()) break;
  }
  for (auto at = missing.rbegin(); at != missing.rend(); ++at) {
    if (!fs::create_directory(*at, error) && error)
      return m_reporter.Error(at->string(), "cannot be made as a folder (" + error.message() + ")");
    m_folders.made.push_back(at->string());
  }
  return true;
}

bool CStagedFiles::Plan(const std::vector<std::string>& targets) {
  // Each name is looked up once: a sheet's project may have a thousand
  // targets, each compared with every other.
  std::vector<CFileName> inputs;
  for (const std::string& input : m_inputs) inputs.emplace_back(input);
  std::vector<CFileName> planned;
  for (const std::string& other : m_targets) planned.emplace_back(other);
  for (const std::string& target : targets) {
    const CFileName name(target);
    for (const CFileName& input : inputs) {
      if (name.IsSameAs(input))
        return m_reporter.Error(target, "is also an input of this job: refused, nothing written");
    }
    for (const CFileName& other : planned) {
      if (name.IsSameAs(other))
        return m_reporter.Error(target, "would be written twice by this job: refused");
    }
    m_targets.push_back(target);
    planned.push_back(name);
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
  // Between files is where an interrupt is looked for: the job then ends
  // and its temporary files go with it.
  if (m_outputs.IsInterrupted()) return false;
  std::string name;
  if (!m_outputs.Add(target, name))
    return m_reporter.Error(target, "cannot be written in its directory");
  // A link, a device or a pipe under the target's name is written through,
  // from its start; a new temporary file is only appended to.
  const char* mode = name == target ? "wb" : "ab";
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(ToNativePath(name).c_str(), mode));
  if (!file) return m_reporter.Error(target, "cannot be opened for writing");
  bool written = true;
  const bool produced = produce([&](std::string_view bytes) {
    written = written && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return written;
  });
  // Closing hands the last buffered bytes to the system; that can fail too.
  if (!written || std::fclose(file.release()) != 0)
    return m_reporter.Error(target, "could not be written completely (is the disk full?)");
  if (produced && std::find(m_staged.begin(), m_staged.end(), target) == m_staged.end())
    m_staged.push_back(target);
  return produced;
}

bool CStagedFiles::StageChanged(const std::string& target, std::string_view bytes) {
  if (HoldsBytes(target, bytes)) return true;
  return Stage(target, bytes);
}

void CStagedFiles::RemoveAtCommit(const std::string& target) { m_removals.push_back(target); }

bool CStagedFiles::Commit() {
  std::string failed;
  const bool committed = m_outputs.Commit(failed);
  // An interrupt renames nothing; a commit that fails half way has put
  // files into the folders already.
  m_folders.kept = committed || !failed.empty();
  if (committed) {
    for (const std::string& target : m_removals) RemoveOutputFile(target);
    return true;
  }
  // An interrupt ends the job with the status of its signal, which says
  // enough.
  if (failed.empty()) return false;
  return m_reporter.Error(failed, "cannot be replaced");
}
