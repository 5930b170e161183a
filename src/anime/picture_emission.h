// Picture emission: turns one picture reference of the anime description (a
// project index and a picture name) into the C names of its texture and
// palette, writing each TMF and TLF file's C data into the output the first
// time a writer needs it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "anime/tex_view_cmd.h"

class CAnimeFile;
class CCOutput;
class CPictureLibrary;

/// The words in which the sequence and the camera writers differ.
struct EmissionWords {
  std::string tmfPrefix;        // "tmf" or "camtmf"
  std::string tlfPrefix;        // "tlf" or "camtlf"
  std::string missingProject;   // after the TPF.<n>.FILE key: " not exist"
  std::string pictureNotFound;  // after the picture name: " is not found in project file"
};

/// One writer's emission state: the files already written with their C
/// names, the two counts, and the names in use. Lives for one writer run.
class CPictureEmitter {
 public:
  CPictureEmitter(CAnimeFile& anime, CPictureLibrary& library, CCOutput& out, EmissionWords words,
                  bool verbose);

  /// Resolves `picture` of project `project`, writes its texture and palette
  /// data when they are new, and gives the record that shows it: its two
  /// names and parameter, held by the emitter for as long as it lives. Null
  /// after the console message of the failing step.
  const CTexViewCmd* Emit(int32_t project, const std::string& picture);

 private:
  /// The C name for a new file: prefix, project index and count side by
  /// side ("tmf112"), or with an underscore between the two numbers when
  /// that name is taken already ("tmf1_23" after "tmf123").
  std::string MakeName(const std::string& prefix, int32_t project, int32_t count);
  enum class FileKind { kTexture, kPalette };
  /// Gives the file at `path` its C name, writing its data the first time.
  bool EmitFile(FileKind kind, int32_t project, const std::string& path, std::string& name);

  CAnimeFile& m_anime;
  CPictureLibrary& m_library;
  CCOutput& m_out;
  EmissionWords m_words;
  bool m_bVerbose;
  std::unordered_map<std::string, std::string> m_mapEmitted;  // resolved path -> C name
  std::unordered_set<std::string> m_setNames;
  // "<project>,<picture>" -> the names and parameter it was given: a picture
  // shown by thousands of keys is resolved once.
  std::unordered_map<std::string, CTexViewCmd> m_mapShown;
  int32_t m_nTmfCount = 0;
  int32_t m_nTlfCount = 0;
};
