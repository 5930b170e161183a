// The animations a sheet becomes: NAME.taf plays every frame in sheet
// order, and each tag gives NAME-TAG.taf, playing its frames in its
// direction as many times as it repeats in one loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kit/pictures/sheet_description.h"

/// One animation: the frames it shows in one loop, in order.
struct CSheetAnimation {
  const CSheetTag* tag = nullptr;  // null for the whole sheet's animation
  std::vector<uint32_t> plays;     // frame indices
};

/// The frames one pass of `tag` plays: to - from + 1 forward or reverse;
/// with pingpong the ends once and the frames between them twice.
/// 2..4: forward 3, pingpong 4; 2..2: pingpong 1.
uint64_t TagPassLength(const CSheetTag& tag);

/// The frames `tag` plays in one loop, its repeats counted.
uint64_t TagPlayCount(const CSheetTag& tag);

/// The frames `tag` plays in one loop, in order. 2..4: forward 2 3 4;
/// reverse 4 3 2; pingpong 2 3 4 3; pingpong_reverse 4 3 2 3; forward with
/// repeat 2: 2 3 4 2 3 4.
std::vector<uint32_t> TagPlays(const CSheetTag& tag);

/// The sheet's animations: first the whole sheet, each frame once in
/// order, then one per tag in the order the tags are given. They point
/// into `sheet`, which must outlive them.
std::vector<CSheetAnimation> SheetAnimations(const CSheetDescription& sheet);

/// The TAF file of the tag `tagName` in the project `projectName`:
/// NAME-TAG.taf, the tag name made into a name that Windows, Linux and
/// macOS all take, and that builds and scripts need not quote: ASCII
/// letters, digits, '.', '_', '+' and '-' stay, any other character
/// becomes '_'. ("walk", "run: fast?") -> "walk-run__fast_.taf".
std::string TagFileName(const std::string& projectName, const std::string& tagName);

/// The TAF file of each tag of `sheet`, in order. False, with the failure
/// naming `sheet.source` and both tags, when two tags make one file (equal
/// names, or names that differ only in case, one file on Windows and
/// macOS), or when a name is too long for a file system (255 bytes).
bool TagFileNames(const CSheetDescription& sheet, const std::string& projectName,
                  std::vector<std::string>& names, CSheetFailure& failure);
