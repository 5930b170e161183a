#include "app/option.h"

#include <iterator>
#include <utility>

namespace {

// Whether `argument` begins with one of `optionChars`; an empty argument
// never does, it is a positional one. "-ofile" -> true, "" -> false.
bool IsOptionArgument(const std::string& optionChars, const char* argument) {
  return argument[0] != '\0' && optionChars.find(argument[0]) != std::string::npos;
}

}  // namespace

COption::COption(std::string optionChars) : m_strOptionChars(std::move(optionChars)) {}

void COption::AddOption(char letter, OptionKind kind, const char* defaultText) {
  // try_emplace leaves an existing registration untouched, so the first one
  // stays in force whatever the second one asks for.
  m_mapOptions.try_emplace(letter,
                           COptionEntry{kind, defaultText != nullptr ? defaultText : "default"});
}

bool COption::Parse(int argc, const char* const* argv) {
  if (argc < 2 || argv == nullptr) return m_bError;

  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    // A null entry ends the vector early, as argv[argc] does.
    if (argument == nullptr) break;
    if (!IsOptionArgument(m_strOptionChars, argument)) {
      m_listArguments.emplace_back(argument);
      continue;
    }

    // A lone "-" has the terminator as its letter, which the program never
    // registers: it is reported like any unknown letter.
    const char letter = argument[1];
    auto found = m_mapOptions.find(letter);
    if (found == m_mapOptions.end()) {
      m_bError = true;
      return true;
    }
    COptionEntry& entry = found->second;

    if (entry.m_nKind == kSwitchOption) {
      entry.m_bFlag = true;
      continue;
    }

    const char* value = letter != '\0' ? argument + 2 : "";
    if (*value == '\0') {
      // "-o file": the next argument is the value whatever it looks like; a
      // value option that ends the command line keeps what it held.
      if (i + 1 >= argc || argv[i + 1] == nullptr) return m_bError;
      value = argv[++i];
    }
    entry.m_strValue = value;
  }
  return m_bError;
}

bool COption::GetValue(char letter, std::string& value) const {
  auto found = m_mapOptions.find(letter);
  if (found == m_mapOptions.end()) return false;
  value = found->second.m_strValue;
  return true;
}

bool COption::GetFlag(char letter, bool& flag) const {
  auto found = m_mapOptions.find(letter);
  if (found == m_mapOptions.end()) return false;
  flag = found->second.m_bFlag;
  return true;
}

bool COption::GetArgument(int index, std::string& argument) const {
  if (index < 0 || index >= GetArgumentCount()) return false;
  argument = *std::next(m_listArguments.begin(), index);
  return true;
}
