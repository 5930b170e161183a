// The preview as an animated GIF: the steps of one pass, each a GIF frame
// shown for its frames at the chosen rate, looping forever.
#pragma once

#include <cstdint>
#include <string>

class CStagedFiles;
struct CPreview;

/// Stages the GIF of `preview`'s steps at `fps`, whose pictures must hold
/// their pixels, each picture pixel `scale` × `scale` GIF pixels, as
/// `gifPath` in `files`, frame by frame as it is encoded:
/// memory does not grow with the number of steps. Delays are hundredths of a second with the
/// rounding carried forward, so the whole pass lasts its length to the hundredth; a step too short
/// for a GIF frame of its own (below 2 hundredths) is merged into its neighbour with a warning
/// naming its key frame. 60 fps, steps of 1, 1 and 1 frame -> frames of 3 and 2 hundredths, the
/// second step merged into the first. False after the message (naming `gifPath`) when there is no
/// step to play or the GIF cannot be made or written.
bool StagePreviewGif(const CPreview& preview, int64_t fps, int32_t scale,
                     const std::string& gifPath, CStagedFiles& files);
