#include "kit/pictures/new.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "kit/common/art_record.h"
#include "kit/common/diagnostics.h"
#include "kit/common/staged_files.h"
#include "kit/pictures/import.h"
#include "kit/pictures/new_names.h"
#include "kit/pictures/new_sheet.h"
#include "kit/pictures/project_text.h"
#include "path/file_system.h"
#include "path/path_utils.h"
#include "settings/key_value_file.h"
#include "settings/value_integers.h"

namespace fs = std::filesystem;

namespace {

// The frames of each picture from "N" or "N1,N2,...". False after the
// message when a count is no whole number of at least 1, or the list is not
// as long as the pictures.
bool ParseFrames(const NewOptions& options, std::vector<int32_t>& frames) {
  // Fields between commas; a comma at the end opens no further field.
  std::vector<std::string> fields;
  for (size_t start = 0; start < options.frames.size() || fields.empty();) {
    const size_t comma = std::min(options.frames.find(',', start), options.frames.size());
    fields.push_back(options.frames.substr(start, comma - start));
    start = comma + 1;
  }
  std::vector<int32_t> counts;
  for (const std::string& field : fields) {
    size_t end = 0;
    long long count = 0;
    try {
      count = std::stoll(field, &end);
    } catch (const std::exception&) {
      end = 0;
    }
    if (end == 0 || end != field.size() || count < 1 || count > std::numeric_limits<int32_t>::max())
      return ReportKitError("--frames", "'" + field + "' is no number of frames (1 or more)");
    counts.push_back(static_cast<int32_t>(count));
  }
  if (counts.size() == 1) counts.assign(options.pictures.size(), counts.front());
  if (counts.size() != options.pictures.size())
    return ReportKitError("--frames", "gives " + std::to_string(counts.size()) + " counts for " +
                                          std::to_string(options.pictures.size()) + " pictures");
  frames = counts;
  return true;
}

// Refuses, before any picture is read, what the project files cannot carry,
// so that every project new writes converts from the folder it goes to.
bool CheckProjectName(const NewOptions& options) {
  const std::string taf = NewTarget(options, options.name + ".taf");
  if (options.name.find_first_of("/\\") != std::string::npos)
    return ReportKitError(taf, "NAME " + options.name +
                                   " holds a directory separator: NAME names the project's files, "
                                   "--out-dir the folder they go to");
  if (!options.name.empty() && IsWhiteSpace(options.name.front()))
    return ReportKitError(taf,
                          "NAME begins with a blank, which flipdeck drops from TPF.0.FILE: "
                          "choose another name");
  if (options.name.starts_with('-'))
    return ReportKitError(taf,
                          "NAME begins with '-': flipdeck would take NAME.taf for an option; "
                          "choose another name");
  if (const std::string trouble = ValueTrouble(options.name); !trouble.empty())
    return ReportKitError(taf, "NAME holds " + trouble + ": choose another name");
  // The project's own folder is where flipdeck looks for its images and
  // palettes, read as a list of folders.
  std::string folder;
  if (GetFullPath(options.outDir, folder) && folder.find(';') != std::string::npos)
    return ReportKitError(folder,
                          "holds ';', which separates the folders flipdeck searches for "
                          "the project's images: it would find none there; choose a "
                          "folder without ';'");
  return true;
}

bool CheckPictureNames(const NewOptions& options) {
  for (const std::string& picture : options.pictures) {
    // The picture's images and palettes take its name.
    const std::string stem = fs::path(ToNativePath(picture)).stem().string();
    if (const std::string trouble = ValueTrouble(stem); !trouble.empty())
      return ReportKitError(picture, "its name holds " + trouble + ": rename it");
  }
  return true;
}

}  // namespace

std::string NewTarget(const NewOptions& options, const std::string& name) {
  return options.outDir.empty() ? name : (fs::path(ToNativePath(options.outDir)) / name).string();
}

std::string FromProject(const NewOptions& options, const std::string& path) {
  std::string folder;
  std::string file;
  if (!GetFullPath(options.outDir, folder) || !GetFullPath(path, file)) return path;
  while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return fs::path(ToNativePath(file)).lexically_relative(ToNativePath(folder)).generic_string();
}

