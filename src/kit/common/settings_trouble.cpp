#include "kit/common/settings_trouble.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "path/file_system.h"
#include "settings/key_value_file.h"

std::string SettingsFileTrouble(const std::string& path) {
  namespace fs = std::filesystem;
  const FileStatus status = GetFileStatus(path);
  if (!status.exists) return "does not exist";
  if (status.isDirectory) return "is a directory, not a settings file";
  if (!std::ifstream(ToNativePath(path), std::ios::binary)) return "cannot be opened for reading";
  const std::string limit =
      std::to_string(CKeyValueFile::kMaxFileSize >> 20) + " MiB flipdeck reads of a settings file";
  std::error_code error;
  const fs::path native(ToNativePath(path));
  if (!fs::is_regular_file(native, error)) return "does not end within the " + limit;
  const uintmax_t size = fs::file_size(native, error);
  if (!error && size > CKeyValueFile::kMaxFileSize)
    return "holds " + std::to_string(size) + " bytes, more than the " + limit;
  return "cannot be read";
}
