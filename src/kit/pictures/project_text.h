// The text of the project files new writes: NAME.tpf, listing the
// pictures and the art they are made from, and each TAF that shows them,
// with comments saying what each key means and where the project came
// from. The files of a sheet's project are sync's to rewrite: their first
// line says so, with a fingerprint of the rest as the kit wrote it, so that
// sync can tell a file edited by hand since.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/common/art_record.h"

/// One picture of the project: its name, its files beside the TPF, and its
/// art as its ART.<n> key holds it ("walk1.png", "walk.json,3"; "" for none).
struct CProjectPicture {
  std::string name;
  std::string tmf;
  std::string tlf;
  std::string art;
};

/// One key frame: from frame `start` on, `picture` is on view.
struct CProjectKey {
  int64_t start = 0;
  std::string picture;
};

/// `text` as a comment may carry it: every control character (a line end
/// would end the comment and start a key) becomes '?'.
std::string CommentText(std::string text);

/// The TPF listing `pictures`. `origin`, when not empty, says in the
/// opening comment where the project came from ("From the sheet walk.json.");
/// `art` is the text of the art keys that follow the pictures (PngArtText,
/// SheetArtText), "" for none.
std::string MakeTpfText(const std::string& origin, const std::vector<CProjectPicture>& pictures,
                        const std::string& art);

/// The TAF of project `tpf` that shows `keys` in a frame sequence of
/// `length` frames, without a camera grid; `origin` as for MakeTpfText.
std::string MakeTafText(const std::string& origin, const std::string& tpf,
                        const std::vector<CProjectKey>& keys, int64_t length);

/// The art keys of a project of PNG pictures, each picture's ART.<n> from
/// `pictures`, and ART.PALETTE when they share one palette.
std::string PngArtText(const std::vector<CProjectPicture>& pictures, bool shared);

/// The sheet a project was cut from, as its TPF records it.
struct CSheetRecord {
  CRecordedFile source;               // the JSON, or a grid's PNG
  std::optional<CRecordedFile> image;  // the PNG a JSON names
  std::string grid;                   // a grid's "WxH,MILLISECONDS"; "" for a JSON
  int32_t fps = 60;
};

/// The art keys of a sheet's project: ART.SHEET and what follows it, the
/// shared palette and each picture's ART.<n> from `pictures`.
std::string SheetArtText(const CSheetRecord& sheet, const std::vector<CProjectPicture>& pictures);

/// `text` with the line that says sync rewrites it in front, carrying the
/// fingerprint of `text`.
std::string MarkSynced(const std::string& text);

/// The fingerprint the first line of `text` carries, when it is the line
/// MarkSynced writes; nothing otherwise.
std::optional<uint64_t> SyncedPrint(std::string_view text);

/// Whether `text` is a file MarkSynced made that nobody edited since: the
/// fingerprint its first line carries is that of the rest.
bool IsAsSynced(std::string_view text);
