#include "kit/preview/preview_gif.h"

#include "image/gif_timing.h"
#include "image/gif_writer.h"
#include "kit/common/diagnostics.h"
#include "kit/common/staged_files.h"
#include "kit/preview/preview_model.h"

bool StagePreviewGif(const CPreview& preview, int64_t fps, int32_t scale,
                     const std::string& gifPath, CStagedFiles& files) {
  if (preview.steps.empty())
    return ReportKitError(gifPath, preview.sequence ? "no key frame shows for a frame: no GIF"
                                                    : "FRAME_ANIM is off: no sequence, no GIF");
  std::vector<int64_t> counts;
  for (const CPreviewStep& step : preview.steps) counts.push_back(step.frames);
  CGifTiming timing;
  std::string message;
  if (!MakeGifTiming(counts, fps, timing, message)) return ReportKitError(gifPath, message);

  for (const CMergedView& merged : timing.merged) {
    const CPreviewStep& step = preview.steps[merged.view];
    const std::string frames =
        std::to_string(step.frames) + (step.frames == 1 ? " frame" : " frames");
    ReportKitWarning(gifPath, step.show.key + " (" + frames + " at " + std::to_string(fps) +
                                  " fps) is too short for a GIF frame of its own: its time goes "
                                  "to " +
                                  preview.steps[merged.into].show.key);
  }
  std::vector<CGifFrame> frames;
  for (const CGifFrameTime& time : timing.frames) {
    const CPreviewPicture& picture = preview.pictures[preview.steps[time.view].show.picture];
    frames.push_back({picture.pixels.View(), time.delay});
  }
  return files.StageWritten(gifPath, [&](const CStagedFiles::Writer& write) {
    const GifSink sink = [&write](std::span<const uint8_t> bytes) {
      return write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    };
    if (WriteGif(frames, static_cast<uint32_t>(scale), sink, message)) return true;
    // Without a reason, a write failed: the staging names that.
    if (!message.empty()) ReportKitError(gifPath, message);
    return false;
  });
}
