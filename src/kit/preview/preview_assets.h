// The fixed text of the preview page: its markup, style and script. The
// page builder puts the pictures and the model between them:
//   kPreviewHead kPreviewStyle kPreviewBody <img>... model <script>
//   kPreviewScript </script>
#pragma once

/// From the doctype to the opening of the style element.
extern const char kPreviewHead[];
/// The style sheet, and the end of the head.
extern const char kPreviewStyle[];
/// The player and camera grid's markup, up to the hidden element that
/// holds the pictures.
extern const char kPreviewBody[];
/// The player: reads the model and the pictures, draws, and answers the
/// controls, the keys and the address fragment.
extern const char kPreviewScript[];
