// CLiveState: what watch serves, shared between the loop that reads the
// animation again after each save and the server's threads: the model of
// the last animation that converted, the problems of the last read, and
// the count of reads that tells a page whether it is behind. It is the one
// object the threads share; everything in it is behind its mutex, and what
// it hands out is immutable text that a reader keeps alive while it sends.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CLiveState {
 public:
  /// `run` tells this run of watch from another, so that a page left open
  /// across a restart takes the new run's state whole; `emptyModel` is the
  /// model a page shows before any animation has converted.
  CLiveState(std::string run, std::string emptyModel);

  /// One read of the animation: `model` (the page's model as JSON, its
  /// pictures inside) when it converts, which replaces the last one, or
  /// null when it does not, which keeps it; `problems`, check's lines, for
  /// the panel over the player (none when it converts).
  void Publish(std::shared_ptr<const std::string> model, const std::vector<std::string>& problems);

  /// The state at one moment.
  struct CSnapshot {
    uint64_t read = 0;   // reads published so far
    uint64_t model = 0;  // the read that brought the model; 0 for the empty one
    std::shared_ptr<const std::string> modelJson;
    std::shared_ptr<const std::string> problemsJson;  // `["walk.taf:3: error: ..."]`
  };
  CSnapshot Current() const;

  /// What a page has seen: the reads and the model of its last event.
  struct CSeen {
    uint64_t read = 0;
    uint64_t model = 0;
  };
  /// The event id of `snapshot`, which a page hands back when it connects
  /// again: "<run>.<read>.<model>".
  std::string EventId(const CSnapshot& snapshot) const;
  /// What the page that last saw `eventId` has seen; nothing for an id of
  /// another run or none.
  CSeen Seen(const std::string& eventId) const;

  enum class Wait { kNewer, kQuiet, kClosed };
  /// Waits at most `timeout` for a read other than `seen`: kNewer with
  /// `now` set (at once when one is there already), kQuiet when none came,
  /// kClosed once Close was called.
  Wait WaitForNewer(const CSeen& seen, std::chrono::milliseconds timeout, CSnapshot& now) const;

  /// Ends every wait, now and later: the server is stopping.
  void Close();

 private:
  const std::string m_strRun;
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  CSnapshot m_current;
  bool m_bClosed = false;
};
