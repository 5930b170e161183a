#include "kit/common/art_record.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "path/file_system.h"
#include "settings/key_value_file.h"
#include "settings/value_integers.h"
#include "texture/texture_format.h"

namespace fs = std::filesystem;

namespace {

// "ART1": what marks the print in a TMF header, whose unread fields other
// programs may fill with anything.
constexpr uint32_t kTmfArtTag = 0x41525431;
constexpr size_t kTmfArtAt = 20;

void PutBigEndian(std::string& bytes, size_t at, uint64_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * (width - 1 - i)));
}

uint64_t GetBigEndian(std::string_view bytes, size_t at, int width) {
  uint64_t value = 0;
  for (int i = 0; i < width; ++i)
    value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

// The fields of a value split at commas, kept empty where two meet.
std::vector<std::string_view> Fields(std::string_view value) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t comma = value.find(',', start);
    fields.push_back(value.substr(start, comma == value.npos ? comma : comma - start));
    if (comma == value.npos) return fields;
    start = comma + 1;
  }
}

bool ReadDecimal(std::string_view text, uint64_t limit, uint64_t& value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != text.npos)
    return false;
  value = std::stoull(std::string(text));
  return value <= limit;
}

// "walk.json,1204,00000000000000ff" -> the file; false when it is not so.
bool ReadRecordedFile(std::string_view value, CRecordedFile& file) {
  const std::vector<std::string_view> fields = Fields(value);
  if (fields.size() != 3 || fields[0].empty()) return false;
  file.path = UnescapeArtPath(fields[0]);
  return ReadDecimal(fields[1], ~uint64_t{0}, file.print.size) &&
         ReadHexText(fields[2], file.print.hash);
}

// "32x16,100" -> a grid's cells and milliseconds.
bool ReadGrid(std::string_view value, CSheetArt& sheet) {
  const std::vector<std::string_view> fields = Fields(value);
  const size_t x = fields[0].find('x');
  uint64_t w = 0;
  uint64_t h = 0;
  uint64_t ms = 0;
  if (fields.size() != 2 || x == std::string_view::npos ||
      !ReadDecimal(fields[0].substr(0, x), 65536, w) ||
      !ReadDecimal(fields[0].substr(x + 1), 65536, h) || !ReadDecimal(fields[1], 0x7fffffff, ms))
    return false;
  sheet.cellWidth = static_cast<uint32_t>(w);
  sheet.cellHeight = static_cast<uint32_t>(h);
  sheet.duration = static_cast<uint32_t>(ms);
  return w != 0 && h != 0 && ms != 0;
}

// One ART.<n> value: "walk1.png", or "walk.json,3" for a sheet's frame.
bool ReadPictureArt(std::string_view value, CPictureArt& art) {
  const std::vector<std::string_view> fields = Fields(value);
  if (fields.size() > 2 || fields[0].empty()) return false;
  art.path = UnescapeArtPath(fields[0]);
  uint64_t frame = 0;
  if (fields.size() == 1) return true;
  if (!ReadDecimal(fields[1], 0x7fffffff, frame)) return false;
  art.frame = static_cast<int64_t>(frame);
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint64_t HashBytes(std::string_view bytes, uint64_t hash) {
  for (const char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001b3;
  return hash;
}

CArtPrint PrintBytes(std::string_view bytes) { return {bytes.size(), HashBytes(bytes)}; }

std::string HexText(uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 15];
  return text;
}

bool ReadHexText(std::string_view text, uint64_t& value) {
  if (text.size() != 16) return false;
  uint64_t read = 0;
  for (const char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    read = read << 4 | static_cast<uint64_t>(digit);
  }
  value = read;
  return true;
}

void PutTmfArtPrint(std::string& tmf, const CArtPrint& print) {
  if (tmf.size() < kTextureHeaderSize) return;
  PutBigEndian(tmf, kTmfArtAt, kTmfArtTag, 4);
  PutBigEndian(tmf, kTmfArtAt + 4, print.size, 8);
  PutBigEndian(tmf, kTmfArtAt + 12, print.hash, 8);
}

std::optional<CArtPrint> GetTmfArtPrint(std::string_view tmf) {
  if (tmf.size() < kTextureHeaderSize || GetBigEndian(tmf, kTmfArtAt, 4) != kTmfArtTag) return {};
  return CArtPrint{GetBigEndian(tmf, kTmfArtAt + 4, 8), GetBigEndian(tmf, kTmfArtAt + 12, 8)};
}

std::optional<CArtPrint> LoadTmfArtPrint(const std::string& path) {
  std::ifstream in(ToNativePath(path), std::ios::binary);
  std::array<char, kTextureHeaderSize> header{};
  if (!in.read(header.data(), header.size())) return {};
  return GetTmfArtPrint(std::string_view(header.data(), header.size()));
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::error_code error;
  if (!fs::is_regular_file(ToNativePath(path), error)) return false;
  std::ifstream in(ToNativePath(path), std::ios::binary | std::ios::ate);
  if (!in.is_open()) return false;
  const std::streamoff size = in.tellg();
  if (size < 0) return false;
  bytes.resize(static_cast<size_t>(size));
  in.seekg(0);
  return static_cast<bool>(in.read(bytes.data(), size));
}

ArtState CompareArt(const std::string& art, const std::optional<CArtPrint>& recorded,
                    const std::string& holder, std::string* bytes) {
  const fs::path artPath(ToNativePath(art));
  std::error_code error;
  const uint64_t size = fs::file_size(artPath, error);
  if (error) return ArtState::kMissing;
  if (!recorded) return ArtState::kChanged;
  if (size == recorded->size) {
    const fs::file_time_type artTime = fs::last_write_time(artPath, error);
    std::error_code holderError;
    const fs::file_time_type holderTime = fs::last_write_time(ToNativePath(holder), holderError);
    if (!error && !holderError && artTime <= holderTime) return ArtState::kUnchanged;
  }
  std::string read;
  if (!ReadWholeFile(art, read)) return ArtState::kMissing;
  const bool same = PrintBytes(read) == *recorded;
  if (bytes != nullptr) *bytes = std::move(read);
  return same ? ArtState::kUnchanged : ArtState::kChanged;
}

bool IsFileOlder(const std::string& file, const std::string& than) {
  std::error_code fileError;
  std::error_code thanError;
  const fs::file_time_type fileTime = fs::last_write_time(ToNativePath(file), fileError);
  const fs::file_time_type thanTime = fs::last_write_time(ToNativePath(than), thanError);
  return !fileError && !thanError && fileTime < thanTime;
}

std::string ArtKey(int32_t picture) { return "ART." + std::to_string(picture); }

std::string EscapeArtPath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string value;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    const bool edge = (i == 0 || i + 1 == path.size()) && IsWhiteSpace(path[i]);
    if (byte >= 0x20 && byte != 0x7f && std::string_view("#,$%").find(path[i]) == path.npos &&
        !edge) {
      value += path[i];
      continue;
    }
    value += '%';
    value += kHex[byte >> 4];
    value += kHex[byte & 15];
  }
  return value;
}

