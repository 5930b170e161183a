#include "kit/check.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "kit/check_rules.h"
#include "kit/check_settings.h"
#include "kit/settings_trouble.h"

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
  static const CKeyRules rules{{"PICT_NUM", "TMF_DIR", "TLF_DIR", "TPF_DIR"}, {"PICT.#"}, {}};
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

void AddCheckCommand(CLI::App& app, CheckOptions& options, std::function<int()>& job) {
  CLI::App* command = app.add_subcommand(
      "check",
      "Report every problem of an animation, as FILE:LINE: error: MESSAGE, and what "
      "flipdeck will do with it");
  command
      ->add_option("anime", options.anime,
                   "the TAF file, read from the working directory as flipdeck reads it")
      ->required();
  command->add_option("--header", options.header, "the header flipdeck's -e would name");
  command->add_flag("--werror", options.werror, "treat warnings as errors");
  command->add_flag("--summary", options.summary,
                    "add a table of the pictures and the bytes their data takes in the C");
  command->callback(
      [&options, &job] { job = [&options] { return RunCheck(options, std::cout); }; });
}

int RunCheck(const CheckOptions& options, std::ostream& out) {
  CCheckContext c(options);
  if (!CKeyValueFile::ReadText(options.anime, c.tafText) || !c.anime.Load(options.anime)) {
    c.report.Error(c.taf, 0,
                   SettingsFileTrouble(options.anime) + ": flipdeck " +
                       StopsWith("[" + options.anime + "] can not open"));
    c.report.Print(out, options.werror);
    return 1;
  }
  CheckLines(c.report, c.taf, c.tafText, TafKeyRules());
  CheckUnknownKeys(c.report, c.taf, *c.anime.GetSettings(), c.tafText, TafKeyRules());
  c.uses = ListPictureUses(c.anime);
  CheckSequence(c);
  CheckCamera(c);
  CheckPictures(c);
  CheckProjects(c);
  c.report.Print(out, options.werror);
  if (options.summary) PrintSummary(c, out);
  return c.report.HasErrors(options.werror) ? 1 : 0;
}
