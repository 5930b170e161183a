// The rule sets of flipdeck-kit check and what they share: one context per
// run, filled step by step. The TAF rules (check_sequence.cpp,
// check_camera.cpp) come first; the picture rules (check_pictures.cpp,
// check_textures.cpp) follow the pictures the writers show into projects,
// images and palettes; the project rules (check_projects.cpp) check the
// projects reached; the summary reads what they found.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "kit/check/check.h"
#include "kit/check/check_report.h"
#include "kit/common/diagnostics.h"
#include "kit/common/picture_uses.h"
#include "kit/common/shown_paths.h"
#include "project/picture_library.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

/// A TMF or TLF file the uses lead to, loaded once, and the parts of the C
/// that write its data.
struct CCheckedFile {
  std::string shown;  // as messages name it
  bool loaded = false;
  std::unique_ptr<CTmfImage> image;      // TMF files
  std::unique_ptr<CTlfPalette> palette;  // TLF files
  std::set<CWriterPart> parts;
};

/// A picture some key shows, as found in its project.
struct CShownPicture {
  std::string project;  // the project file as the TAF names it
  std::string name;
  std::string tmfPath;  // full paths, "" when not found
  std::string tlfPath;
};

struct CCheckContext {
  explicit CCheckContext(const CheckOptions& checkOptions);

  const CheckOptions& options;
  CShownPaths paths;  // how messages name every file
  CCheckReport report;
  CAnimeFile anime;
  std::string taf;  // the TAF as messages name it
  std::string tafText;
  std::vector<CPictureUse> uses;
  CPictureLibrary library;
  // Filled by the picture rules: every picture shown, by project and name,
  // and every file loaded, by full path.
  std::map<std::pair<std::string, std::string>, CShownPicture> pictures;
  std::map<std::string, CCheckedFile> files;
  std::map<std::string, std::set<std::string>> shownByProject;  // project path -> pictures shown

  /// The line of `key` in the TAF file, 0 when it is not set there.
  int Line(const std::string& key) const { return anime.GetSettings()->GetKeyLine(key); }
};

/// Reads the integer of TAF key `key` as the writers do and checks it (see
/// CheckNumber); false, `value` untouched, when the key is not set.
bool ReadCheckedNumber(CCheckContext& c, const std::string& key, const std::string& zeroMeans,
                       int32_t& value);

/// The keys flipdeck reads in a TAF file and in a TPF file.
struct CKeyRules;
const CKeyRules& TafKeyRules();
const CKeyRules& TpfKeyRules();

/// The sequence part: FRAME_ANIM, FRAME_LENGTH, FRAME_KEY and each key frame.
void CheckSequence(CCheckContext& context);
/// The camera part: CAM_ANIM, the grid's size and each camera key.
void CheckCamera(CCheckContext& context);
/// Follows every use into its project and files.
void CheckPictures(CCheckContext& context);
/// Checks each project a use reached, and what no key names.
void CheckProjects(CCheckContext& context);
/// Checks the art the project `path` records (art_record.h): keys that
/// cannot be read, art that is missing, and pictures made from art that
/// changed since.
void CheckProjectArt(CCheckContext& context, const std::string& path,
                     const CPictureProject& project);
/// Checks a TMF or TLF file loaded for a use, and each picture's pair.
void CheckImageFile(CCheckContext& context, const std::string& path, CCheckedFile& file);
void CheckPaletteFile(CCheckContext& context, const std::string& path, CCheckedFile& file);
/// `shared`: the project shares the palette among its pictures as the kit
/// builds it (ART.PALETTE), so an index into its 0x0000 filling is surely
/// one into another palette, an error; elsewhere the palette's own last
/// entries may be transparent black, and it is a warning.
void CheckPicturePair(CCheckContext& context, const std::string& tpf, int line,
                      const std::string& picture, const CCheckedFile& image,
                      const CCheckedFile& palette, bool shared);
/// The --summary table of the pictures and files the C holds.
void PrintSummary(const CCheckContext& context, std::ostream& out);
