#include "texture/tlf_palette.h"

#include <array>
#include <fstream>
#include <new>

#include "path/file_system.h"
#include "texture/byte_reader.h"
#include "texture/c_array_text.h"
#include "texture/load_report.h"
#include "texture/texture_format.h"

namespace {

// A 16-entry palette serves 4-bit images and a 256-entry one 8-bit images;
// type 0 is RGBA 5551 and type 1 intensity/alpha 88, the only lookup-table
// types the target has.
bool IsValidHeader(uint32_t tag, int32_t count, uint32_t type) {
  const bool sizeMatches = (tag == kTlfTag16 && count == 16) || (tag == kTlfTag256 && count == 256);
  return sizeMatches && (type == kTlfTypeRgba5551 || type == kTlfTypeIa16);
}

}  // namespace

void CTlfPalette::Release() {
  m_entries = std::vector<uint16_t>();
  m_entryCount = 0;
  m_type = 0;
}

bool CTlfPalette::Create(int32_t entryCount, uint32_t type) {
  Release();
  if (entryCount < 0) return false;
  try {
    m_entries.assign(static_cast<size_t>(entryCount), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  m_entryCount = entryCount;
  m_type = type;
  return true;
}

bool CTlfPalette::Load(const std::string& fileName, const LoadReporter& report) {
  // The file is closed before any box is shown, so that the artist can
  // replace it while the box is up.
  std::ifstream in(ToNativePath(fileName), std::ios::binary);
  if (!in.is_open())
    return ReportLoadError(report, "[TLF]", "[%s] file open failed.\n", fileName.c_str());

  std::array<uint8_t, kTextureHeaderSize> header{};
  if (ReadBlock(in, header) < header.size()) {
    in.close();
    return ReportLoadError(report, "[TLF]", "[%s] incorrect header size.\n", fileName.c_str());
  }
  CByteReader fields(header);
  uint32_t tag = 0;
  int32_t count = 0;
  uint32_t type = 0;
  fields.ReadU32(tag);
  fields.ReadI32(count);
  fields.ReadU32(type);
  if (!IsValidHeader(tag, count, type)) {
    in.close();
    return ReportLoadError(report, "[TLF]", "[%s] incorrect header information.\n",
                           fileName.c_str());
  }
  if (!Create(count, type)) {
    in.close();
    return ReportLoadError(report, "[TLF]", "[%s] create failed.\n", fileName.c_str());
  }

  std::vector<uint8_t> body(m_entries.size() * 2);
  const bool complete = ReadBlock(in, body) == body.size();
  in.close();
  if (!complete) {
    Release();
    return ReportLoadError(report, "[TLF]", "[%s] incorrect body size.\n", fileName.c_str());
  }
  CByteReader entries(body);
  for (uint16_t& entry : m_entries) entries.ReadU16(entry);
  return true;
}

void CTlfPalette::WriteData(std::string& defText, const std::string& name) const {
  // The entries go out as they came in, high byte first.
  std::vector<uint8_t> bytes;
  bytes.reserve(m_entries.size() * 2);
  for (uint16_t entry : m_entries) {
    bytes.push_back(static_cast<uint8_t>(entry >> 8));
    bytes.push_back(static_cast<uint8_t>(entry & 0xff));
  }
  AppendStaticArray(defText, "u16", name, bytes, 2, 16);
}

std::string& CTlfPalette::AppendStructDef(std::string& text) {
  text +=
      "\n#ifndef\t_qmTLF_\n#define\t_qmTLF_\n\nstruct qmTLF {\n\tu32\t\ttype;\n\tu16*\ttlut;\n"
      "\tu16\t\tsize;\n};\n\n#endif\n";
  return text;
}
