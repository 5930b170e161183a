// flipdeck-kit preview: an animation as a page that plays it in a browser,
// and on request as an animated GIF, read exactly as flipdeck converts it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct PreviewOptions {
  std::string anime;   // the TAF file
  std::string output;  // the page; beside the TAF, named after it, when empty
  std::string gif;     // the GIF; none when empty
  int64_t fps = 60;    // the target's frame rate
  int32_t scale = 0;   // screen pixels per picture pixel; 0 fits about 512
};

/// The preview job: 0 when the page (and the GIF) were written, 1 after
/// the messages of a job that wrote nothing.
int RunPreview(const PreviewOptions& options);

/// The page a preview writes when none is named: `anim/walk.taf` ->
/// `anim/walk.html`, `walk` -> `walk.html`.
std::string DefaultPagePath(const std::string& animePath);
