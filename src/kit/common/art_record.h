// What a project remembers of its art. The PNG a picture was made from, or
// the sheet its pictures were cut from, is what the artist edits; the TMF,
// TLF, TPF and TAF files are made from it. A project records its art in
// keys of its TPF that flipdeck never reads (ART.n, ART.PALETTE, ART.SHEET
// ...), paths relative to the TPF, so that a project moved or checked out
// elsewhere still finds its art. Which version of the art a derived file
// was made from is kept with that file: a picture's TMF holds the size and
// fingerprint of its PNG in header fields flipdeck passes over, a sheet's
// TPF those of its JSON and sheet PNG. An art edit then rewrites only the
// files it changes, and the TPF of a picture project stays the artist's.
//
// One rule tells whether art changed since a file was made from it, for
// sync, check, import and deps alike (CompareArt).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CKeyValueFile;

/// A file's content as a derived file remembers it: its size in bytes and
/// its FNV-1a 64 hash. The hash only has to tell one version of a file
/// from the next, not resist anyone, so the small well-known FNV-1a does;
/// no library is needed for it.
struct CArtPrint {
  uint64_t size = 0;
  uint64_t hash = 0;
  bool operator==(const CArtPrint&) const = default;
};

/// The print of `bytes`: "" -> {0, 0xcbf29ce484222325}.
CArtPrint PrintBytes(std::string_view bytes);

/// FNV-1a 64 of `bytes`, going on from `hash`: "a" -> 0xaf63dc4c8601ec8c.
uint64_t HashBytes(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325);

/// `value` as 16 lower-case hex digits, and back: 255 -> "00000000000000ff".
/// Reading takes exactly 16 hex digits; false otherwise.
std::string HexText(uint64_t value);
bool ReadHexText(std::string_view text, uint64_t& value);

/// The art print a TMF file's header keeps at offset 20: the tag "ART1",
/// then the size and the hash, big-endian. flipdeck reads nothing of a TMF
/// header past offset 20, so the C does not change with it. `tmf` is a
/// whole TMF file as EncodeTmf makes it.
void PutTmfArtPrint(std::string& tmf, const CArtPrint& print);
/// The print in the first 64 bytes of `tmf`; nothing when they hold none
/// (a TMF made without a project, or by another program).
std::optional<CArtPrint> GetTmfArtPrint(std::string_view tmf);
/// The same, read from the TMF file `path`; nothing when it cannot be read.
std::optional<CArtPrint> LoadTmfArtPrint(const std::string& path);

/// Whether art changed since a file was made from it.
enum class ArtState {
  kUnchanged,  // the file was made from the art as it is
  kChanged,    // the art is another one now, or nothing says which it was
  kMissing,    // the art is not there, or cannot be read
};

/// The rule: the art at `art` is unchanged, and is not read, when its size
/// is the `recorded` one and it is no newer than `holder`, the file that
/// keeps the record (written whenever the record changes). Otherwise it is
/// read, and unchanged when its print is the recorded one: a checkout that
/// touched only the times reads the art and finds it unchanged. Without a
/// record it has changed. When the art was read, `bytes` (if given)
/// receives them, so that a caller who goes on to use it reads it once.
ArtState CompareArt(const std::string& art, const std::optional<CArtPrint>& recorded,
                    const std::string& holder, std::string* bytes = nullptr);

/// Whether `file` was last written before `than`; false when either cannot
/// be examined.
bool IsFileOlder(const std::string& file, const std::string& than);

/// The whole file `path`, read as bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

/// The art keys of a TPF. ART.PALETTE = shared: the pictures share one
/// palette, which sync and import keep. ART.<n> = the art of picture n
/// (PICT.<n>): a PNG, or the sheet's JSON (or grid PNG) and the frame.
/// ART.SHEET = the sheet's JSON (or grid PNG), its size and hash;
/// ART.SHEET.IMAGE = the sheet PNG the JSON names, its size and hash;
/// ART.SHEET.GRID = WxH,milliseconds of a grid; ART.SHEET.FPS = the rate
/// the sheet was timed at.
inline constexpr std::string_view kArtPaletteKey = "ART.PALETTE";
inline constexpr std::string_view kArtSharedValue = "shared";
inline constexpr std::string_view kArtSheetKey = "ART.SHEET";
inline constexpr std::string_view kArtSheetImageKey = "ART.SHEET.IMAGE";
inline constexpr std::string_view kArtSheetGridKey = "ART.SHEET.GRID";
inline constexpr std::string_view kArtSheetFpsKey = "ART.SHEET.FPS";
/// "ART.3" for picture 3.
std::string ArtKey(int32_t picture);

/// `path` as a TPF value carries it and back: the bytes a value cannot hold
/// (control characters, '#', which starts a comment, ',', which separates
/// fields, '$', which starts a reference, '%', and blanks at either end)
/// as %XX. `art #2/a,b.png` -> `art %232/a%2Cb.png`.
std::string EscapeArtPath(std::string_view path);
std::string UnescapeArtPath(std::string_view value);

/// "walk.json,1204,00000000000000ff": a path with its print.
std::string ArtFileValue(const std::string& path, const CArtPrint& print);

/// An art file a sheet project records, with the print of the version its
/// files were made from.
struct CRecordedFile {
  std::string path;  // relative to the TPF, as recorded
  CArtPrint print;
};

/// The art of one picture.
struct CPictureArt {
  std::string path;    // the PNG or the sheet's source, relative to the TPF
  int64_t frame = -1;  // the sheet frame it was cut from; -1 for a PNG
  int line = 0;        // of its ART.<n> key
};

/// The sheet a project was made from.
struct CSheetArt {
  CRecordedFile source;              // the JSON, or the PNG of a grid
  std::optional<CRecordedFile> image;  // the sheet PNG a JSON names
  uint32_t cellWidth = 0;            // a grid's cells; 0 for a JSON sheet
  uint32_t cellHeight = 0;
  uint32_t duration = 0;  // a grid's milliseconds a cell
  int32_t fps = 60;
  int line = 0;  // of ART.SHEET
};

/// Everything a TPF records of its art.
struct CProjectArt {
  bool sharedPalette = false;
  std::map<int32_t, CPictureArt> pictures;  // by picture number
  std::optional<CSheetArt> sheet;
  /// Art keys whose values cannot be read, with why: "ART.2: ..." (check
  /// reports them; sync passes them over).
  std::vector<std::pair<std::string, std::string>> faults;

  bool Empty() const { return !sharedPalette && pictures.empty() && !sheet; }
};

/// The art keys of `settings`, a TPF's.
CProjectArt ReadProjectArt(const CKeyValueFile& settings);

/// Where the art `recorded` in a TPF in the folder `tpfDir` lies:
/// ("/work/anim", "../art/a.png") -> "/work/anim/../art/a.png"; an absolute
/// path stays as it is.
std::string ArtPath(const std::string& tpfDir, const std::string& recorded);
