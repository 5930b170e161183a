// The first writer of a run: the C source with the picture data that the key
// frames show and the animation command chain gAnimeCmd0, gAnimeCmd1, ...
#include <cstdint>
#include <string>
#include <vector>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "anime/picture_emission.h"
#include "anime/tex_view_cmd.h"
#include "anime/timeline.h"

namespace {

// One command of the chain: the picture it shows and for how many frames.
struct CFrameCmd {
  const CTexViewCmd* shown;
  int32_t frames;
};

void WriteSequenceSection(CCOutput& out, int32_t frameLength,
                          const std::vector<CFrameCmd>& commands) {
  const size_t n = commands.size();
  out.Line("/* Sequence & palettes */");
  out.Line("static CAnmCtrlSetMaxFrame gAnimeCmd0 = {{ANMCTRL_SETMAXFRAME}," +
           std::to_string(frameLength) + "}; /* Frame length */ ");
  std::string line;
  for (size_t k = 1; k <= n; ++k) {
    line = "static CAnmCtrlTxture gAnimeCmd";
    line += std::to_string(k);
    line += "= ";
    AppendTexViewInitializer(line, *commands[k - 1].shown, commands[k - 1].frames);
    line += "; /* frame */";
    out.Line(line);
  }
  out.Line("static CAnmCtrlJump gAnimeCmd" + std::to_string(n + 1) +
           "= { {ANMCTRL_JUMP},1}; /* loop */");
  out.Line("");
  out.Line("");
  out.Line("/* sequence pattern */");
  out.Line("CAnmCtrlHeader* gAnimeCmd[] = {");
  for (size_t j = 0; j <= n + 1; ++j) {
    line = "  (CAnmCtrlHeader*)&gAnimeCmd";
    line += std::to_string(j);
    line += ',';
    out.Line(line);
  }
  out.Line("};");
  out.Line("");
}

}  // namespace

bool CAnimeFile::WriteSequenceSource(const std::string& cPath, const std::string& hPath,
                                     bool verbose) {
  int32_t frameAnim = 0;
  if (!GetInt("FRAME_ANIM", frameAnim) || frameAnim == 0) return true;
  int32_t projectCount = 0;
  if (!GetInt("TPF.NUM", projectCount)) return ReportError("TPF.NUM undefined");
  int32_t frameLength = 0;
  if (!GetInt("FRAME_LENGTH", frameLength)) return ReportError("FRAME_LENGTH undefined");

  if (!hPath.empty() && !WriteHeader(hPath, verbose)) return false;

  CCOutput out;
  if (!out.Open(m_outputs, cPath, CCOutput::Mode::kReplace))
    return ReportError(cPath + "can not open");
  WriteOpeningLines(out, hPath);

  int32_t keyCount = 0;
  if (!GetInt("FRAME_KEY", keyCount)) return ReportErrorUnended("FRAME_KEY undefined");
  if (verbose) {
    ConsoleLineEnd();
    Console() << "C Source file output ";
    ConsoleLineEnd();
  }

  const CTimeline timeline = ReadTimeline(*this, frameLength, keyCount);
  CPictureEmitter emitter(*this, m_library, out,
                          {"tmf", "tlf", " not exist", " is not found in project file"}, verbose);
  std::vector<CFrameCmd> commands;
  commands.reserve(timeline.views.size());
  for (const CView& view : timeline.views) {
    const CTexViewCmd* shown = emitter.Emit(view.key.project, view.key.picture);
    if (shown == nullptr) return false;
    if (commands.size() == timeline.outOfOrder) return ReportError("frame over! FRAME_LENGTH");
    commands.push_back({shown, view.frames});
  }
  // Without a single key frame the chain would jump into itself.
  if (commands.empty()) return ReportError("FRAME_KEY0 undefined");

  if (verbose) {
    Console() << "Anime Data output";
    ConsoleLineEnd();
  }
  WriteSequenceSection(out, frameLength, commands);
  // A C file cut short by a full disk would fail the build much later, far
  // from its cause.
  return out.Close();
}
