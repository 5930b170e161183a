#include "kit/common/regular_file.h"

#include <filesystem>
#include <system_error>

#include "kit/common/diagnostics.h"
#include "path/file_system.h"

namespace fs = std::filesystem;

namespace {

// "a directory", "a named pipe (FIFO)": what a message calls `type`.
std::string TypeName(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory:
      return "a directory";
    case fs::file_type::fifo:
      return "a named pipe (FIFO)";
    case fs::file_type::character:
      return "a character device";
    case fs::file_type::block:
      return "a block device";
    case fs::file_type::socket:
      return "a socket";
    default:
      return "something other than a regular file";
  }
}

}  // namespace

bool CheckRegularFile(const std::string& path, const std::string& expected,
                      const CKitReporter& reporter) {
  std::error_code error;
  const fs::file_type type = fs::status(ToNativePath(path), error).type();
  if (error || type == fs::file_type::regular || type == fs::file_type::not_found) return true;
  return reporter.Error(path, "is " + TypeName(type) + ", not " + expected);
}
