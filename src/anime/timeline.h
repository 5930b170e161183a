// The timeline: the animation's frame sequence as the generated C plays it.
// Key frame k says that from its frame on, its picture is on view; each key
// frame becomes one view that lasts until the next one begins, and the last
// view lasts until FRAME_LENGTH. The sequence writer writes one command per
// view, and the preview plays the same views, so the two cannot disagree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CAnimeFile;

/// One key frame as FRAME_KEY<index> gives it.
struct CKeyFrame {
  int index = 0;  // the n of FRAME_KEY<n>
  int32_t frame = 0;
  int32_t project = 0;
  std::string picture;
};

/// One view: a key frame's picture and the frames it stays on view. A view
/// of zero or fewer frames shows nothing: the player passes over it.
struct CView {
  CKeyFrame key;
  int32_t frames = 0;
};

struct CTimeline {
  int32_t frameLength = 0;
  /// One view per key frame, from FRAME_KEY0 up to the first key frame that
  /// cannot be read or FRAME_KEY - 1.
  std::vector<CView> views;
  /// The first view whose key frame lies before the one it follows (the
  /// second is compared with frame 0): flipdeck stops there with "frame
  /// over!". views.size() when the order is sound; the frame counts from
  /// this view on are then not made.
  size_t outOfOrder = 0;

  /// The view on screen at `frame` (from 0) as the previewer plays the
  /// chain: the views of one frame or more in turn, each for its frames,
  /// then again from the first (the chain's jump back to gAnimeCmd1). A view
  /// of zero or fewer frames is passed over. views.size() when no view
  /// shows a frame or the sequence stops at a key frame out of order.
  /// Views of 2 and 1 frames: frames 0, 1, 2, 3 -> views 0, 0, 1, 0.
  size_t ViewAt(int64_t frame) const;
};

/// The timeline of `anime`'s key frames for `frameLength` frames and
/// `keyCount` key frames (the values of FRAME_LENGTH and FRAME_KEY). The
/// first view starts at frame 0 whatever its key frame says.
/// Length 30, key frames 0 and 10 -> views of 10 and 20 frames; key frames
/// 0 and 40 -> 40 and -10.
CTimeline ReadTimeline(const CAnimeFile& anime, int32_t frameLength, int32_t keyCount);
