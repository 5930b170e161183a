#include "app/driver.h"

#include <string>
#include <string_view>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "anime/outputs_apart.h"
#include "app/error_box.h"
#include "app/option.h"
#include "path/file_system.h"

namespace {

// One line of the driver's own text: the text, a line feed, a flush.
void PrintLine(const char* text) {
  Console() << text;
  ConsoleLineEnd();
}

// An "err : [path]<what>" line between two console line ends.
bool ReportPathError(const std::string& path, const char* what) {
  return ReportError("[" + path + "]" + what);
}

// A refused output: "err : [walk.taf] is both input and output".
bool ReportRefusedOutput(const std::string& path, std::string_view reason) {
  return ReportError("[" + path + "] " + std::string(reason));
}

}  // namespace

void PrintBanner() {
  PrintLine(" ");
  // The version mark is made of console integers: 145 prints as 91.
  Console() << "Quillmark Flipdeck version" << ConsoleInteger(0) << "." << ConsoleInteger(145)
            << "A";
  ConsoleLineEnd();
  PrintLine("Copyright (C) 2026 the flipdeck developers");
}

void PrintUsage() {
  PrintLine("usage: flipdeck [option] infile");
  PrintLine("infile  ... TAF format file");
  PrintLine("output  ... 2D Flipdeck C source");
  PrintLine("option");
  PrintLine("---------------------------------default---");
  PrintLine("-v             verbose mode    : off");
  PrintLine("-o<filename>   output C file   : stdout");
  PrintLine("-e<filename>   output H file   : off");
  PrintLine("-?,-h          usage display   : off");
  PrintLine("");
}

bool ParseCommandLine(COption& option, int argc, const char* const* argv) {
  option.AddOption('h', kSwitchOption, nullptr);
  option.AddOption('?', kSwitchOption, nullptr);
  option.AddOption('o', kValueOption, "");
  option.AddOption('e', kValueOption, "");
  option.AddOption('v', kSwitchOption, nullptr);

  const bool error = option.Parse(argc, argv);
  bool help = false;
  option.GetFlag('h', help);
  if (help) return false;
  option.GetFlag('?', help);
  if (help) return false;
  if (error) return false;
  return option.GetArgumentCount() > 0;
}

bool RunConversion(const char* animePath, const char* cPath, const char* hPath, bool verbose) {
  const std::string anime = animePath != nullptr ? animePath : "";
  const std::string c = cPath != nullptr ? cPath : "";
  const std::string h = hPath != nullptr ? hPath : "";

  if (!CheckOutputsApart(anime, c, h, ReportRefusedOutput)) return false;

  // The description is read before the outputs go, so that the projects,
  // images and palettes it names are known: they are inputs as much as the
  // TAF file is.
  CAnimeFile animeFile(ShowErrorBox);
  const bool loaded = !anime.empty() && animeFile.Load(anime);
  if (loaded && !CheckOutputsOffInputs(animeFile, c, h, ReportRefusedOutput)) return false;

  // Outputs of an earlier run go first, so a failing run leaves none behind.
  RemoveOutputFile(c);
  RemoveOutputFile(h);
  if (!loaded) return ReportPathError(anime, " can not open");
  if (!animeFile.WriteSequenceSource(c, h, verbose)) return false;
  if (!animeFile.WriteCameraSource(c, h, verbose)) return false;
  // Only now do the outputs appear under their names: a reader, a build
  // tool or the next run never meets a C file that a failed run cut short.
  if (!animeFile.CommitOutputs()) return false;
  animeFile.Free();
  return true;
}

int RunFlipdeck(int argc, const char* const* argv) {
  PrintBanner();

  // On POSIX a leading '/' starts an absolute path, not an option.
  COption option(HostPathStyle() == PathStyle::Windows ? "-/" : "-");
  if (!ParseCommandLine(option, argc, argv)) {
    PrintUsage();
    return 1;
  }

  std::string animePath;
  std::string cPath;
  std::string hPath;
  bool verbose = false;
  option.GetArgument(0, animePath);
  option.GetValue('o', cPath);
  option.GetValue('e', hPath);
  option.GetFlag('v', verbose);
  return RunConversion(animePath.c_str(), cPath.c_str(), hPath.c_str(), verbose) ? 0 : 1;
}
