// CTexViewCmd: one texture-view command of the generated C, a record that
// shows one picture (texture and palette names, parameter) for a number of
// frames. The camera matrix uses the same record for its cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CTexViewCmd {
  std::string m_strTmfName;  // C name of the texture structure, e.g. tmf00
  std::string m_strTlfName;  // C name of the palette array, e.g. tlf00
  int32_t m_nParam = 0;
  int32_t m_nFrames = 0;  // camera cells: 0
};

using CTexViewCmdArray = std::vector<CTexViewCmd>;

/// Appends the initialiser of a texture-view record, as both writers write
/// it: "{ {ANMCTRL_TEX_VIEW},&tmf00,tlf00,0,10}".
inline void AppendTexViewInitializer(std::string& text, const CTexViewCmd& cmd) {
  text += "{ {ANMCTRL_TEX_VIEW},&";
  text += cmd.m_strTmfName;
  text += ',';
  text += cmd.m_strTlfName;
  text += ',';
  text += std::to_string(cmd.m_nParam);
  text += ',';
  text += std::to_string(cmd.m_nFrames);
  text += '}';
}
