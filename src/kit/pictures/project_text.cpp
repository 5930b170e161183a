#include "kit/pictures/project_text.h"

std::string CommentText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

namespace {

// The line MarkSynced puts first, up to the fingerprint and after it.
constexpr std::string_view kSyncedOpening =
    "# flipdeck-kit sync rewrites this file when its sheet changes: edit the sheet. [";
constexpr std::string_view kSyncedClosing = "]\n";

std::string OriginLine(const std::string& origin) {
  return origin.empty() ? "" : "# " + CommentText(origin) + "\n";
}

std::string PictureArtLines(const std::vector<CProjectPicture>& pictures) {
  std::string text;
  for (size_t i = 0; i < pictures.size(); ++i) {
    if (!pictures[i].art.empty())
      text += ArtKey(static_cast<int32_t>(i)) + " = " + pictures[i].art + "\n";
  }
  return text;
}

std::string KeyLine(std::string_view key, const std::string& value) {
  return std::string(key) + " = " + value + "\n";
}

}  // namespace

std::string MakeTpfText(const std::string& origin, const std::vector<CProjectPicture>& pictures,
                        const std::string& art) {
  std::string text =
      "# A flipdeck picture project, made by flipdeck-kit new.\n" + OriginLine(origin) +
      "# PICT_NUM: how many pictures it lists. PICT.n = name,TMF image,TLF palette:\n"
      "# picture n; the files lie beside this project.\n"
      "PICT_NUM = " +
      std::to_string(pictures.size()) + "\n";
  for (size_t i = 0; i < pictures.size(); ++i) {
    const CProjectPicture& picture = pictures[i];
    text += "PICT." + std::to_string(i) + " = " + picture.name + "," + picture.tmf + "," +
            picture.tlf + "\n";
  }
  return text + art;
}

std::string MakeTafText(const std::string& origin, const std::string& tpf,
                        const std::vector<CProjectKey>& keys, int64_t length) {
  std::string text =
      "# A flipdeck animation, made by flipdeck-kit new. Convert it from this\n"
      "# directory: flipdeck reads TPF.0.FILE from where it runs.\n" +
      OriginLine(origin) +
      "# TPF.NUM: how many picture projects; TPF.0.FILE: project 0.\n"
      "TPF.NUM = 1\n"
      "TPF.0.FILE = " +
      tpf +
      "\n"
      "# FRAME_ANIM = 1 switches the frame sequence on; FRAME_LENGTH: its frames.\n"
      "FRAME_ANIM = 1\n"
      "FRAME_LENGTH = " +
      std::to_string(length) +
      "\n"
      "# FRAME_KEY: how many key frames. FRAME_KEYn = first frame,project,picture:\n"
      "# from that frame on, the picture is on view.\n"
      "FRAME_KEY = " +
      std::to_string(keys.size()) + "\n";
  for (size_t i = 0; i < keys.size(); ++i) {
    text += "FRAME_KEY" + std::to_string(i) + " = " + std::to_string(keys[i].start) + ",0," +
            keys[i].picture + "\n";
  }
  text += "# CAM_ANIM = 0: no camera grid.\nCAM_ANIM = 0\n";
  return text;
}

std::string PngArtText(const std::vector<CProjectPicture>& pictures, bool shared) {
  return std::string(
             "# The art, which flipdeck does not read: ART.n = the PNG picture n is made\n"
             "# from, relative to this project") +
         (shared ? "; ART.PALETTE = shared: the pictures share\n# their palette" : "") +
         ". flipdeck-kit sync makes a picture again when its PNG\n# changes.\n" +
         (shared ? KeyLine(kArtPaletteKey, std::string(kArtSharedValue)) : "") +
         PictureArtLines(pictures);
}

std::string SheetArtText(const CSheetRecord& sheet, const std::vector<CProjectPicture>& pictures) {
  std::string text =
      "# The art, which flipdeck does not read: ART.SHEET = the sheet, relative to\n"
      "# this project, its bytes and fingerprint when the project was made from it;\n";
  if (sheet.image) text += "# ART.SHEET.IMAGE: the same of the sheet's PNG;\n";
  if (!sheet.grid.empty()) text += "# ART.SHEET.GRID: its cells and their milliseconds;\n";
  text +=
      "# ART.SHEET.FPS: the frame rate it is timed at; ART.PALETTE = shared: the\n"
      "# pictures share their palette; ART.n = the sheet and the frame picture n is\n"
      "# cut from.\n";
  text += KeyLine(kArtSheetKey, ArtFileValue(sheet.source.path, sheet.source.print));
  if (sheet.image)
    text += KeyLine(kArtSheetImageKey, ArtFileValue(sheet.image->path, sheet.image->print));
  if (!sheet.grid.empty()) text += KeyLine(kArtSheetGridKey, sheet.grid);
  text += KeyLine(kArtSheetFpsKey, std::to_string(sheet.fps));
  text += KeyLine(kArtPaletteKey, std::string(kArtSharedValue));
  return text + PictureArtLines(pictures);
}

std::string MarkSynced(const std::string& text) {
  return std::string(kSyncedOpening) + HexText(HashBytes(text)) + std::string(kSyncedClosing) +
         text;
}

std::optional<uint64_t> SyncedPrint(std::string_view text) {
  const size_t end = kSyncedOpening.size() + 16;
  uint64_t print = 0;
  if (text.size() < end + kSyncedClosing.size() || !text.starts_with(kSyncedOpening) ||
      text.substr(end, kSyncedClosing.size()) != kSyncedClosing ||
      !ReadHexText(text.substr(kSyncedOpening.size(), 16), print))
    return {};
  return print;
}

bool IsAsSynced(std::string_view text) {
  const std::optional<uint64_t> print = SyncedPrint(text);
  const size_t rest = kSyncedOpening.size() + 16 + kSyncedClosing.size();
  return print && *print == HashBytes(text.substr(rest));
}
