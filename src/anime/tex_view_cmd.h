// CTexViewCmd: what a texture-view command of the generated C shows, one
// picture (texture and palette names, parameter); the command adds the
// number of frames it stays. The camera matrix uses the same record for its
// cells.
#pragma once

#include <cstdint>
#include <string>

struct CTexViewCmd {
  std::string m_strTmfName;  // C name of the texture structure, e.g. tmf00
  std::string m_strTlfName;  // C name of the palette array, e.g. tlf00
  int32_t m_nParam = 0;
};

/// Appends the initialiser of a texture-view record showing `cmd` for
/// `frames` frames (camera cells: 0), as both writers write it:
/// "{ {ANMCTRL_TEX_VIEW},&tmf00,tlf00,0,10}".
inline void AppendTexViewInitializer(std::string& text, const CTexViewCmd& cmd, int32_t frames) {
  text += "{ {ANMCTRL_TEX_VIEW},&";
  text += cmd.m_strTmfName;
  text += ',';
  text += cmd.m_strTlfName;
  text += ',';
  text += std::to_string(cmd.m_nParam);
  text += ',';
  text += std::to_string(frames);
  text += '}';
}
