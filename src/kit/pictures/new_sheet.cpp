#include "kit/pictures/new_sheet.h"

#include <iostream>
#include <set>
#include <utility>

#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/common/progress.h"
#include "kit/common/regular_file.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/frame_view.h"
#include "kit/pictures/new_names.h"
#include "kit/pictures/palette_fit.h"
#include "kit/pictures/sheet_animations.h"
#include "kit/pictures/sheet_json.h"
#include "kit/pictures/sheet_palette.h"
#include "kit/pictures/sheet_project.h"
#include "path/file_system.h"
#include "texture/texture_format.h"
#include "texture/tlf_palette.h"

namespace {

// new has no --ia16: a sheet's pictures take RGBA 5551 entries.
constexpr PaletteType kSheetPalette = PaletteType::kRgba5551;

bool Report(const CSheetFailure& failure, const CKitReporter& reporter) {
  return reporter.Error(failure.file, failure.what);
}

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

// What the project records of the art file `path`: where it lies from the
// project, and its print, read before the file is loaded, so that an edit
// made meanwhile is seen by the next sync.
bool RecordFile(const NewOptions& options, const std::string& path, CRecordedFile& file,
                const CKitReporter& reporter) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return reporter.Error(path, "cannot be read");
  file = {FromProject(options, path), PrintBytes(bytes)};
  return true;
}

bool LoadJsonSheet(const NewOptions& options, CLoadedSheet& sheet, const CKitReporter& reporter) {
  if (!CheckRegularFile(options.sheet, "a sheet's JSON", reporter)) return false;
  if (!RecordFile(options, options.sheet, sheet.record.source, reporter)) return false;
  CSheetFailure failure;
  if (!LoadSheetJson(options.sheet, sheet.description, failure)) return Report(failure, reporter);
  const std::string png = SheetImagePath(sheet.description);
  if (!CheckRegularFile(png, "a PNG file", reporter)) return false;
  sheet.record.image.emplace();
  if (GetFileStatus(png).exists && !RecordFile(options, png, *sheet.record.image, reporter))
    return false;
  if (!LoadSheetImage(sheet.description, sheet.image, failure)) return Report(failure, reporter);
  sheet.inputs = {options.sheet, png};
  return true;
}

bool LoadGridSheet(const NewOptions& options, CLoadedSheet& sheet, const CKitReporter& reporter) {
  if (options.pictures.size() != 1)
    return reporter.Error("--grid",
                          "takes one sheet PNG, not " + std::to_string(options.pictures.size()));
  const std::string& png = options.pictures.front();
  uint32_t width = 0;
  uint32_t height = 0;
  if (!ParseCell(options.grid, width, height))
    return reporter.Error("--grid", "'" + options.grid + "' is no cell size WxH (say 32x32)");
  if (!CheckRegularFile(png, "a PNG file", reporter) ||
      !RecordFile(options, png, sheet.record.source, reporter))
    return false;
  sheet.record.grid = std::to_string(width) + "x" + std::to_string(height) + "," +
                      std::to_string(options.duration);
  std::string message;
  if (!sheet.image.Load(png, message)) return reporter.Error(png, message);
  CSheetFailure failure;
  if (!SliceSheetGrid(sheet.image, png, width, height, options.duration, sheet.description,
                      sheet.leftOut, failure))
    return Report(failure, reporter);
  sheet.inputs = {png};
  return true;
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

// The sheet's palette through `old`, the one the project has: every colour
// it holds keeps its index. False after the message when it is full.
bool FitPalette(const NewOptions& options, const CLoadedSheet& sheet, const CTlfPalette& old,
                CSheetProject& project, const CKitReporter& reporter) {
  const CSheetDescription& description = sheet.description;
  CPaletteFit fit(old.GetEntries(), kSheetPalette);
  for (const uint32_t first : project.pictures.firstFrames) {
    const CSheetFrame& frame = description.frames[first];
    const CFrameView view(sheet.image, frame);
    for (uint32_t y = 0; y < view.GetHeight(); ++y) {
      for (uint32_t x = 0; x < view.GetWidth(); ++x) {
        uint16_t entry = 0;
        ToPixelEntry(view.At(x, y), kSheetPalette, entry);
        if (fit.Take(entry) < 0) fit.Ask(entry, {description.source, frame.label, x, y, view.At(x, y)});
      }
    }
  }
  CNewColour full;
  if (!fit.Place(full))
    return ReportNoPlace(full, NewTarget(options, options.name + ".tlf"),
                         fit.GetEntries().size(), reporter);
  project.palette = fit.GetLookup();
  project.bits = old.GetEntryCount() <= 16 ? 4 : 8;
  return true;
}

}  // namespace

bool LoadSheet(const NewOptions& options, CLoadedSheet& sheet, const CKitReporter& reporter) {
  sheet.record.fps = options.fps;
  return options.grid.empty() ? LoadJsonSheet(options, sheet, reporter)
                              : LoadGridSheet(options, sheet, reporter);
}

bool TimeAnimations(const NewOptions& options, const CSheetDescription& sheet,
                    std::vector<CTimedAnimation>& timed, const CKitReporter& reporter) {
  std::vector<std::string> files;
  CSheetFailure failure;
  if (!TagFileNames(sheet, options.name, files, failure)) return Report(failure, reporter);
  files.insert(files.begin(), options.name + ".taf");
  const std::vector<CSheetAnimation> animations = SheetAnimations(sheet);
  for (size_t at = 0; at < animations.size(); ++at) {
    CTimedAnimation animation{files[at], animations[at].tag, animations[at].plays.size(), {}};
    const std::string path = NewTarget(options, files[at]);
    std::string message;
    if (!TimeSheetAnimation(sheet, animations[at].plays, options.fps, animation.timing, message))
      return reporter.Error(path, message);
    // A frame a tag repeats is told of once.
    std::set<uint32_t> told;
    for (const uint32_t frame : animation.timing.skipped) {
      if (told.insert(frame).second)
        reporter.Warning(path, SkippedFrameText(sheet.frames[frame], options.fps));
    }
    timed.push_back(std::move(animation));
  }
  return true;
}

