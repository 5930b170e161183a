// The second writer of a run: the camera matrix part of the C source, one
// record per camera position that shows a picture and the table gCamMatrix
// of Y rows of X pointers.
#include <cstdint>
#include <limits>
#include <string>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "anime/picture_emission.h"
#include "anime/tex_view_cmd.h"

namespace {

// The grid may hold at most this many cells: far beyond any camera rig, and
// small enough that the table always fits in memory.
constexpr int64_t kMaxCameraCells = 16777216;

bool ReportNotDefined(const char* key) {
  ConsoleLineEnd();
  Console() << "err : " << key << " is not defined";
  return false;
}

bool ReportOutOfRange(const char* key) {
  ConsoleLineEnd();
  Console() << "err : " << key << " is out of range";
  ConsoleLineEnd();
  return false;
}

// A grid count is usable when four times it is a non-negative int32.
bool IsCountInRange(int32_t count) {
  return count >= 0 && count <= std::numeric_limits<int32_t>::max() / 4;
}

// Reads CAM_Y_NUM and CAM_XZ_NUM and makes the grid size X by Y, four
// positions per count. False after the console message.
bool ReadGridSize(const CAnimeFile& anime, int32_t& sizeX, int32_t& sizeY) {
  int32_t countY = 0;
  int32_t countXZ = 0;
  if (!anime.GetInt("CAM_Y_NUM", countY)) return ReportNotDefined("CAM_Y_NUM");
  if (!anime.GetInt("CAM_XZ_NUM", countXZ)) return ReportNotDefined("CAM_XZ_NUM");
  if (!IsCountInRange(countY)) return ReportOutOfRange("CAM_Y_NUM");
  if (!IsCountInRange(countXZ)) return ReportOutOfRange("CAM_XZ_NUM");
  if (int64_t{4} * countXZ * (int64_t{4} * countY) > kMaxCameraCells)
    return ReportOutOfRange("CAM_XZ_NUM");
  sizeX = 4 * countXZ;
  sizeY = 4 * countY;
  return true;
}

std::string CellName(int32_t x, int32_t y) {
  return "cam" + std::to_string(x) + "_" + std::to_string(y);
}

void WriteCameraSection(CCOutput& out, int32_t sizeX, int32_t sizeY,
                        const CTexViewCmdArray& cells) {
  out.Line("/* 2D Camera pattern & palettes */");
  for (size_t i = 0; i < cells.size(); ++i) {
    const CTexViewCmd& cell = cells[i];
    if (cell.m_nUsed == 0) continue;
    const int32_t x = static_cast<int32_t>(i % static_cast<size_t>(sizeX));
    const int32_t y = static_cast<int32_t>(i / static_cast<size_t>(sizeX));
    out.Line("static CAnmCtrlTxture " + CellName(x, y) + " = " + TexViewInitializer(cell) +
             "; /* TMF/TLF */");
  }
  out.Line("");
  out.Line("/* matrix data */");
  out.Line("u32 gCamXSize = " + std::to_string(sizeX) + ";");
  out.Line("u32 gCamYSize = " + std::to_string(sizeY) + ";");
  out.Line("");
  out.Line("CAnmCtrlTxture* gCamMatrix[" + std::to_string(sizeY) + "][" + std::to_string(sizeX) +
           "] = { ");
  std::string row;
  for (int32_t y = 0; y < sizeY; ++y) {
    row.clear();
    for (int32_t x = 0; x < sizeX; ++x) {
      const CTexViewCmd& cell = cells[static_cast<size_t>(y) * sizeX + x];
      row += cell.m_nUsed != 0 ? " &" + CellName(x, y) + "," : " NULL,";
    }
    out.Line(row);
  }
  out.Line("};");
  out.Line("");
}

}  // namespace

bool CAnimeFile::WriteCameraSource(const std::string& cPath, const std::string& hPath,
                                   bool verbose) {
  int32_t camAnim = 0;
  GetInt("CAM_ANIM", camAnim);
  int32_t sizeX = 0;
  int32_t sizeY = 0;
  if (camAnim != 0 && !ReadGridSize(*this, sizeX, sizeY)) return false;

  CCOutput out;
  if (!out.Open(cPath, CCOutput::Mode::kAppend)) {
    ConsoleLineEnd();
    Console() << "err : " << cPath << " can not open";
    ConsoleLineEnd();
    return false;
  }
  WriteOpeningLines(out, hPath);

  CTexViewCmdArray cells(static_cast<size_t>(sizeX) * static_cast<size_t>(sizeY));
  CPictureEmitter emitter(
      *this, out, {"camtmf", "camtlf", " is not exist", " is not found in project file."}, verbose);
  const CKeyValueFile& settings = *m_pSettings;
  const int keyCount = settings.GetKeyCount();
  for (int i = 0; i < keyCount; ++i) {
    std::string key;
    std::string rawValue;
    if (!settings.GetKeyAt(i, key, rawValue)) return false;
    if (key.compare(0, 4, "CAM.") != 0) continue;
    int32_t x = 0;
    int32_t y = 0;
    int32_t project = 0;
    std::string picture;
    if (!GetCameraKey(key, x, y, project, picture, verbose)) return false;
    // Negative positions are refused like positions beyond the grid.
    if (x < 0 || y < 0 || x >= sizeX || y >= sizeY) {
      Console() << "over camera position" << key;
      return false;
    }
    CTexViewCmd cell;
    if (!emitter.Emit(project, picture, cell)) return false;
    cell.m_nFrames = 0;
    cell.m_nUsed = 1;
    cells[static_cast<size_t>(y) * sizeX + x] = std::move(cell);
  }

  WriteCameraSection(out, sizeX, sizeY, cells);
  return out.Close();
}
