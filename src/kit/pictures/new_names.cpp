#include "kit/pictures/new_names.h"

#include <filesystem>
#include <set>

#include "path/file_system.h"

namespace fs = std::filesystem;

std::string FoldCase(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

std::vector<std::string> PictureNames(const std::vector<std::string>& pictures) {
  std::vector<std::string> names;
  std::set<std::string> taken;
  for (const std::string& picture : pictures) {
    std::string name = fs::path(ToNativePath(picture)).stem().string();
    for (char& c : name) {
      const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      if (!letter && !(c >= '0' && c <= '9')) c = '_';
    }
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) name.insert(0, "_");
    std::string unique = name;
    for (int n = 2; taken.count(FoldCase(unique)) != 0; ++n)
      unique = name + "_" + std::to_string(n);
    taken.insert(FoldCase(unique));
    names.push_back(unique);
  }
  return names;
}

std::string ValueTrouble(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    switch (text[i]) {
      case '\n':
        return "a line end (LF), which would end its line in the project files";
      case '\r':
        return "a line end (CR), which editors and flipdeck-kit check take for one";
      case '#':
        return "'#', which starts a comment in the project files";
      case ',':
        return "',', which separates the fields of a picture in the project";
      case '$':
        if (text.substr(i + 1).starts_with('('))
          return "'$(', which begins a reference to another key in the project files";
        break;
      default:
        break;
    }
  }
  return "";
}
