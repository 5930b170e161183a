// CPictureProject: one loaded TPF picture project. It lists the pictures an
// animation can show (name -> TMF file, TLF file, parameter) and the
// directories in which their files are searched.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "settings/key_value_file.h"

struct CPictureInfo {
  std::string m_strTmf;  // the TMF file as the entry writes it
  std::string m_strTlf;  // the TLF file as the entry writes it
  int32_t m_nParam = 0;  // optional fourth field, 0 without one
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

 private:
  /// The expanded value of `key`, or its raw value when the expansion
  /// fails; false when the key is absent.
  bool GetExpandedValue(const std::string& key, std::string& value) const;
  /// The resolved list of the TMF_DIR or TLF_DIR key; a key that names no
  /// directory gives the project directory.
  std::string ResolveDirectoryKey(const std::string& key) const;
  /// The n of every PICT.n key with 0 <= n < `count`, ascending.
  std::vector<int> FindPictureNumbers(int count) const;
  /// Stores the picture of key PICT.n when its value has enough fields.
  void ReadPicture(int n);

  std::unordered_map<std::string, CPictureInfo> m_mapPictures;
  std::string m_strPath;
  std::string m_strDir;
  std::string m_strTmfDir;
  std::string m_strTlfDir;
  std::unique_ptr<CKeyValueFile> m_pSettings;
};
