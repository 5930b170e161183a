#include "kit/check/check_rules.h"

#include "kit/check/check_settings.h"

CCheckContext::CCheckContext(const CheckOptions& checkOptions)
    : options(checkOptions),
      paths(checkOptions.anime),
      anime(ReportLoaderError),
      taf(paths.Name(checkOptions.anime)) {}

const CKeyRules& TafKeyRules() {
  static const CKeyRules rules{
      {"FRAME_ANIM", "FRAME_LENGTH", "FRAME_KEY", "TPF.NUM", "CAM_ANIM", "CAM_XZ_NUM", "CAM_Y_NUM"},
      {"FRAME_KEY#", "TPF.#.FILE", "CAM.#.#"},
      {"CAM."}};
  return rules;
}

const CKeyRules& TpfKeyRules() {
  // The art keys are the kit's: flipdeck passes over them.
  static const CKeyRules rules{{"PICT_NUM", "TMF_DIR", "TLF_DIR", "TPF_DIR", "ART.PALETTE",
                                "ART.SHEET", "ART.SHEET.IMAGE", "ART.SHEET.GRID", "ART.SHEET.FPS"},
                               {"PICT.#", "ART.#"},
                               {}};
  return rules;
}

bool ReadCheckedNumber(CCheckContext& c, const std::string& key, const std::string& zeroMeans,
                       int32_t& value) {
  const std::optional<std::string_view> raw = c.anime.GetSettings()->Find(key);
  if (!raw) return false;
  const IntReading reading = InspectStreamInt(*raw);
  CheckNumber(c.report, c.taf, c.Line(key), key, *raw, reading, zeroMeans);
  value = reading.value;
  return true;
}
