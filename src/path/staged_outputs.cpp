#include "path/staged_outputs.h"

#include <algorithm>

#include "path/file_system.h"
#include "path/staging_name.h"

namespace {

// Tries at further names when one is taken: by the leftover of a dead
// process whose id this one has been given again, which no run removes
// while this one runs.
constexpr unsigned kAttempts = 16;

}  // namespace

CStagedOutputs::~CStagedOutputs() {
  for (const CEntry& entry : m_entries)
    if (entry.staged && !entry.renamed) RemoveRegularFile(entry.file);
}

bool CStagedOutputs::Add(const std::string& target, std::string& file) {
  const auto known = std::find_if(m_entries.begin(), m_entries.end(),
                                  [&](const CEntry& entry) { return entry.target == target; });
  if (known != m_entries.end()) {
    file = known->file;
    return true;
  }
  if (!IsReplaceable(target)) {
    m_entries.push_back({target, target});
    file = target;
    return true;
  }
  const PathStyle style = HostPathStyle();
  RemoveLeftovers(std::string(StagingDirectory(target, style)));
  if (!m_block) m_block.emplace();
  const uint64_t self = CurrentProcessId();
  for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string name = StagingName(target, self, attempt, style);
    bool taken = false;
    if (CreateNewFile(name, taken)) {
      m_entries.push_back({target, name, true});
      file = name;
      return true;
    }
    if (!taken) return false;
  }
  return false;
}

bool CStagedOutputs::IsInterrupted() const { return m_block && m_block->IsPending(); }

bool CStagedOutputs::Commit(std::string& failed) {
  failed.clear();
  if (IsInterrupted()) return false;
  for (CEntry& entry : m_entries) {
    if (!entry.staged || entry.renamed) continue;
    if (!MoveFileOnto(entry.file, entry.target)) {
      failed = entry.target;
      return false;
    }
    entry.renamed = true;
  }
  return true;
}

void CStagedOutputs::Withdraw() {
  for (const CEntry& entry : m_entries)
    if (entry.renamed) RemoveRegularFile(entry.target);
}

void CStagedOutputs::RemoveLeftovers(const std::string& directory) {
  if (std::find(m_swept.begin(), m_swept.end(), directory) != m_swept.end()) return;
  m_swept.push_back(directory);
  // This process's own files may belong to a run of it going on.
  const uint64_t self = CurrentProcessId();
  VisitDirectory(directory, [&](const std::string& name) {
    uint64_t writer = 0;
    if (!ReadStagingName(name, writer) || writer == self || IsProcessRunning(writer)) return;
    RemoveRegularFile(directory + name);
  });
}
