// COption: a small command-line parser. Options are single letters after an
// option character ('-', and on Windows '/'), registered in advance with a
// kind; every other argument is collected as a positional argument. The
// parser records what it meets and writes nothing.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>

/// What an option takes.
enum OptionKind : int32_t {
  kValueOption = 0,   // -ofile or -o file
  kSwitchOption = 2,  // -v; characters after the letter are ignored
};

struct COptionEntry {
  int32_t m_nKind = kValueOption;
  std::string m_strValue;
  bool m_bFlag = false;
};

class COption {
 public:
  /// `optionChars` are the characters that begin an option.
  explicit COption(std::string optionChars = "-/");

  /// Registers `letter`; a second registration of a letter is ignored. A
  /// null `defaultText` stores the text "default".
  void AddOption(char letter, OptionKind kind, const char* defaultText);
  /// Reads argv[1..argc-1]. Returns the error flag: true once an
  /// unregistered letter was met (parsing stops there).
  bool Parse(int argc, const char* const* argv);
  /// The value text of `letter` (its default until the command line gave
  /// one); false and `value` untouched when the letter is not registered.
  bool GetValue(char letter, std::string& value) const;
  /// The flag of `letter`; false and `flag` untouched when not registered.
  bool GetFlag(char letter, bool& flag) const;
  /// Positional argument `index` (from 0); false and `argument` untouched
  /// when there is no such argument.
  bool GetArgument(int index, std::string& argument) const;
  /// How many positional arguments were collected.
  int GetArgumentCount() const { return static_cast<int>(m_listArguments.size()); }

 private:
  std::string m_strOptionChars;
  std::map<char, COptionEntry> m_mapOptions;
  bool m_bError = false;
  std::list<std::string> m_listArguments;
};
