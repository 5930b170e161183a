// The fixed text of the preview page: its markup, style and script. The
// page builder puts the content policy, the title, the pictures and the
// model between them:
//   kPreviewHead <meta policy> <title> <style> kPreviewStyle kPreviewBody
//   <img>... model <script> kPreviewScript </script>
// The style and script are page.css and page.js, which the build copies in
// (embed_text.cmake), so the page needs no other file.
#pragma once

/// From the doctype to the head's fixed meta elements.
extern const char kPreviewHead[];
/// The style sheet: page.css.
extern const char kPreviewStyle[];
/// The end of the head, and the markup of the panels, the player and the
/// camera grid up to the hidden element that holds the pictures.
extern const char kPreviewBody[];
/// The player, page.js: reads the model and the pictures, draws, and
/// answers the controls, the keys and the address fragment. It plays the
/// steps flipdeck-kit computed from flipdeck's timeline: each step is a
/// view of one frame or more with its first frame in the pass, and a frame
/// is shown by looking it up among them. Nothing in the script decides
/// which views play or for how long. On a live page it also follows the
/// event stream and takes each new model in place.
extern const char kPreviewScript[];
