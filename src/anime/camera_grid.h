// The camera grid: which picture each camera position shows. The grid has
// 4 * CAM_XZ_NUM columns and 4 * CAM_Y_NUM rows; every CAM.<x>.<y> key of
// the TAF file fills one position, visited in the settings' enumeration
// order, so a key visited later takes over a position an earlier one
// filled. Only the filled positions are held: memory follows the keys, not
// the grid. The camera writer and the preview read the same grid.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CAnimeFile;

/// One camera key as the TAF file gives it.
struct CCameraKey {
  std::string key;  // CAM.<x>.<y> as written
  int32_t x = 0;
  int32_t y = 0;
  /// False when the key's value cannot be read or expanded: flipdeck stops
  /// there, so no key follows it in the grid.
  bool readable = true;
  int32_t project = 0;
  std::string picture;
};

struct CCameraGrid {
  int32_t sizeX = 0;  // columns
  int32_t sizeY = 0;  // rows
  /// The CAM. keys in the order they are visited, up to and including the
  /// first that cannot be read.
  std::vector<CCameraKey> keys;

  /// Whether `key` lies on the grid; flipdeck stops at the first that does
  /// not ("over camera position").
  bool IsInside(const CCameraKey& key) const { return key.x < sizeX && key.y < sizeY; }
  /// The filled positions, row by row (y * sizeX + x), each with the index
  /// in `keys` of the key visited last there. Keys before the first one
  /// that is unreadable or off the grid.
  std::vector<std::pair<uint64_t, size_t>> FilledCells() const;
};

/// Why the grid cannot be made: the count key at fault, and whether it is
/// missing (else out of range). An empty key means no problem.
struct CGridProblem {
  std::string key;
  bool missing = false;
};

/// The camera grid of `anime`: with CAM_ANIM missing or 0 a grid of 0 by 0,
/// whose every key lies outside. A count must be at least 0, four times it
/// must fit an integer, and the grid may hold at most kMaxCameraCells
/// positions; CAM_Y_NUM is checked first, and a product too large is
/// CAM_XZ_NUM's fault. The keys are read only for a grid that can be made.
CGridProblem ReadCameraGrid(const CAnimeFile& anime, CCameraGrid& grid);

/// The most positions a grid may hold: far beyond any camera rig, and small
/// enough that its table text stays within reach.
inline constexpr int64_t kMaxCameraCells = 16777216;