std::string UnescapeArtPath(std::string_view value) {
  std::string path;
  for (size_t i = 0; i < value.size(); ++i) {
    const int high = i + 2 < value.size() && value[i] == '%' ? HexDigit(value[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(value[i + 2]) : -1;
    if (low < 0) {
      path += value[i];
      continue;
    }
    path += static_cast<char>(high << 4 | low);
    i += 2;
  }
  return path;
}

std::string ArtFileValue(const std::string& path, const CArtPrint& print) {
  return EscapeArtPath(path) + "," + std::to_string(print.size) + "," + HexText(print.hash);
}

CProjectArt ReadProjectArt(const CKeyValueFile& settings) {
  CProjectArt art;
  const auto fault = [&art](std::string_view key, const char* what) {
    art.faults.emplace_back(std::string(key), what);
  };
  std::string sheetKey;  // the first of the sheet's keys
  for (const std::string_view key : settings.GetKeysBeginningWith("ART.")) {
    if (key.starts_with(kArtSheetKey) && sheetKey.empty()) sheetKey = key;
    const std::string_view value = *settings.Find(key);
    const int line = settings.GetKeyLine(key);
    int32_t n = 0;
    size_t at = 4;
    if (key == kArtPaletteKey) {
      art.sharedPalette = value == kArtSharedValue;
      if (!art.sharedPalette) fault(key, "is not `shared`, the one value it takes");
    } else if (key == kArtSheetKey) {
      if (!art.sheet) art.sheet.emplace();
      art.sheet->line = line;
      if (!ReadRecordedFile(value, art.sheet->source))
        fault(key, "is not `FILE,BYTES,HASH` (a path, its size and 16 hex digits)");
    } else if (key == kArtSheetImageKey) {
      if (!art.sheet) art.sheet.emplace();
      art.sheet->image.emplace();
      if (!ReadRecordedFile(value, *art.sheet->image))
        fault(key, "is not `FILE,BYTES,HASH` (a path, its size and 16 hex digits)");
    } else if (key == kArtSheetGridKey) {
      if (!art.sheet) art.sheet.emplace();
      if (!ReadGrid(value, *art.sheet)) fault(key, "is not `WxH,MILLISECONDS`");
    } else if (key == kArtSheetFpsKey) {
      uint64_t fps = 0;
      if (!art.sheet) art.sheet.emplace();
      if (ReadDecimal(value, 1000, fps) && fps != 0)
        art.sheet->fps = static_cast<int32_t>(fps);
      else
        fault(key, "is no frame rate from 1 to 1000");
    } else if (ScanDecimal(key, at, n) && at == key.size() && key == ArtKey(n)) {
      CPictureArt picture;
      picture.line = line;
      if (ReadPictureArt(value, picture))
        art.pictures[n] = std::move(picture);
      else
        fault(key, "is not `FILE` or `FILE,FRAME`");
    }
    // Other keys are none of the kit's: check calls them unknown.
  }
  // The other sheet keys say nothing without the sheet.
  if (art.sheet && art.sheet->source.path.empty()) {
    if (sheetKey != kArtSheetKey) fault(sheetKey, "says nothing without ART.SHEET");
    art.sheet.reset();
  }
  return art;
}

std::string ArtPath(const std::string& tpfDir, const std::string& recorded) {
  const fs::path path(ToNativePath(recorded));
  if (path.is_absolute()) return path.string();
  return (fs::path(ToNativePath(tpfDir)) / path).string();
}
