#include "kit/pictures/new_sheet.h"

#include <filesystem>
#include <iostream>
#include <set>
#include <utility>

#include "kit/common/diagnostics.h"
#include "kit/common/progress.h"
#include "kit/common/regular_file.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/new_names.h"
#include "kit/pictures/project_text.h"
#include "kit/pictures/sheet_animations.h"
#include "kit/pictures/sheet_json.h"
#include "kit/pictures/sheet_palette.h"
#include "kit/pictures/sheet_timing.h"
#include "path/file_system.h"
#include "texture/texture_format.h"

namespace fs = std::filesystem;

namespace {

// new has no --ia16: a sheet's pictures take RGBA 5551 entries.
constexpr PaletteType kSheetPalette = PaletteType::kRgba5551;

// The sheet as read, over its pixels, held once for the whole job.
struct CLoadedSheet {
  CSheetDescription description;
  CSheetImage image;
  std::vector<std::string> inputs;  // the JSON and the PNG, or the PNG
  uint32_t leftOut = 0;             // a grid's trailing transparent cells
};

// One animation as its TAF shows it.
struct CTimedAnimation {
  std::string file;  // NAME.taf, NAME-TAG.taf
  const CSheetTag* tag = nullptr;
  size_t plays = 0;
  CSheetTiming timing;
};

bool Report(const CSheetFailure& failure) { return ReportKitError(failure.file, failure.what); }

// "32x16" -> 32, 16: digits, 'x', digits.
bool ParseCell(const std::string& text, uint32_t& width, uint32_t& height) {
  const size_t x = text.find_first_of("xX");
  const auto number = [](const std::string& digits, uint32_t& value) {
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    value = static_cast<uint32_t>(std::stoul(digits));
    return true;
  };
  return x != std::string::npos && number(text.substr(0, x), width) &&
         number(text.substr(x + 1), height);
}

bool LoadJsonSheet(const NewOptions& options, CLoadedSheet& sheet) {
  if (!CheckRegularFile(options.sheet, "a sheet's JSON")) return false;
  CSheetFailure failure;
  if (!LoadSheetJson(options.sheet, sheet.description, failure)) return Report(failure);
  const std::string png = SheetImagePath(sheet.description);
  if (!CheckRegularFile(png, "a PNG file")) return false;
  if (!LoadSheetImage(sheet.description, sheet.image, failure)) return Report(failure);
  sheet.inputs = {options.sheet, png};
  return true;
}

bool LoadGridSheet(const NewOptions& options, CLoadedSheet& sheet) {
  if (options.pictures.size() != 1)
    return ReportKitError("--grid",
                          "takes one sheet PNG, not " + std::to_string(options.pictures.size()));
  const std::string& png = options.pictures.front();
  uint32_t width = 0;
  uint32_t height = 0;
  if (!ParseCell(options.grid, width, height))
    return ReportKitError("--grid", "'" + options.grid + "' is no cell size WxH (say 32x32)");
  if (!CheckRegularFile(png, "a PNG file")) return false;
  std::string message;
  if (!sheet.image.Load(png, message)) return ReportKitError(png, message);
  CSheetFailure failure;
  if (!SliceSheetGrid(sheet.image, png, width, height, options.duration, sheet.description,
                      sheet.leftOut, failure))
    return Report(failure);
  sheet.inputs = {png};
  return true;
}

// Times every animation of the sheet, warning of each frame that one of
// them cannot show.
bool TimeAnimations(const NewOptions& options, const CSheetDescription& sheet,
                    std::vector<CTimedAnimation>& timed) {
  std::vector<std::string> files;
  CSheetFailure failure;
  if (!TagFileNames(sheet, options.name, files, failure)) return Report(failure);
  files.insert(files.begin(), options.name + ".taf");
  const std::vector<CSheetAnimation> animations = SheetAnimations(sheet);
  for (size_t at = 0; at < animations.size(); ++at) {
    CTimedAnimation animation{files[at], animations[at].tag, animations[at].plays.size(), {}};
    const std::string path = NewTarget(options, files[at]);
    std::string message;
    if (!TimeSheetAnimation(sheet, animations[at].plays, options.fps, animation.timing, message))
      return ReportKitError(path, message);
    // A frame a tag repeats is told of once.
    std::set<uint32_t> told;
    for (const uint32_t frame : animation.timing.skipped) {
      if (told.insert(frame).second)
        ReportKitWarning(path, SkippedFrameText(sheet.frames[frame], options.fps));
    }
    timed.push_back(std::move(animation));
  }
  return true;
}

// `path` relative to the folder the project goes to, '/' between names:
// what the project files' comments call it.
std::string FromProject(const NewOptions& options, const std::string& path) {
  std::string folder;
  std::string file;
  if (!GetFullPath(options.outDir, folder) || !GetFullPath(path, file)) return path;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return fs::path(ToNativePath(file)).lexically_relative(ToNativePath(folder)).generic_string();
}

// Where the project came from, as its files' opening comments say it:
// "From the sheet ../art/walk.json", "From the sheet run.png in cells of
// 32 x 32".
std::string Origin(const NewOptions& options, const CSheetDescription& sheet) {
  std::string origin = "From the sheet " + FromProject(options, sheet.source);
  if (!options.grid.empty()) {
    const CSheetFrame& cell = sheet.frames.front();
    origin += " in cells of " + SizeText(cell.canvasWidth, cell.canvasHeight);
  }
  return origin;
}

// "...: every frame at 60 fps.", "...: its tag "run" at 60 fps."
std::string AnimationOrigin(const std::string& origin, const CTimedAnimation& animation,
                            int32_t fps) {
  const std::string what =
      animation.tag == nullptr ? "every frame" : "its tag \"" + animation.tag->name + "\"";
  return origin + ": " + what + " at " + std::to_string(fps) + " fps.";
}

// (1, "frame") -> "1 frame", (2, "frame") -> "2 frames".
std::string Count(size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void Summarize(const NewOptions& options, const CLoadedSheet& sheet, size_t pictures, int colours,
               int32_t bits, const std::vector<CTimedAnimation>& animations) {
  const CSheetDescription& description = sheet.description;
  std::cout << description.source << ": " << Count(description.frames.size(), "frame") << ", "
            << Count(pictures, "picture") << ", " << Count(static_cast<size_t>(colours), "colour")
            << " in " << options.name << ".tlf (" << bits << " bits a pixel)\n";
  for (const CTimedAnimation& animation : animations) {
    std::cout << NewTarget(options, animation.file) << ": " << Count(animation.plays, "frame")
              << " of the sheet in "
              << Count(static_cast<size_t>(animation.timing.frameLength), "frame") << " at "
              << options.fps << " fps";
    if (!animation.timing.skipped.empty())
      std::cout << ", " << animation.timing.skipped.size() << " too short to show";
    std::cout << "\n";
  }
  if (description.unusedSlices || description.unusedLayers) {
    const std::string unused = description.unusedSlices && description.unusedLayers
                                   ? "meta.slices and meta.layers are"
                               : description.unusedSlices ? "meta.slices is"
                                                          : "meta.layers is";
    std::cout << description.source << ": " << unused << " not used\n";
  }
  if (sheet.leftOut != 0)
    std::cout << description.source << ": " << Count(sheet.leftOut, "trailing cell")
              << " wholly transparent, left out\n";
}

// The sheet's pictures, their palette and their names in the project.
struct CSheetProject {
  CSheetPictures pictures;
  CPaletteBuilder palette{1};
  int32_t bits = 4;
  std::vector<CProjectPicture> listed;
};

bool FindPictures(const NewOptions& options, const CLoadedSheet& sheet, CSheetProject& project) {
  const CSheetDescription& description = sheet.description;
  CSheetFailure failure;
  if (!FindSheetPictures(sheet.image, description, kSheetPalette, project.pictures, failure))
    return Report(failure);
  project.palette = BuildSheetPalette(sheet.image, description, project.pictures, kSheetPalette);
  const int colours = project.palette.GetCount();
  if (colours > 256)
    return ReportKitError(description.source,
                          "its pictures have " + std::to_string(colours) +
                              " colours; one palette holds at most 256: reduce the sheet's "
                              "colours first (for example with pngquant)");
  project.bits = colours <= 16 ? 4 : 8;
  // Pictures are named after their first frames; their images after the
  // project too, so that two sheets' projects can share a folder.
  std::vector<std::string> firstNames;
  for (const uint32_t first : project.pictures.firstFrames)
    firstNames.push_back(description.frames[first].name);
  for (const std::string& name : PictureNames(firstNames))
    project.listed.push_back({name, options.name + "-" + name + ".tmf", options.name + ".tlf"});
  return true;
}

bool StageProject(const NewOptions& options, const CLoadedSheet& sheet,
                  const CSheetProject& project, const std::vector<CTimedAnimation>& animations,
                  CStagedFiles& files) {
  const CSheetDescription& description = sheet.description;
  // Each picture's image is made and staged before the next: the sheet is
  // all the job holds of its pixels.
  CProgress progress("new", project.listed.size());
  for (size_t at = 0; at < project.listed.size(); ++at) {
    progress.Step(project.listed[at].tmf);
    const CSheetFrame& frame = description.frames[project.pictures.firstFrames[at]];
    if (!files.Stage(
            NewTarget(options, project.listed[at].tmf),
            EncodeSheetPicture(sheet.image, frame, project.palette, kSheetPalette, project.bits)))
      return false;
  }
  const std::string origin = Origin(options, description);
  const std::string tpf = options.name + ".tpf";
  if (!files.Stage(NewTarget(options, options.name + ".tlf"),
                   EncodeTlf(static_cast<uint32_t>(kSheetPalette), project.palette.GetEntries(),
                             project.bits)) ||
      !files.Stage(NewTarget(options, tpf), MakeTpfText(origin + ".", project.listed)))
    return false;
  for (const CTimedAnimation& animation : animations) {
    std::vector<CProjectKey> keys;
    for (const CTimedKey& key : animation.timing.keys)
      keys.push_back({key.start, project.listed[project.pictures.pictureOfFrame[key.frame]].name});
    const std::string text = MakeTafText(AnimationOrigin(origin, animation, options.fps), tpf, keys,
                                         animation.timing.frameLength);
    if (!files.Stage(NewTarget(options, animation.file), text)) return false;
  }
  return true;
}

bool MakeSheetProject(const NewOptions& options) {
  CLoadedSheet sheet;
  const bool loaded =
      options.grid.empty() ? LoadJsonSheet(options, sheet) : LoadGridSheet(options, sheet);
  std::vector<CTimedAnimation> animations;
  CSheetProject project;
  if (!loaded || !TimeAnimations(options, sheet.description, animations) ||
      !FindPictures(options, sheet, project))
    return false;

  std::vector<std::string> targets;
  for (const CProjectPicture& picture : project.listed)
    targets.push_back(NewTarget(options, picture.tmf));
  for (const std::string& file : {options.name + ".tlf", options.name + ".tpf"})
    targets.push_back(NewTarget(options, file));
  for (const CTimedAnimation& animation : animations)
    targets.push_back(NewTarget(options, animation.file));
  if (!options.force) {
    for (const std::string& target : targets) {
      if (GetFileStatus(target).exists)
        return ReportKitError(target, "exists already: give --force to replace it");
    }
  }
  CStagedFiles files(sheet.inputs);
  if (!files.Plan(targets)) return false;
  if (!options.outDir.empty() && !files.MakeFolders(options.outDir)) return false;
  if (!StageProject(options, sheet, project, animations, files) || !files.Commit()) return false;
  Summarize(options, sheet, project.listed.size(), project.palette.GetCount(), project.bits,
            animations);
  return true;
}

}  // namespace

int RunNewSheet(const NewOptions& options) { return MakeSheetProject(options) ? 0 : 1; }
