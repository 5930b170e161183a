// CChangeLoop: waits for the files an animation is made of to change, as
// the system tells it (libuv's file events: inotify on Linux, FSEvents and
// kqueue on macOS, ReadDirectoryChangesW on Windows), never by polling.
//
// It watches the directories that hold the files, so that every way an
// editor saves is seen: writing in place, writing a temporary file and
// renaming it over the old one, deleting and creating. Events come in
// bursts (one save makes several, an editor may save several files); a
// burst ends when `quiet` passes without another, and only then is each
// watched file compared with how it was when last taken (its identity,
// size and times): a burst that changed none, such as the job's own writes
// taken again with Restamp, sets off nothing.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CChangeLoop {
 public:
  explicit CChangeLoop(std::chrono::milliseconds quiet);
  /// Closes every watch and the loop.
  ~CChangeLoop();
  CChangeLoop(const CChangeLoop&) = delete;
  CChangeLoop& operator=(const CChangeLoop&) = delete;

  /// Watches `files` (full paths) from now on instead of those before. A
  /// file new to the set is taken as it is now; one missing is watched for
  /// its appearance, as long as its directory exists.
  void Watch(const std::vector<std::string>& files);
  /// Takes `files` as they are now: changes the job made itself.
  void Restamp(const std::vector<std::string>& files);

  /// Called after a burst with the watched files it changed.
  using Changed = std::function<void(const std::vector<std::string>& files)>;
  /// Runs until Stop or an interrupt (SIGINT, SIGTERM, SIGHUP) that came
  /// since the loop was made: the loop takes those as the end of the job,
  /// and the process does not die of them.
  void Run(const Changed& changed);
  /// Ends Run, from any thread; before Run, Run ends at once.
  void Stop();

  /// Starts `command` (the program, then its arguments) on its own, its
  /// standard streams on the null device, and does not wait for it: the
  /// desktop's browser. False with the reason in `message` when it cannot
  /// be started.
  bool Launch(const std::vector<std::string>& command, std::string& message);

 private:
  struct CImpl;
  std::unique_ptr<CImpl> m_impl;
};
