// The second writer of a run: the camera matrix part of the C source, one
// record per camera position that shows a picture and the table gCamMatrix
// of Y rows of X pointers.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/camera_grid.h"
#include "anime/console.h"
#include "anime/picture_emission.h"
#include "anime/tex_view_cmd.h"

namespace {

// Appends the record name of the cell at (x, y): "cam3_0".
void AppendCellName(std::string& text, uint64_t x, uint64_t y) {
  text += "cam";
  text += std::to_string(x);
  text += '_';
  text += std::to_string(y);
}

// The records of the filled positions, the sizes and the table, where
// every position no key fills is NULL. `records` holds what each key shows.
void WriteCameraSection(CCOutput& out, const CCameraGrid& grid,
                        const std::vector<const CTexViewCmd*>& records) {
  const std::vector<std::pair<uint64_t, size_t>> cells = grid.FilledCells();
  const auto sizeX = static_cast<uint64_t>(grid.sizeX);
  out.Line("/* 2D Camera pattern & palettes */");
  std::string line;
  for (const auto& [position, key] : cells) {
    line = "static CAnmCtrlTxture ";
    AppendCellName(line, position % sizeX, position / sizeX);
    line += " = ";
    AppendTexViewInitializer(line, *records[key], 0);
    line += "; /* TMF/TLF */";
    out.Line(line);
  }
  out.Line("");
  out.Line("/* matrix data */");
  out.Line("u32 gCamXSize = " + std::to_string(grid.sizeX) + ";");
  out.Line("u32 gCamYSize = " + std::to_string(grid.sizeY) + ";");
  out.Line("");
  out.Line("CAnmCtrlTxture* gCamMatrix[" + std::to_string(grid.sizeY) + "][" +
           std::to_string(grid.sizeX) + "] = { ");
  auto next = cells.begin();
  for (uint64_t y = 0; y < static_cast<uint64_t>(grid.sizeY); ++y) {
    line.clear();
    for (uint64_t x = 0; x < sizeX; ++x) {
      if (next == cells.end() || next->first != y * sizeX + x) {
        line += " NULL,";
        continue;
      }
      line += " &";
      AppendCellName(line, x, y);
      line += ',';
      ++next;
    }
    out.Line(line);
  }
  out.Line("};");
  out.Line("");
}

}  // namespace

bool CAnimeFile::WriteCameraSource(const std::string& cPath, const std::string& hPath,
                                   bool verbose) {
  CCameraGrid grid;
  const CGridProblem problem = ReadCameraGrid(*this, grid);
  if (problem.missing) return ReportErrorUnended(problem.key + " is not defined");
  if (!problem.key.empty()) return ReportError(problem.key + " is out of range");

  CCOutput out;
  if (!out.Open(m_outputs, cPath, CCOutput::Mode::kAppend))
    return ReportError(cPath + " can not open");
  WriteOpeningLines(out, hPath);

  CPictureEmitter emitter(*this, m_library, out,
                          {"camtmf", "camtlf", " is not exist", " is not found in project file."},
                          verbose);
  std::vector<const CTexViewCmd*> records;
  records.reserve(grid.keys.size());
  for (const CCameraKey& key : grid.keys) {
    if (verbose) {
      Console() << "DEBUG: Camera(" << ConsoleInteger(key.x) << "," << ConsoleInteger(key.y) << ")";
      ConsoleLineEnd();
    }
    if (!key.readable) return false;
    if (!grid.IsInside(key)) {
      Console() << "over camera position" << key.key;
      return false;
    }
    const CTexViewCmd* shown = emitter.Emit(key.project, key.picture);
    if (shown == nullptr) return false;
    records.push_back(shown);
  }

  WriteCameraSection(out, grid, records);
  return out.Close();
}
