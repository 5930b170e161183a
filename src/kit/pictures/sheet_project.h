// A sheet's project as new makes it and sync makes it again: the sheet
// loaded, its animations timed, its distinct pictures and their palette,
// and the files that come of them. new writes them all; sync writes those
// that change, through the palette the project has (sync_sheet.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/palette_builder.h"
#include "kit/common/diagnostics.h"
#include "kit/pictures/new.h"
#include "kit/pictures/project_text.h"
#include "kit/pictures/sheet_description.h"
#include "kit/pictures/sheet_image.h"
#include "kit/pictures/sheet_pictures.h"
#include "kit/pictures/sheet_timing.h"

class CTlfPalette;

/// The sheet as read, over its pixels, held once for the whole job.
struct CLoadedSheet {
  CSheetDescription description;
  CSheetImage image;
  std::vector<std::string> inputs;  // the JSON and the PNG, or the PNG
  uint32_t leftOut = 0;             // a grid's trailing transparent cells
  CSheetRecord record;              // what the project records of it
};

/// One animation as its TAF shows it.
struct CTimedAnimation {
  std::string file;  // NAME.taf, NAME-TAG.taf
  const CSheetTag* tag = nullptr;
  size_t plays = 0;
  CSheetTiming timing;
};

/// The sheet's pictures, their palette and their names in the project.
struct CSheetProject {
  CSheetPictures pictures;
  CPaletteBuilder palette{1};
  int32_t bits = 4;
  std::vector<CProjectPicture> listed;
};

// Each step's messages go to its `reporter`.

/// Loads the sheet `options` names (its JSON, or its PNG with --grid), and
/// the prints of its files as they are read. False after the message.
bool LoadSheet(const NewOptions& options, CLoadedSheet& sheet, const CKitReporter& reporter);

/// Times every animation of the sheet, warning of each frame that one of
/// them cannot show. False after the message.
bool TimeAnimations(const NewOptions& options, const CSheetDescription& sheet,
                    std::vector<CTimedAnimation>& timed, const CKitReporter& reporter);

/// Finds the sheet's distinct pictures and their palette: a new one, or,
/// given `old`, the palette the project has, each colour it holds at its
/// index and new ones in entries no picture uses. False after the message.
bool FindPictures(const NewOptions& options, const CLoadedSheet& sheet, CSheetProject& project,
                  const CTlfPalette* old, const CKitReporter& reporter);

/// Where the project's files go, the TPF and the TAFs last.
std::vector<std::string> SheetTargets(const NewOptions& options, const CSheetProject& project,
                                      const std::vector<CTimedAnimation>& animations);

/// Makes each file of the project and hands it to `write`, one at a time
/// (each picture's image is made and handed on before the next): the
/// images, the palette, the TPF, the TAFs. False when `write` fails, or
/// after the message when the TPF would hold a line too long.
using SheetWriter = std::function<bool(const std::string& target, const std::string& bytes)>;
bool WriteSheetProject(const NewOptions& options, const CLoadedSheet& sheet,
                       const CSheetProject& project, const std::vector<CTimedAnimation>& animations,
                       const SheetWriter& write, const CKitReporter& reporter);
