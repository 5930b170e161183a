// What a job reads must be a regular file: opening a FIFO waits for a
// writer that may never come, and a directory or a device holds no picture
// or palette. Each input is looked at before it is opened.
#pragma once

#include <string>

#include "kit/common/diagnostics.h"

/// True when `path` names a regular file (links followed), or names nothing
/// or nothing that can be examined: opening it then fails and says so.
/// Otherwise false after a message saying what it is and what was wanted
/// (`expected`): "is a directory, not a PNG file", "is a named pipe (FIFO),
/// not a PNG file", "is a character device, not a PNG file".
bool CheckRegularFile(const std::string& path, const std::string& expected,
                      const CKitReporter& reporter = CKitReporter());
