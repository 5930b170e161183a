// The pictures flipdeck's two writers show, in the order they meet them,
// and how each is found: the walk that check and deps share, made of the
// same models (timeline, camera grid) and the same lookups (project
// library, file search) as the writers, so that neither can disagree with
// what a conversion reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/picture_project.h"

class CAnimeFile;
class CPictureLibrary;

enum class CWriterPart { kSequence, kCamera };

/// One key that shows a picture: a key frame or a camera key.
struct CPictureUse {
  CWriterPart part = CWriterPart::kSequence;
  std::string key;  // FRAME_KEY3, CAM.1.0
  int32_t project = 0;
  std::string picture;
  /// Whether the writer gets to it when nothing before it fails: false for
  /// a camera key visited after one that stops the camera part.
  bool reached = true;
};

/// The uses of both writers, the sequence first. The sequence part shows
/// its key frames when FRAME_ANIM is on and TPF.NUM, FRAME_LENGTH and
/// FRAME_KEY are defined; the camera part its readable camera keys when the
/// grid can be made.
std::vector<CPictureUse> ListPictureUses(const CAnimeFile& anime);

/// How one use is found, step by step as the writers go: the project key,
/// the project, the picture, its files. `stop` is the first step that fails.
struct CResolvedPicture {
  enum class Stop { kNone, kNoProjectKey, kProjectNotLoaded, kNoPicture };
  Stop stop = Stop::kNone;
  std::string projectKey;   // TPF.<n>.FILE
  std::string projectPath;  // its expanded value
  CPictureInfo info;
  std::string tmfPath;  // full paths; "" for a file not found
  std::string tlfPath;
};

CResolvedPicture ResolvePicture(const CAnimeFile& anime, CPictureLibrary& library, int32_t project,
                                const std::string& picture);
