// CProgress: "import 12/64 walk1.png" on standard error while a long job
// runs, when standard error is a terminal: someone is watching. Redirected
// to a file or a pipe, it writes nothing, so logs hold only the messages.
#pragma once

#include <cstddef>
#include <string>

class CProgress {
 public:
  /// A job of `total` steps called `task`.
  CProgress(std::string task, size_t total);
  /// Clears the progress line, so that what follows starts on a clean one.
  ~CProgress();
  CProgress(const CProgress&) = delete;
  CProgress& operator=(const CProgress&) = delete;

  /// Shows that the next step, on `item`, begins.
  void Step(const std::string& item);

 private:
  std::string m_strTask;
  size_t m_total;
  size_t m_done = 0;
  bool m_bShown;
};

/// Whether standard error goes to a terminal (terminal_posix.cpp,
/// terminal_win32.cpp).
bool IsErrorStreamTerminal();
