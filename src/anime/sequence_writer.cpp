// The first writer of a run: the C source with the picture data that the key
// frames show and the animation command chain gAnimeCmd0, gAnimeCmd1, ...
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "anime/picture_emission.h"
#include "anime/tex_view_cmd.h"

namespace {

// Reports a missing required key: "err : <key> undefined" between line ends.
bool ReportUndefined(const char* key) {
  ConsoleLineEnd();
  Console() << "err : " << key << " undefined";
  ConsoleLineEnd();
  return false;
}

// The frames the last key frame's picture stays on view: the length less
// the last key frame, negative when that lies beyond the end. A length near
// the lowest integer would wrap round to a huge positive count; it stops at
// the lowest integer instead, so a negative count never turns positive.
// (30, 10) -> 20; (30, 40) -> -10; (-2147483648, 10) -> -2147483648.
int32_t LastFrameCount(int32_t frameLength, int32_t prev) {
  const int64_t frames = static_cast<int64_t>(frameLength) - prev;
  return static_cast<int32_t>(std::max<int64_t>(frames, std::numeric_limits<int32_t>::min()));
}

void WriteSequenceSection(CCOutput& out, int32_t frameLength, const CTexViewCmdArray& commands) {
  const size_t n = commands.size();
  out.Line("/* Sequence & palettes */");
  out.Line("static CAnmCtrlSetMaxFrame gAnimeCmd0 = {{ANMCTRL_SETMAXFRAME}," +
           std::to_string(frameLength) + "}; /* Frame length */ ");
  for (size_t k = 1; k <= n; ++k) {
    const CTexViewCmd& cmd = commands[k - 1];
    out.Line("static CAnmCtrlTxture gAnimeCmd" + std::to_string(k) + "= " +
             TexViewInitializer(cmd) + "; /* frame */");
  }
  out.Line("static CAnmCtrlJump gAnimeCmd" + std::to_string(n + 1) +
           "= { {ANMCTRL_JUMP},1}; /* loop */");
  out.Line("");
  out.Line("");
  out.Line("/* sequence pattern */");
  out.Line("CAnmCtrlHeader* gAnimeCmd[] = {");
  for (size_t j = 0; j <= n + 1; ++j)
    out.Line("  (CAnmCtrlHeader*)&gAnimeCmd" + std::to_string(j) + ",");
  out.Line("};");
  out.Line("");
}

}  // namespace

bool CAnimeFile::WriteSequenceSource(const std::string& cPath, const std::string& hPath,
                                     bool verbose) {
  int32_t frameAnim = 0;
  if (!GetInt("FRAME_ANIM", frameAnim) || frameAnim == 0) return true;
  int32_t projectCount = 0;
  if (!GetInt("TPF.NUM", projectCount)) return ReportUndefined("TPF.NUM");
  int32_t frameLength = 0;
  if (!GetInt("FRAME_LENGTH", frameLength)) return ReportUndefined("FRAME_LENGTH");

  if (!hPath.empty() && !WriteHeader(hPath, verbose)) return false;

  CCOutput out;
  if (!out.Open(cPath, CCOutput::Mode::kReplace)) {
    ConsoleLineEnd();
    Console() << "err : " << cPath << "can not open";
    ConsoleLineEnd();
    return false;
  }
  WriteOpeningLines(out, hPath);

  int32_t keyCount = 0;
  if (!GetInt("FRAME_KEY", keyCount)) {
    ConsoleLineEnd();
    Console() << "err : FRAME_KEY undefined";
    return false;
  }
  if (verbose) {
    ConsoleLineEnd();
    Console() << "C Source file output ";
    ConsoleLineEnd();
  }

  CPictureEmitter emitter(*this, out, {"tmf", "tlf", " not exist", " is not found in project file"},
                          verbose);
  CTexViewCmdArray commands;
  int32_t prev = 0;
  for (int32_t i = 0; i < keyCount; ++i) {
    int32_t frame = 0;
    int32_t project = 0;
    std::string picture;
    // An unreadable key frame ends the sequence: the ones before it are all.
    if (!GetFrameKey(i, frame, project, picture)) break;
    CTexViewCmd cmd;
    if (!emitter.Emit(project, picture, cmd)) return false;
    if (!commands.empty()) {
      const int64_t frames = static_cast<int64_t>(frame) - prev;
      if (frames < 0) {
        ConsoleLineEnd();
        Console() << "err : frame over! FRAME_LENGTH";
        ConsoleLineEnd();
        return false;
      }
      commands.back().m_nFrames = static_cast<int32_t>(frames);
      prev = frame;
    }
    commands.push_back(std::move(cmd));
  }
  // Without a single key frame the chain would jump into itself.
  if (commands.empty()) return ReportUndefined("FRAME_KEY0");
  commands.back().m_nFrames = LastFrameCount(frameLength, prev);

  if (verbose) {
    Console() << "Anime Data output";
    ConsoleLineEnd();
  }
  WriteSequenceSection(out, frameLength, commands);
  // A C file cut short by a full disk would fail the build much later, far
  // from its cause.
  return out.Close();
}