bool FindPictures(const NewOptions& options, const CLoadedSheet& sheet, CSheetProject& project,
                  const CTlfPalette* old, const CKitReporter& reporter) {
  const CSheetDescription& description = sheet.description;
  CSheetFailure failure;
  if (!FindSheetPictures(sheet.image, description, kSheetPalette, project.pictures, failure))
    return Report(failure, reporter);
  if (old != nullptr) {
    if (!FitPalette(options, sheet, *old, project, reporter)) return false;
  } else {
    project.palette = BuildSheetPalette(sheet.image, description, project.pictures, kSheetPalette);
    const int colours = project.palette.GetCount();
    if (colours > 256)
      return reporter.Error(description.source,
                            "its pictures have " + std::to_string(colours) +
                                " colours; one palette holds at most 256: reduce the sheet's "
                                "colours first (for example with pngquant)");
    project.bits = colours <= 16 ? 4 : 8;
  }
  // Pictures are named after their first frames; their images after the
  // project too, so that two sheets' projects can share a folder.
  std::vector<std::string> firstNames;
  for (const uint32_t first : project.pictures.firstFrames)
    firstNames.push_back(description.frames[first].name);
  const std::string source = EscapeArtPath(sheet.record.source.path) + ",";
  const std::vector<std::string> names = PictureNames(firstNames);
  for (size_t at = 0; at < names.size(); ++at)
    project.listed.push_back({names[at], options.name + "-" + names[at] + ".tmf",
                              options.name + ".tlf",
                              source + std::to_string(project.pictures.firstFrames[at])});
  return true;
}

std::vector<std::string> SheetTargets(const NewOptions& options, const CSheetProject& project,
                                      const std::vector<CTimedAnimation>& animations) {
  std::vector<std::string> targets;
  for (const CProjectPicture& picture : project.listed)
    targets.push_back(NewTarget(options, picture.tmf));
  for (const std::string& file : {options.name + ".tlf", options.name + ".tpf"})
    targets.push_back(NewTarget(options, file));
  for (const CTimedAnimation& animation : animations)
    targets.push_back(NewTarget(options, animation.file));
  return targets;
}

bool WriteSheetProject(const NewOptions& options, const CLoadedSheet& sheet,
                       const CSheetProject& project, const std::vector<CTimedAnimation>& animations,
                       const SheetWriter& write, const CKitReporter& reporter) {
  const CSheetDescription& description = sheet.description;
  // Each picture's image is made and handed on before the next: the sheet
  // is all the job holds of its pixels.
  CProgress progress("new", project.listed.size());
  for (size_t at = 0; at < project.listed.size(); ++at) {
    progress.Step(project.listed[at].tmf);
    const CSheetFrame& frame = description.frames[project.pictures.firstFrames[at]];
    if (!write(NewTarget(options, project.listed[at].tmf),
               EncodeSheetPicture(sheet.image, frame, project.palette, kSheetPalette,
                                  project.bits)))
      return false;
  }
  const std::string origin = Origin(options, description);
  const std::string tpf = options.name + ".tpf";
  const std::string tpfText =
      MarkSynced(MakeTpfText(origin + ".", project.listed, SheetArtText(sheet.record, project.listed)));
  if (!CheckLineLengths(NewTarget(options, tpf), tpfText, reporter) ||
      !write(NewTarget(options, options.name + ".tlf"),
             EncodeTlf(static_cast<uint32_t>(kSheetPalette), project.palette.GetEntries(),
                       project.bits)) ||
      !write(NewTarget(options, tpf), tpfText))
    return false;
  for (const CTimedAnimation& animation : animations) {
    std::vector<CProjectKey> keys;
    for (const CTimedKey& key : animation.timing.keys)
      keys.push_back({key.start, project.listed[project.pictures.pictureOfFrame[key.frame]].name});
    const std::string text = MakeTafText(AnimationOrigin(origin, animation, options.fps), tpf, keys,
                                         animation.timing.frameLength);
    if (!write(NewTarget(options, animation.file), MarkSynced(text))) return false;
  }
  return true;
}

namespace {

bool MakeSheetProject(const NewOptions& options) {
  CLoadedSheet sheet;
  std::vector<CTimedAnimation> animations;
  CSheetProject project;
  const CKitReporter console;
  if (!LoadSheet(options, sheet, console) ||
      !TimeAnimations(options, sheet.description, animations, console) ||
      !FindPictures(options, sheet, project, nullptr, console))
    return false;

  const std::vector<std::string> targets = SheetTargets(options, project, animations);
  if (!options.force) {
    for (const std::string& target : targets) {
      if (GetFileStatus(target).exists)
        return ReportKitError(target, "exists already: give --force to replace it");
    }
  }
  CStagedFiles files(sheet.inputs);
  if (!files.Plan(targets)) return false;
  if (!options.outDir.empty() && !files.MakeFolders(options.outDir)) return false;
  const auto stage = [&files](const std::string& target, const std::string& bytes) {
    return files.Stage(target, bytes);
  };
  if (!WriteSheetProject(options, sheet, project, animations, stage, console) || !files.Commit())
    return false;
  Summarize(options, sheet, project.listed.size(), project.palette.GetCount(), project.bits,
            animations);
  return true;
}

}  // namespace

int RunNewSheet(const NewOptions& options) { return MakeSheetProject(options) ? 0 : 1; }
