#include "kit/pictures/sheet_animations.h"

#include <algorithm>
#include <map>

#include "kit/pictures/new_names.h"

namespace {

// The longest file name the usual file systems take, in bytes.
constexpr size_t kMaxFileName = 255;

bool IsPlainCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '_' || c == '+' || c == '-';
}

std::string TagText(const CSheetTag& tag) { return tag.label + " \"" + tag.name + "\""; }

}  // namespace

uint64_t TagPassLength(const CSheetTag& tag) {
  const uint64_t span = uint64_t{tag.to} - tag.from + 1;
  const bool pingPong =
      tag.direction == TagDirection::kPingPong || tag.direction == TagDirection::kPingPongReverse;
  return pingPong && span > 1 ? 2 * span - 2 : span;
}

uint64_t TagPlayCount(const CSheetTag& tag) {
  return TagPassLength(tag) * std::max<uint64_t>(tag.repeat, 1);
}

std::vector<uint32_t> TagPlays(const CSheetTag& tag) {
  std::vector<uint32_t> pass;
  const bool backwards =
      tag.direction == TagDirection::kReverse || tag.direction == TagDirection::kPingPongReverse;
  // The way out from one end to the other...
  for (uint64_t step = 0; step <= uint64_t{tag.to} - tag.from; ++step)
    pass.push_back(static_cast<uint32_t>(backwards ? tag.to - step : tag.from + step));
  // ...and for a ping-pong the way back, without either end.
  const bool pingPong =
      tag.direction == TagDirection::kPingPong || tag.direction == TagDirection::kPingPongReverse;
  if (pingPong && pass.size() > 2) {
    const std::vector<uint32_t> back(pass.rbegin() + 1, pass.rend() - 1);
    pass.insert(pass.end(), back.begin(), back.end());
  }
  std::vector<uint32_t> plays;
  plays.reserve(TagPlayCount(tag));
  for (uint32_t time = 0; time < std::max<uint32_t>(tag.repeat, 1); ++time)
    plays.insert(plays.end(), pass.begin(), pass.end());
  return plays;
}

std::vector<CSheetAnimation> SheetAnimations(const CSheetDescription& sheet) {
  std::vector<CSheetAnimation> animations(1);
  for (uint32_t frame = 0; frame < sheet.frames.size(); ++frame)
    animations.front().plays.push_back(frame);
  for (const CSheetTag& tag : sheet.tags) animations.push_back({&tag, TagPlays(tag)});
  return animations;
}

std::string TagFileName(const std::string& projectName, const std::string& tagName) {
  std::string name = projectName + "-";
  for (const char c : tagName) {
    // A UTF-8 character's continuation bytes add nothing: one '_' a character.
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
    name += IsPlainCharacter(c) ? c : '_';
  }
  return name + ".taf";
}

bool TagFileNames(const CSheetDescription& sheet, const std::string& projectName,
                  std::vector<std::string>& names, CSheetFailure& failure) {
  names.clear();
  std::map<std::string, size_t> taken;  // folded name -> its tag
  for (const CSheetTag& tag : sheet.tags) {
    const std::string name = TagFileName(projectName, tag.name);
    failure.file = sheet.source;
    if (name.size() > kMaxFileName) {
      failure.what = TagText(tag) + " makes a file name of " + std::to_string(name.size()) +
                     " bytes, more than the " + std::to_string(kMaxFileName) + " file systems take";
      return false;
    }
    const auto [at, added] = taken.emplace(FoldCase(name), names.size());
    if (!added) {
      const std::string& other = names[at->second];
      failure.what = TagText(sheet.tags[at->second]) + " and " + TagText(tag) +
                     (other == name ? " both make " + name
                                    : " make " + other + " and " + name +
                                          ", one file where names ignore case (Windows, macOS)");
      return false;
    }
    names.push_back(name);
  }
  return true;
}