bool CheckLineLengths(const std::string& target, const std::string& text,
                      const CKitReporter& reporter) {
  bool fits = true;
  CKeyValueFile::ForEachLine(text, [&fits](int, std::string_view line) {
    fits = fits && line.size() <= 511;
  });
  return fits || reporter.Error(target,
                               "would hold a line longer than the 511 characters flipdeck reads "
                               "as one: the path to the art is too long; move the art nearer");
}

int RunNew(const NewOptions& options) {
  if (!CheckProjectName(options)) return 1;
  if (!options.sheet.empty() || !options.grid.empty()) return RunNewSheet(options);
  std::vector<int32_t> frames;
  if (!ParseFrames(options, frames) || !CheckPictureNames(options)) return 1;
  int64_t length = 0;
  for (int32_t count : frames) length += count;
  if (length > std::numeric_limits<int32_t>::max()) {
    ReportKitError("--frames", "add up to more frames than an animation may have");
    return 1;
  }

  // A picture shown twice is imported and listed once.
  std::vector<std::string> distinct;
  std::vector<size_t> shown;
  for (const std::string& picture : options.pictures) {
    size_t at = 0;
    while (at < distinct.size() && !NamesSameFile(distinct[at], picture) && distinct[at] != picture)
      ++at;
    if (at == distinct.size()) distinct.push_back(picture);
    shown.push_back(at);
  }

  // One palette for all when they fit it, else one each: a survey of their
  // colours tells.
  ImportOptions import;
  import.pictures = distinct;
  import.outDir = options.outDir.empty() ? "." : options.outDir;
  const std::string shared = NewTarget(options, options.name + ".tlf");
  import.shared = shared;
  CImporter sharing(import);
  for (const std::string& picture : distinct) {
    if (!sharing.Survey(picture)) return 1;
  }
  const bool fitsOne = sharing.GetSharedColourCount() <= 256;
  if (!fitsOne) import.shared.clear();
  CImporter importer(import);

  const std::string tpf = options.name + ".tpf";
  const std::string taf = options.name + ".taf";
  std::vector<std::string> targets = importer.Targets();
  targets.push_back(NewTarget(options, tpf));
  targets.push_back(NewTarget(options, taf));
  if (!options.force) {
    for (const std::string& target : targets) {
      if (!GetFileStatus(target).exists) continue;
      ReportKitError(target, "exists already: give --force to replace it");
      return 1;
    }
  }
  CStagedFiles files(importer.Inputs());
  if (!files.Plan(targets)) return 1;
  if (!options.outDir.empty() && !files.MakeFolders(options.outDir)) return 1;
  CImporter& chosen = fitsOne ? sharing : importer;
  for (const std::string& picture : distinct) {
    if (!chosen.Import(picture, files, true)) return 1;
  }

  const std::vector<std::string> names = PictureNames(distinct);
  std::vector<CProjectPicture> listed;
  for (size_t at = 0; at < distinct.size(); ++at) {
    const auto file = [&](const char* extension) {
      return fs::path(ImportTarget(distinct[at], import.outDir, extension)).filename().string();
    };
    listed.push_back({names[at], file(".tmf"), fitsOne ? options.name + ".tlf" : file(".tlf"),
                      EscapeArtPath(FromProject(options, distinct[at]))});
  }
  std::vector<CProjectKey> keys;
  int64_t start = 0;
  for (size_t at = 0; at < shown.size(); ++at) {
    keys.push_back({start, names[shown[at]]});
    start += frames[at];
  }
  const std::string tpfText = MakeTpfText("", listed, PngArtText(listed, fitsOne));
  return CheckLineLengths(NewTarget(options, tpf), tpfText) && chosen.Finish(files) &&
                 files.Stage(NewTarget(options, tpf), tpfText) &&
                 files.Stage(NewTarget(options, taf), MakeTafText("", tpf, keys, length)) &&
                 files.Commit()
             ? 0
             : 1;
}
