// The camera part's rules: the grid's size and each CAM.<x>.<y> key, visited
// in the order the writer visits them. flipdeck stops at the first key that
// cannot be read or lies off the grid; check reports every such key.
#include <map>

#include "anime/camera_grid.h"
#include "kit/check/check_rules.h"
#include "kit/check/check_settings.h"
#include "kit/common/expand_problem.h"
#include "settings/key_value_file.h"
#include "settings/value_integers.h"

namespace {

// Whether the key writes its position plainly, "CAM.<x>.<y>"; flipdeck
// reads any other "CAM." key too, as the position its digits happen to give.
bool NamesPosition(const std::string& key) {
  const std::string_view position = std::string_view(key).substr(4);
  size_t pos = 0;
  int32_t x = 0;
  int32_t y = 0;
  if (!ScanDecimal(position, pos, x) || pos >= position.size() || position[pos] != '.')
    return false;
  ++pos;
  return ScanDecimal(position, pos, y) && pos == position.size();
}

std::string PositionText(const CCameraKey& key) {
  return "(" + std::to_string(key.x) + ", " + std::to_string(key.y) + ")";
}

bool CheckGridSize(CCheckContext& c, const CGridProblem& problem) {
  if (problem.key.empty()) return true;
  const std::string stops =
      problem.key + (problem.missing ? " is not defined" : " is out of range");
  if (problem.missing) {
    c.report.Error(
        c.taf, c.Line("CAM_ANIM"),
        problem.key + " is not defined, and CAM_ANIM is on: flipdeck " + StopsWith(stops));
    return false;
  }
  int32_t value = 0;
  c.anime.GetInt(problem.key, value);
  c.report.Error(c.taf, c.Line(problem.key),
                 problem.key + " is " + std::to_string(value) +
                     ": the grid holds 4 positions per count, at most " +
                     std::to_string(kMaxCameraCells) + " in all: flipdeck " + StopsWith(stops));
  return false;
}

// The value "<project>,<picture>": what flipdeck makes of it.
void CheckCameraValue(CCheckContext& c, const CCameraKey& key, int line) {
  std::string value;
  c.anime.GetString(key.key, value);
  size_t pos = 0;
  int32_t project = 0;
  const std::string stops =
      "flipdeck looks up a picture of no name and " + StopsWith(" is not found in project file.");
  if (!ScanDecimal(value, pos, project)) {
    c.report.Error(c.taf, line,
                   key.key + " " + Quoted(value) + " starts with no project number: " + stops);
    return;
  }
  if (pos >= value.size() || value[pos] != ',') {
    c.report.Error(
        c.taf, line,
        key.key + " " + Quoted(value) + " holds no ',' and picture after its project: " + stops);
    return;
  }
  if (key.picture.empty()) {
    c.report.Error(c.taf, line, key.key + " " + Quoted(value) + " names no picture: " + stops);
    return;
  }
  const size_t end = value.find(key.picture, pos) + key.picture.size();
  const size_t rest = value.find_first_not_of(" \t", end);
  if (rest != std::string::npos)
    c.report.Warning(c.taf, line,
                     "flipdeck reads the picture of " + key.key + " as " + Quoted(key.picture) +
                         " and ignores " + Quoted(value.substr(rest)));
}

}  // namespace

void CheckCamera(CCheckContext& c) {
  int32_t camAnim = 0;
  ReadCheckedNumber(c, "CAM_ANIM", "makes a camera grid of 0 x 0", camAnim);
  int32_t count = 0;
  if (camAnim != 0) {
    ReadCheckedNumber(c, "CAM_XZ_NUM", "", count);
    ReadCheckedNumber(c, "CAM_Y_NUM", "", count);
  }
  CCameraGrid grid;
  if (!CheckGridSize(c, ReadCameraGrid(c.anime, grid))) return;

  const std::string gridText = camAnim == 0
                                   ? "CAM_ANIM is 0, so the camera grid is 0 x 0"
                                   : "it lies outside the " + std::to_string(grid.sizeX) + " x " +
                                         std::to_string(grid.sizeY) + " camera grid";
  // Every key is read here, also those behind one that stops the writer.
  std::map<std::pair<int32_t, int32_t>, std::vector<std::string>> positions;
  for (const std::string_view view : c.anime.GetCameraKeyNames()) {
    const std::string name(view);
    CCameraKey key;
    key.key = name;
    key.readable = c.anime.GetCameraKey(name, key.x, key.y, key.project, key.picture);
    const int line = c.Line(name);
    if (!NamesPosition(name))
      c.report.Error(
          c.taf, line,
          name + " names no position CAM.<x>.<y>: flipdeck takes it for " + PositionText(key));
    if (!key.readable) {
      std::string value;
      CExpandProblem problem;
      c.anime.GetSettings()->Expand(*c.anime.GetSettings()->Find(name), value, &problem);
      c.report.Error(c.taf, line,
                     name + " cannot be expanded (" +
                         DescribeExpandProblem(problem, *c.anime.GetSettings()) +
                         "): flipdeck stops the camera part there without a message");
      continue;
    }
    if (!grid.IsInside(key)) {
      c.report.Error(c.taf, line,
                     name + " is set, but " + gridText + ": flipdeck " +
                         StopsWith("over camera position" + name));
      continue;
    }
    CheckCameraValue(c, key, line);
    positions[{key.x, key.y}].push_back(name);
  }
  for (const auto& [position, names] : positions) {
    for (size_t i = 0; i + 1 < names.size(); ++i)
      c.report.Warning(c.taf, c.Line(names[i]),
                       names[i] + " and " + names.back() + " both name position (" +
                           std::to_string(position.first) + ", " + std::to_string(position.second) +
                           "): flipdeck keeps " + names.back() + ", the one it visits last");
  }
}
