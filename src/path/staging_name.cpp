#include "path/staging_name.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::string_view kMark = ".flipdeck-";
constexpr std::string_view kEnd = ".tmp";
// Room for the mark, the id, the try and the end within 255 bytes.
constexpr size_t kMaxKeptName = 128;
// More digits than any process id has would overflow the id.
constexpr size_t kMaxIdDigits = 19;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Takes the leading digits of `text` as a number; false without any, or with
// more than `maxDigits`.
bool TakeNumber(std::string_view& text, size_t maxDigits, uint64_t& number) {
  const auto end = std::find_if_not(text.begin(), text.end(), IsDigit);
  const auto digits = static_cast<size_t>(end - text.begin());
  if (digits == 0 || digits > maxDigits) return false;
  number = 0;
  for (char c : text.substr(0, digits)) number = number * 10 + static_cast<uint64_t>(c - '0');
  text.remove_prefix(digits);
  return true;
}

}  // namespace

std::string_view StagingDirectory(std::string_view target, PathStyle style) {
  const size_t separator = target.find_last_of("\\/");
  if (separator != std::string_view::npos) return target.substr(0, separator + 1);
  const bool drive = style == PathStyle::Windows && target.size() >= 2 &&
                     std::isalpha(static_cast<unsigned char>(target[0])) != 0 && target[1] == ':';
  return drive ? target.substr(0, 2) : std::string_view();
}

std::string StagingName(std::string_view target, uint64_t processId, unsigned attempt,
                        PathStyle style) {
  const std::string_view directory = StagingDirectory(target, style);
  const std::string_view name = target.substr(directory.size());
  if (name.empty()) return "";
  std::string staged(directory);
  staged += '.';
  staged += name.substr(0, kMaxKeptName);
  staged += kMark;
  staged += std::to_string(processId);
  staged += '-';
  staged += std::to_string(attempt);
  staged += kEnd;
  return staged;
}

bool ReadStagingName(std::string_view fileName, uint64_t& processId) {
  if (!fileName.starts_with('.') || !fileName.ends_with(kEnd)) return false;
  fileName.remove_suffix(kEnd.size());
  // The target's name may hold the mark too: the last one is ours.
  const size_t mark = fileName.rfind(kMark);
  if (mark == std::string_view::npos || mark < 2) return false;
  std::string_view rest = fileName.substr(mark + kMark.size());
  uint64_t id = 0;
  uint64_t attempt = 0;
  if (!TakeNumber(rest, kMaxIdDigits, id) || !rest.starts_with('-')) return false;
  rest.remove_prefix(1);
  if (!TakeNumber(rest, kMaxIdDigits, attempt) || !rest.empty()) return false;
  processId = id;
  return true;
}
