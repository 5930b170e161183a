#include "kit/common/picture_uses.h"

#include "anime/anime_file.h"
#include "anime/camera_grid.h"
#include "anime/timeline.h"
#include "project/picture_library.h"

namespace {

// The writers' gate of the sequence part: without these keys it stops
// before it shows a picture.
bool SequenceRuns(const CAnimeFile& anime, int32_t& frameLength, int32_t& keyCount) {
  int32_t frameAnim = 0;
  int32_t projectCount = 0;
  if (!anime.GetInt("FRAME_ANIM", frameAnim) || frameAnim == 0) return false;
  return anime.GetInt("TPF.NUM", projectCount) && anime.GetInt("FRAME_LENGTH", frameLength) &&
         anime.GetInt("FRAME_KEY", keyCount);
}

void AddSequenceUses(const CAnimeFile& anime, std::vector<CPictureUse>& uses) {
  int32_t frameLength = 0;
  int32_t keyCount = 0;
  if (!SequenceRuns(anime, frameLength, keyCount)) return;
  const CTimeline timeline = ReadTimeline(anime, frameLength, keyCount);
  for (size_t k = 0; k < timeline.views.size(); ++k) {
    const CKeyFrame& key = timeline.views[k].key;
    // The writer shows the picture of the key frame out of order before it
    // stops there.
    uses.push_back({CWriterPart::kSequence, "FRAME_KEY" + std::to_string(key.index), key.project,
                    key.picture, k <= timeline.outOfOrder});
  }
}

void AddCameraUses(const CAnimeFile& anime, std::vector<CPictureUse>& uses) {
  CCameraGrid grid;
  if (!ReadCameraGrid(anime, grid).key.empty()) return;
  bool reached = true;
  for (const CCameraKey& key : grid.keys) {
    reached = reached && key.readable && grid.IsInside(key);
    if (key.readable)
      uses.push_back({CWriterPart::kCamera, key.key, key.project, key.picture, reached});
  }
}

}  // namespace

std::vector<CPictureUse> ListPictureUses(const CAnimeFile& anime) {
  std::vector<CPictureUse> uses;
  AddSequenceUses(anime, uses);
  AddCameraUses(anime, uses);
  return uses;
}

CResolvedPicture ResolvePicture(const CAnimeFile& anime, CPictureLibrary& library, int32_t project,
                                const std::string& picture) {
  using Stop = CResolvedPicture::Stop;
  CResolvedPicture resolved;
  resolved.projectKey = "TPF." + std::to_string(project) + ".FILE";
  if (!anime.GetString(resolved.projectKey, resolved.projectPath)) {
    resolved.stop = Stop::kNoProjectKey;
    return resolved;
  }
  bool loaded = false;
  const CPictureProject& pictures = library.GetProject(resolved.projectPath, loaded);
  if (!loaded) {
    resolved.stop = Stop::kProjectNotLoaded;
    return resolved;
  }
  if (!pictures.Lookup(picture, resolved.info)) {
    resolved.stop = Stop::kNoPicture;
    return resolved;
  }
  library.FindFiles(resolved.projectPath, resolved.info, resolved.tmfPath, resolved.tlfPath);
  return resolved;
}
