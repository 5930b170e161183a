// flipdeck-kit preview: an animation as a page that plays it in a browser,
// and on request as an animated GIF, read exactly as flipdeck converts it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/// check's report on the animation `anime`, a line a message: what a page
/// lists beside the animation. The command layer hands in check's own, which
/// no other room may call.
using AnimationCheck = std::function<std::vector<std::string>(const std::string& anime)>;

struct PreviewOptions {
  std::string anime;   // the TAF file
  std::string output;  // the page; beside the TAF, named after it, when empty
  std::string gif;     // the GIF; none when empty
  int64_t fps = 60;    // the target's frame rate
  int32_t scale = 0;   // screen pixels per picture pixel: the page's, 0 fits about 512;
                       // the GIF's, 0 is 1
};

/// The preview job: 0 when the page (and the GIF) were written, 1 after
/// the messages of a job that wrote nothing. The page lists what `check`
/// says of the animation.
int RunPreview(const PreviewOptions& options, const AnimationCheck& check);

/// The animation as check names it for a page: relative to the working
/// directory, where check reads from, so that a page tells no more of the
/// folders around it than the command line did. `/work/anim/walk.taf` in
/// /work -> `anim/walk.taf`.
std::string CheckedAnimeName(const std::string& anime);

/// The page a preview writes when none is named: `anim/walk.taf` ->
/// `anim/walk.html`, `walk` -> `walk.html`.
std::string DefaultPagePath(const std::string& animePath);
