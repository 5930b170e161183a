#include "anime/camera_grid.h"

#include <algorithm>
#include <limits>

#include "anime/anime_file.h"

namespace {

// A grid count is usable when four times it is a non-negative int32.
bool IsCountInRange(int32_t count) {
  return count >= 0 && count <= std::numeric_limits<int32_t>::max() / 4;
}

CGridProblem ReadGridSize(const CAnimeFile& anime, CCameraGrid& grid) {
  int32_t countY = 0;
  int32_t countXZ = 0;
  if (!anime.GetInt("CAM_Y_NUM", countY)) return {"CAM_Y_NUM", true};
  if (!anime.GetInt("CAM_XZ_NUM", countXZ)) return {"CAM_XZ_NUM", true};
  if (!IsCountInRange(countY)) return {"CAM_Y_NUM", false};
  if (!IsCountInRange(countXZ)) return {"CAM_XZ_NUM", false};
  if (int64_t{4} * countXZ * (int64_t{4} * countY) > kMaxCameraCells) return {"CAM_XZ_NUM", false};
  grid.sizeX = 4 * countXZ;
  grid.sizeY = 4 * countY;
  return {};
}

}  // namespace

std::vector<std::pair<uint64_t, size_t>> CCameraGrid::FilledCells() const {
  std::vector<std::pair<uint64_t, size_t>> cells;
  for (size_t i = 0; i < keys.size(); ++i) {
    const CCameraKey& cell = keys[i];
    if (!cell.readable || !IsInside(cell)) break;
    cells.emplace_back(static_cast<uint64_t>(cell.y) * static_cast<uint64_t>(sizeX) +
                           static_cast<uint64_t>(cell.x),
                       i);
  }
  // Row by row; of the keys of one position, the one visited last stays.
  std::sort(cells.begin(), cells.end());
  const auto later = [](const auto& a, const auto& b) { return a.first == b.first; };
  std::reverse(cells.begin(), cells.end());
  cells.erase(std::unique(cells.begin(), cells.end(), later), cells.end());
  std::reverse(cells.begin(), cells.end());
  return cells;
}

CGridProblem ReadCameraGrid(const CAnimeFile& anime, CCameraGrid& grid) {
  int32_t camAnim = 0;
  anime.GetInt("CAM_ANIM", camAnim);
  if (camAnim != 0) {
    CGridProblem problem = ReadGridSize(anime, grid);
    if (!problem.key.empty()) return problem;
  }
  const std::vector<std::string_view> names = anime.GetCameraKeyNames();
  grid.keys.reserve(names.size());
  for (const std::string_view key : names) {
    CCameraKey cell;
    cell.key = key;
    cell.readable = anime.GetCameraKey(key, cell.x, cell.y, cell.project, cell.picture);
    grid.keys.push_back(std::move(cell));
    if (!grid.keys.back().readable) break;
  }
  return {};
}
