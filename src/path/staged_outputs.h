// CStagedOutputs: the files one run writes. Each is written under a
// temporary name beside its target (staging_name.h) and renamed onto the
// target only when the whole run has succeeded, so that no reader ever
// finds a partial file under a target's name. A run that fails removes its
// temporary files; interrupts wait while they exist, so an interrupted run
// removes them too; a killed run leaves them, and the next run that writes
// into the same directory removes them once their writer no longer runs.
// flipdeck and flipdeck-kit both write their outputs through it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "path/process.h"

class CStagedOutputs {
 public:
  CStagedOutputs() = default;
  /// Removes every temporary file not renamed onto its target, then lets an
  /// interrupt that came meanwhile end the process.
  ~CStagedOutputs();
  CStagedOutputs(const CStagedOutputs&) = delete;
  CStagedOutputs& operator=(const CStagedOutputs&) = delete;

  /// Sets `file` to the file that the content of `target` goes into. The
  /// first time, that is a new empty temporary file beside the target,
  /// created after the leftovers of dead runs in that directory are gone;
  /// later calls give the same file. A target that a rename would not
  /// simply replace (a symbolic link, a device, a FIFO, a directory) is
  /// written in place: `file` is `target`. False when no temporary file can
  /// be made there (a missing or read-only directory). Open a temporary
  /// file for appending: truncating it gains nothing and costs a write-out
  /// at its close on ext4.
  bool Add(const std::string& target, std::string& file);

  /// Whether an interrupt has come while temporary files exist. The run then
  /// stops where it is and fails without a word of its own: the interrupt
  /// ends the process as soon as the temporary files are gone.
  bool IsInterrupted() const;

  /// Renames every temporary file onto its target, in the order added.
  /// False, with `failed` empty and nothing renamed, when interrupted; false
  /// with the target that could not be replaced in `failed` otherwise, the
  /// targets before it renamed already.
  bool Commit(std::string& failed);

  /// Deletes the targets Commit has renamed files onto: for a run that
  /// shows all its outputs or none.
  void Withdraw();

 private:
  struct CEntry {
    std::string target;
    std::string file;  // the temporary file, or the target written in place
    bool staged = false;
    bool renamed = false;
  };
  // Removes, once a run for each directory, the temporary files of
  // processes that no longer run.
  void RemoveLeftovers(const std::string& directory);

  std::vector<CEntry> m_entries;
  std::vector<std::string> m_swept;
  // Taken before the first temporary file is made and given back after the
  // last one is gone: between those, an interrupt must wait its turn.
  std::optional<CInterruptBlock> m_block;
};
