#include "app/driver.h"

#include <ios>
#include <string>

#include "anime/anime_file.h"
#include "anime/c_output.h"
#include "anime/console.h"
#include "app/option.h"
#include "path/file_system.h"
#include "path/path_utils.h"

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

// Refuses outputs that would destroy the animation or each other: the
// outputs are deleted before the TAF file is read, so a typo such as
// "-o walk.taf" would otherwise delete the user's work. Refuses as well a
// header the C cannot include by its name.
bool CheckOutputsApart(const std::string& animePath, const std::string& cPath,
                       const std::string& hPath) {
  // The C includes the header by the name as typed; one it cannot carry
  // would break the C or make it include another file.
  if (!CanIncludeHeader(hPath)) return ReportPathError(hPath, " can not be named in #include");
  if (NamesSameFile(cPath, animePath)) return ReportPathError(cPath, " is both input and output");
  if (NamesSameFile(hPath, animePath)) return ReportPathError(hPath, " is both input and output");
  if (NamesSameFile(cPath, hPath)) return ReportPathError(cPath, " is named by both -o and -e");
  return true;
}

// Refuses outputs that name a project, image or palette of the conversion.
bool CheckOutputsOffInputs(const CAnimeFile& anime, const std::string& cPath,
                           const std::string& hPath) {
  if (cPath.empty() && hPath.empty()) return true;
  const CFileName c(cPath);
  const CFileName h(hPath);
  for (const std::string& input : anime.GetInputFiles()) {
    const CFileName in(input);
    if (c.IsSameAs(in)) return ReportPathError(cPath, " is both input and output");
    if (h.IsSameAs(in)) return ReportPathError(hPath, " is both input and output");
  }
  return true;
}

}  // namespace

void PrintBanner() {
  // Hexadecimal from here to the end of the run: the version mark is built
  // on it (145 prints as 91) and later console integers are read that way.
  Console() << std::hex;
  PrintLine(" ");
  Console() << "Quillmark Flipdeck version" << 0 << "." << 145 << "A";
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

  if (!CheckOutputsApart(anime, c, h)) return false;

  // The description is read before the outputs go, so that the projects,
  // images and palettes it names are known: they are inputs as much as the
  // TAF file is.
  CAnimeFile animeFile;
  const bool loaded = !anime.empty() && animeFile.Load(anime);
  if (loaded && !CheckOutputsOffInputs(animeFile, c, h)) return false;

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
