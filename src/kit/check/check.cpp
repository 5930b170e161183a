#include "kit/check/check.h"

#include <sstream>

#include "kit/check/check_rules.h"
#include "kit/check/check_settings.h"
#include "kit/common/settings_trouble.h"

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

std::vector<std::string> CheckMessages(const std::string& anime) {
  CheckOptions options;
  options.anime = anime;
  std::ostringstream report;
  RunCheck(options, report);
  std::vector<std::string> lines;
  std::istringstream in(report.str());
  for (std::string line; std::getline(in, line);) lines.push_back(std::move(line));
  return lines;
}
