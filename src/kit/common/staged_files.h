// CStagedFiles: the files one job writes. Every target is checked before
// anything is written; each file is written to a temporary file beside its
// target as the job goes, and all of them are renamed over their targets
// only when the whole job has succeeded (the rule flipdeck's outputs follow
// too, path/staged_outputs.h). A job that fails, or is interrupted, leaves
// no partial file and no changed file; a job killed outright leaves its
// temporary files to the next job writing beside them.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kit/common/diagnostics.h"
#include "path/staged_outputs.h"

class CStagedFiles {
 public:
  /// `inputs`: the files the job reads, which no target may name;
  /// `reporter`: where its messages go.
  explicit CStagedFiles(std::vector<std::string> inputs, CKitReporter reporter = CKitReporter());

  /// Makes the folder `folder` and those above it that are missing, so that
  /// targets can be staged there; the folders made are removed again when
  /// the job fails (an interrupt, which ends the process once the temporary
  /// files are gone, may leave them, empty). False after the message when
  /// one cannot be made.
  bool MakeFolders(const std::string& folder);

  /// Takes `targets` in, refusing, before anything is written, one that
  /// names an input of the job or another target (also through another
  /// spelling or a link). False after the message.
  bool Plan(const std::vector<std::string>& targets);

  /// Writes `bytes`, the whole content of the planned `target`, into a new
  /// temporary file in the target's directory. False after the message
  /// (the directory cannot be written, the disk is full), or silently when
  /// an interrupt waits for the job to end.
  bool Stage(const std::string& target, std::string_view bytes);
  /// The same for content given in `parts`, written one after the other:
  /// a large file need not be put together in memory first.
  bool Stage(const std::string& target, std::span<const std::string_view> parts);

  /// Where StageWritten's producer hands its bytes; false once a write failed.
  using Writer = std::function<bool(std::string_view bytes)>;
  /// The same for content that `produce` makes piece by piece and hands to
  /// the writer it is given, so that a file need never be in memory whole.
  /// `produce` returns false when it fails: after its own message, or
  /// without one when the writer refused a piece, which is reported here.
  bool StageWritten(const std::string& target, const std::function<bool(const Writer&)>& produce);

  /// Stages `bytes` for the planned `target` unless the target holds them
  /// already: a file that would not change is not written again, so that
  /// its time stays and nothing made from it is made again. False after the
  /// message, as Stage.
  bool StageChanged(const std::string& target, std::string_view bytes);

  /// Deletes the planned `target` at commit, once every staged file has
  /// its name: a file the job makes no more.
  void RemoveAtCommit(const std::string& target);

  /// The targets staged so far: what Commit writes.
  const std::vector<std::string>& GetStaged() const { return m_staged; }
  /// The targets RemoveAtCommit named: what Commit deletes.
  const std::vector<std::string>& GetRemoved() const { return m_removals; }

  /// Renames every staged file over its target, then deletes the targets
  /// RemoveAtCommit named. False after the message when one cannot be
  /// renamed, or silently when interrupted.
  bool Commit();

 private:
  // The folders MakeFolders made, deepest last; those still empty go when
  // the job has not committed.
  class CMadeFolders {
   public:
    CMadeFolders() = default;
    ~CMadeFolders();
    CMadeFolders(const CMadeFolders&) = delete;
    CMadeFolders& operator=(const CMadeFolders&) = delete;
    std::vector<std::string> made;
    bool kept = false;
  };

  std::vector<std::string> m_inputs;
  const CKitReporter m_reporter;
  std::vector<std::string> m_targets;
  std::vector<std::string> m_staged;
  std::vector<std::string> m_removals;
  // Before m_outputs: members go in reverse order, and a folder can go only
  // once the temporary files in it have.
  CMadeFolders m_folders;
  CStagedOutputs m_outputs;
};
