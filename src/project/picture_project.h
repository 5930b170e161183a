// CPictureProject: one loaded TPF picture project. It lists the pictures an
// animation can show (name -> TMF file, TLF file, parameter) and the
// directories in which their files are searched.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/key_value_file.h"

struct CPictureInfo {
  std::string m_strTmf;  // the TMF file as the entry writes it
  std::string m_strTlf;  // the TLF file as the entry writes it
  int32_t m_nParam = 0;  // optional fourth field, 0 without one
};

/// One PICT.<n> key as the project read it: where it stood, the fields of
/// its value, and why the value could not be expanded when it could not
/// (the value is then read as written). An entry of fewer than three fields
/// gives no picture; one whose name a higher n names again is replaced.
struct CPictureEntry {
  int32_t number = 0;
  int line = 0;
  std::vector<std::string> fields;
  CExpandProblem expandProblem;
};

class CPictureProject {
 public:
  CPictureProject() = default;

  /// Reads the TPF file and fills the pictures and directory lists. False
  /// for an empty path or a file that cannot be opened; the project then
  /// has no pictures. Loading again reads the new file alone.
  bool Load(const std::string& tpfPath);
  /// Copies the record of `name` into `info`; false (info untouched) when
  /// the project has no such picture. Names compare case-sensitively.
  bool Lookup(const std::string& name, CPictureInfo& info) const;
  /// The resolved ";"-separated TMF directory list, every entry absolute.
  const std::string& GetTmfDir() const { return m_strTmfDir; }
  /// The resolved ";"-separated TLF directory list, every entry absolute.
  const std::string& GetTlfDir() const { return m_strTlfDir; }
  /// Every picture of the project by name.
  const std::unordered_map<std::string, CPictureInfo>& GetPictures() const { return m_mapPictures; }
  /// Every PICT.<n> key read, in the order read (n ascending).
  const std::vector<CPictureEntry>& GetEntries() const { return m_entries; }
  /// The settings as loading leaves them: TPF_DIR set to the project's
  /// directory, the PICT.<n> keys that were read removed. Null before Load.
  const CKeyValueFile* GetSettings() const { return m_pSettings.get(); }

  /// The n of a key written "PICT.<n>" in plain decimal without leading
  /// zeros, the only spelling the project reads: "PICT.12" -> 12; "PICT.01"
  /// and "PICT.+1" -> false.
  static bool ParsePictureNumber(std::string_view key, int32_t& n);

 private:
  /// The expanded value of `key`, or its raw value when the expansion
  /// fails (`problem` then says why); false when the key is absent.
  bool GetExpandedValue(const std::string& key, std::string& value,
                        CExpandProblem* problem = nullptr) const;
  /// The resolved list of the TMF_DIR or TLF_DIR key; a key that names no
  /// directory gives the project directory.
  std::string ResolveDirectoryKey(const std::string& key) const;
  /// The n of every PICT.n key with 0 <= n < `count`, ascending.
  std::vector<int> FindPictureNumbers(int count) const;
  /// Stores the picture of key PICT.n when its value has enough fields.
  void ReadPicture(int n);

  std::unordered_map<std::string, CPictureInfo> m_mapPictures;
  std::vector<CPictureEntry> m_entries;
  std::string m_strPath;
  std::string m_strDir;
  std::string m_strTmfDir;
  std::string m_strTlfDir;
  std::unique_ptr<CKeyValueFile> m_pSettings;
};
