// CTlfPalette: one palette of 16 or 256 16-bit entries read from a TLF file,
// and its C text: a u16 array of the entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/load_report.h"

class CTlfPalette {
 public:
  CTlfPalette() = default;
  ~CTlfPalette() { Release(); }
  CTlfPalette(const CTlfPalette&) = delete;
  CTlfPalette& operator=(const CTlfPalette&) = delete;

  /// Frees the entries; the palette then has none (count and type 0).
  void Release();
  /// Stores the numbers and `entryCount` zero entries; false (palette empty)
  /// for a negative count or no memory.
  bool Create(int32_t entryCount, uint32_t type);
  /// Reads a TLF file; on failure `report` has been told why. A file that
  /// fails before its entries are read leaves the palette as it was.
  bool Load(const std::string& fileName, const LoadReporter& report);
  /// Appends the static, 8-byte-aligned u16 array `name` of the entries,
  /// sixteen to a line.
  void WriteData(std::string& defText, const std::string& name) const;
  /// Appends the definition of struct qmTLF; returns `text`.
  static std::string& AppendStructDef(std::string& text);

  int32_t GetEntryCount() const { return m_entryCount; }
  uint32_t GetType() const { return m_type; }
  const std::vector<uint16_t>& GetEntries() const { return m_entries; }

 private:
  uint32_t m_type = 0;
  int32_t m_entryCount = 0;
  std::vector<uint16_t> m_entries;
};
