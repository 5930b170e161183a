// CAnimeFile: one loaded TAF anime description, its typed lookups, and the
// writers of the generated C source and header.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "path/staged_outputs.h"
#include "project/picture_library.h"
#include "settings/key_value_file.h"
#include "texture/load_report.h"
#include "texture/tlf_palette.h"
#include "texture/tmf_image.h"

class CCOutput;

class CAnimeFile {
 public:
  /// `report` hears why an image or palette the writers need did not load.
  explicit CAnimeFile(LoadReporter report) : m_report(std::move(report)) {}
  CAnimeFile(const CAnimeFile&) = delete;
  CAnimeFile& operator=(const CAnimeFile&) = delete;

  /// Replaces what is loaded by the TAF file at `tafPath`; false when it
  /// cannot be opened (the description then holds an empty settings file).
  bool Load(const std::string& tafPath);
  void Free();

  /// The settings of the TAF file, null before Load.
  const CKeyValueFile* GetSettings() const { return m_pSettings.get(); }

  /// The expanded value of `key`; false when absent or not expandable.
  bool GetString(std::string_view key, std::string& value) const;
  /// The raw value of `key` read as an integer (010 -> 8, 0x1A -> 26, "" -> 0);
  /// false only when the key is absent.
  bool GetInt(const std::string& key, int32_t& value) const;
  /// Key frame `index` (FRAME_KEY<index> = frame, project, picture name):
  /// fields split at runs of commas and tabs, blanks kept in the name;
  /// "5,,2,run" -> 5, 2, "run". False with fewer than three fields (the
  /// numbers read so far are set) or when the key is absent.
  bool GetFrameKey(int index, int32_t& frame, int32_t& project, std::string& picture) const;
  /// The names of the keys that begin with "CAM.", in the settings' key order.
  /// They stay valid while the description stays loaded.
  std::vector<std::string_view> GetCameraKeyNames() const;
  /// A camera key CAM.<x>.<y> and its value (project, picture name):
  /// "CAM.2.3" = "1,face" -> 2, 3, 1, "face". A number the key does not hold
  /// keeps the caller's value; a value without a number, or without a name
  /// after its comma, gives the empty name. False for a key not beginning
  /// with "CAM." or a value that cannot be read or expanded.
  bool GetCameraKey(std::string_view key, int32_t& x, int32_t& y, int32_t& project,
                    std::string& picture) const;

  /// Writes the C source with the animation sequence (and the header when
  /// `hPath` is not empty). True on success or when FRAME_ANIM is off.
  bool WriteSequenceSource(const std::string& cPath, const std::string& hPath, bool verbose);
  /// Appends the camera matrix part to the C source.
  bool WriteCameraSource(const std::string& cPath, const std::string& hPath, bool verbose);
  /// Writes the C header with the definitions of struct qmTMF and qmTLF.
  bool WriteHeader(const std::string& hPath, bool verbose);
  /// Gives the files the writers wrote their names: until now they exist
  /// only under temporary names, which go with this object unless renamed
  /// here. False when interrupted (silently) or when a file cannot take its
  /// name: then "err : [path] rename failed" names it, and none of the
  /// files remains.
  bool CommitOutputs();

  /// Loads the TMF file and writes its C data into `out`: two line ends,
  /// the image array and its struct qmTMF `name`.
  bool WriteTextureData(CCOutput& out, const std::string& tmfPath, const std::string& name);
  /// Loads the TLF file and writes its C data into `out`: a line end and
  /// the palette array `name`.
  bool WritePaletteData(CCOutput& out, const std::string& tlfPath, const std::string& name);

  /// Every file a conversion may read besides the TAF file: each project
  /// named by a TPF.<n>.FILE key, and the TMF and TLF files of each of its
  /// pictures that can be found (full paths). Used to keep the outputs off
  /// the inputs.
  std::vector<std::string> GetInputFiles() const;
  /// Whether `key` names a project for GetInputFiles: "TPF.<digits>.FILE".
  static bool IsProjectKey(std::string_view key);

 private:
  LoadReporter m_report;
  std::unique_ptr<CKeyValueFile> m_pSettings;
  // What the writers wrote, under temporary names until CommitOutputs.
  CStagedOutputs m_outputs;
  // The projects both writers read, each file read and searched once a run.
  CPictureLibrary m_library;
  // The images and palettes the sequence part wrote, for the camera part,
  // which writes them again under names of its own (picture_data.cpp).
  std::map<std::string, std::unique_ptr<const CTmfImage>> m_mapImages;
  std::map<std::string, std::unique_ptr<const CTlfPalette>> m_mapPalettes;
  uint64_t m_nKeptBytes = 0;
};
