// The preview page: one HTML file that plays an animation in a browser with
// nothing else: its style, script and pictures are inside it, and its
// content policy forbids any request, so it opens from a file anywhere.
// watch serves the same page with the model's pictures inside the model,
// and a policy that lets it follow its own event stream.
//
// The page plays the model flipdeck-kit computed: the steps of a pass with
// their first frames, the pass's length, the camera cells. Its script only
// looks a frame up among the steps; which views play, for how long, and
// where the pass starts again is never decided in the browser.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

struct CPreview;

struct CPageSettings {
  std::string title;   // the animation's name (PageTitle)
  std::string folder;  // the TAF's folder: the page names files relative to it
  int64_t fps = 60;    // the frame rate the page starts with
  int32_t scale = 0;   // screen pixels per picture pixel; 0 fits about 512
  /// check's report on the animation, a line a message, listed under the
  /// player.
  std::vector<std::string> messages;
};

/// The name a page gives the animation `tafPath`: its file name without the
/// extension. `anim/walk.taf` -> `walk`.
std::string PageTitle(const std::string& tafPath);

/// The screen pixels per picture pixel: `scale` when it is set, else the
/// largest whole number that fits the largest picture in 512 pixels, or a
/// fraction for a picture larger than that. Largest 16 x 12 -> 32;
/// 1024 x 100 -> 0.5.
double PageScale(const CPreview& preview, int32_t scale);

/// The JSON string of `text`: quoted, with quotes, backslashes, control
/// characters and "<", ">", "&" escaped, so that it can stand inside a
/// script element and on one line of an event stream; bytes that are not
/// UTF-8 are taken as Latin-1. `a"<b` -> `"a\"\u003cb"`; byte 0xE9 alone ->
/// `"\u00e9"`.
void AppendJsonString(std::string& json, std::string_view text);

/// `lines` as a JSON array of strings: {"a", "b"} -> `["a","b"]`.
std::string JsonStrings(const std::vector<std::string>& lines);

/// The model the page's script plays, as one line of JSON. With
/// `embedPictures` each picture carries its data URI (`"uri"`), as the
/// models watch serves do; otherwise the page's image elements hold them.
std::string PreviewModelJson(const CPreview& preview, const CPageSettings& settings,
                             bool embedPictures);

/// The text of a live page around its two parts that change: the live
/// state (live_state.h) and the model. The page is before, the live state,
/// middle, the model, after.
struct CLivePageFrame {
  std::string before;
  std::string middle;
  std::string after;
};
CLivePageFrame MakeLivePageFrame(const std::string& title);

class CPreviewPage {
 public:
  /// The page of `preview`. It refers to the pictures' data URIs in
  /// `preview` without copying them, so `preview` must outlive it.
  CPreviewPage(const CPreview& preview, const CPageSettings& settings);

  /// The page's text in parts: written one after the other they make the
  /// file.
  const std::vector<std::string_view>& Parts() const { return m_parts; }

 private:
  void Add(std::string text);

  std::deque<std::string> m_texts;  // the parts the page owns; a deque never moves them
  std::vector<std::string_view> m_parts;
};
