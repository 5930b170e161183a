#include "kit/pictures/project_text.h"

std::string CommentText(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

namespace {

std::string OriginLine(const std::string& origin) {
  return origin.empty() ? "" : "# " + CommentText(origin) + "\n";
}

}  // namespace

std::string MakeTpfText(const std::string& origin, const std::vector<CProjectPicture>& pictures) {
  std::string text =
      "# A flipdeck picture project, made by flipdeck-kit new.\n" + OriginLine(origin) +
      "# PICT_NUM: how many pictures it lists. PICT.n = name,TMF image,TLF palette:\n"
      "# picture n; the files lie beside this project.\n"
      "PICT_NUM = " +
      std::to_string(pictures.size()) + "\n";
  for (size_t i = 0; i < pictures.size(); ++i) {
    const CProjectPicture& picture = pictures[i];
    text += "PICT." + std::to_string(i) + " = " + picture.name + "," + picture.tmf + "," +
            picture.tlf + "\n";
  }
  return text;
}

std::string MakeTafText(const std::string& origin, const std::string& tpf,
                        const std::vector<CProjectKey>& keys, int64_t length) {
  std::string text =
      "# A flipdeck animation, made by flipdeck-kit new. Convert it from this\n"
      "# directory: flipdeck reads TPF.0.FILE from where it runs.\n" +
      OriginLine(origin) +
      "# TPF.NUM: how many picture projects; TPF.0.FILE: project 0.\n"
      "TPF.NUM = 1\n"
      "TPF.0.FILE = " +
      tpf +
      "\n"
      "# FRAME_ANIM = 1 switches the frame sequence on; FRAME_LENGTH: its frames.\n"
      "FRAME_ANIM = 1\n"
      "FRAME_LENGTH = " +
      std::to_string(length) +
      "\n"
      "# FRAME_KEY: how many key frames. FRAME_KEYn = first frame,project,picture:\n"
      "# from that frame on, the picture is on view.\n"
      "FRAME_KEY = " +
      std::to_string(keys.size()) + "\n";
  for (size_t i = 0; i < keys.size(); ++i) {
    text += "FRAME_KEY" + std::to_string(i) + " = " + std::to_string(keys[i].start) + ",0," +
            keys[i].picture + "\n";
  }
  text += "# CAM_ANIM = 0: no camera grid.\nCAM_ANIM = 0\n";
  return text;
}
