// The preview as an animated GIF: the steps of one pass, each a GIF frame
// shown for its frames at the chosen rate, looping forever.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CPreview;

/// The GIF of `preview`'s steps at `fps`, whose pictures must hold their
/// pixels. Delays are hundredths of a second with the rounding carried
/// forward, so the whole pass lasts its length to the hundredth; a step
/// too short for a GIF frame of its own (below 2 hundredths) is merged into
/// its neighbour with a warning naming its key frame. 60 fps, steps of 1,
/// 1 and 1 frame -> frames of 3 and 2 hundredths, the second step merged
/// into the first. False after the message (naming `gifPath`) when there
/// is no step to play or the GIF cannot be made.
bool MakePreviewGif(const CPreview& preview, int64_t fps, const std::string& gifPath,
                    std::vector<uint8_t>& gif);
