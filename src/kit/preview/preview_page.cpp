#include "kit/preview/preview_page.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <vector>

#include "kit/common/shown_paths.h"
#include "kit/preview/preview_assets.h"
#include "kit/preview/preview_model.h"
#include "path/file_system.h"

namespace {

// The side the player fits the largest picture into when no scale is given.
constexpr double kFitSide = 512;

// What a page may load: its own inline style and script and the data URIs
// of its pictures; a live page also its event stream, from its own address.
constexpr char kWrittenPolicy[] =
    "default-src 'none'; img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'";
constexpr char kLivePolicy[] =
    "default-src 'none'; img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'; "
    "connect-src 'self'";

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is
// not one (a stray continuation byte, a sequence cut short, an overlong or
// surrogate form, or a code point beyond U+10FFFF).
size_t Utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (length == 0 || length > text.size()) return 0;
  uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3F);
  }
  const uint32_t lowest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < lowest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return 0;
  return length;
}

void AppendEscape(std::string& json, unsigned char byte) {
  static constexpr char kHex[] = "0123456789abcdef";
  json += "\\u00";
  json += kHex[byte >> 4];
  json += kHex[byte & 15];
}

void AppendName(std::string& json, const char* name) {
  json += '"';
  json += name;
  json += "\":";
}

void AppendNumber(std::string& json, const char* name, int64_t value) {
  AppendName(json, name);
  json += std::to_string(value);
  json += ',';
}

void AppendText(std::string& json, const char* name, std::string_view value) {
  AppendName(json, name);
  AppendJsonString(json, value);
  json += ',';
}

// `path` as the page names it: relative to the animation's folder, so that
// a page passed on tells nothing of the artist's folders; the file name
// alone where there is no relative path.
std::string PagePath(const std::string& path, const std::string& folder) {
  const std::string relative = RelativePath(path, folder);
  return relative.empty() ? std::filesystem::path(ToNativePath(path)).filename().string()
                          : relative;
}

// The fields a key frame and a camera cell share: the key and the picture
// it shows, as the player's information panel tells them.
void AppendShow(std::string& json, const CPreviewShow& show, const std::string& folder) {
  AppendText(json, "key", show.key);
  AppendNumber(json, "project", show.project);
  AppendText(json, "tpf", PagePath(show.tpfPath, folder));
  AppendText(json, "name", show.name);
  AppendNumber(json, "param", show.param);
  AppendNumber(json, "picture", static_cast<int64_t>(show.picture));
}

// Replaces the comma after the last member of an object or array with `close`.
void Close(std::string& json, char close) {
  if (json.back() == ',') json.pop_back();
  json += close;
}

// The member `name`: an array of one object per item, whose members
// `appendMembers` writes.
template <typename Item, typename AppendMembers>
void AppendObjects(std::string& json, const char* name, const std::vector<Item>& items,
                   AppendMembers appendMembers) {
  AppendName(json, name);
  json += '[';
  for (const Item& item : items) {
    json += '{';
    appendMembers(item);
    Close(json, '}');
    json += ',';
  }
  Close(json, ']');
  json += ',';
}

// `text` as the text of an element: `a<b&` -> `a&lt;b&amp;`.
std::string HtmlText(std::string_view text) {
  std::string html;
  for (const char c : text) {
    if (c == '<')
      html += "&lt;";
    else if (c == '>')
      html += "&gt;";
    else if (c == '&')
      html += "&amp;";
    else
      html += c;
  }
  return html;
}

// The page up to its pictures: the head with `policy` and the title, the
// style, and the markup.
std::string PageOpening(const std::string& title, const char* policy) {
  return std::string(kPreviewHead) + "<meta http-equiv=\"Content-Security-Policy\" content=\"" +
         policy + "\">\n<title>" + HtmlText(title) + "</title>\n<style>\n" + kPreviewStyle +
         kPreviewBody;
}

// From the end of the model to the end of the page: the player's script.
std::string PageClosing() {
  return std::string("</script>\n<script>\n") + kPreviewScript + "</script>\n</body>\n</html>\n";
}

// A number as JavaScript reads it back exactly: 0.5 -> "0.5", 32 -> "32".
std::string ScaleText(double scale) {
  // The shortest text that reads back as `scale`: 17 digits, a sign, a
  // point and an exponent at the most.
  std::array<char, 32> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), scale).ptr;
  return std::string(text.data(), end);
}

}  // namespace

std::string PageTitle(const std::string& tafPath) {
  return std::filesystem::path(ToNativePath(tafPath)).stem().string();
}

double PageScale(const CPreview& preview, int32_t scale) {
  if (scale > 0) return scale;
  uint32_t side = 1;
  for (const CPreviewPicture& picture : preview.pictures)
    side = std::max({side, picture.width, picture.height});
  return side <= kFitSide ? std::floor(kFitSide / side) : kFitSide / side;
}

void AppendJsonString(std::string& json, std::string_view text) {
  json += '"';
  while (!text.empty()) {
    const size_t length = Utf8Length(text);
    const auto byte = static_cast<unsigned char>(text[0]);
    if (length == 0 || byte < 0x20 || byte == '<' || byte == '>' || byte == '&') {
      AppendEscape(json, byte);
    } else if (byte == '"' || byte == '\\') {
      json += '\\';
      json += static_cast<char>(byte);
    } else {
      json.append(text.substr(0, length));
    }
    text.remove_prefix(std::max<size_t>(length, 1));
  }
  json += '"';
}

std::string JsonStrings(const std::vector<std::string>& lines) {
  std::string json = "[";
  for (const std::string& line : lines) {
    AppendJsonString(json, line);
    json += ',';
  }
  Close(json, ']');
  return json;
}

std::string PreviewModelJson(const CPreview& preview, const CPageSettings& settings,
                             bool embedPictures) {
  std::string json = "{";
  AppendText(json, "title", settings.title);
  AppendNumber(json, "frameLength", preview.frameLength);
  AppendNumber(json, "cycle", preview.cycle);
  AppendNumber(json, "fps", settings.fps);
  AppendName(json, "scale");
  json += ScaleText(PageScale(preview, settings.scale)) + ",";
  AppendName(json, "sequence");
  json += preview.sequence ? "true," : "false,";
  AppendName(json, "messages");
  json += JsonStrings(settings.messages) + ",";
  AppendObjects(json, "pictures", preview.pictures, [&](const CPreviewPicture& picture) {
    AppendText(json, "tmf", PagePath(picture.tmfPath, settings.folder));
    AppendText(json, "tlf", PagePath(picture.tlfPath, settings.folder));
    AppendNumber(json, "width", picture.width);
    AppendNumber(json, "height", picture.height);
    AppendNumber(json, "declaredHeight", picture.declaredHeight);
    AppendNumber(json, "bits", picture.bits);
    if (embedPictures) AppendText(json, "uri", picture.dataUri);
  });
  AppendObjects(json, "steps", preview.steps, [&](const CPreviewStep& step) {
    AppendShow(json, step.show, settings.folder);
    AppendNumber(json, "keyFrame", step.keyFrame);
    AppendNumber(json, "first", step.first);
    AppendNumber(json, "frames", step.frames);
  });
  AppendObjects(json, "skipped", preview.skipped, [&](const CPreviewSkip& skip) {
    AppendText(json, "key", skip.key);
    AppendNumber(json, "frames", skip.frames);
  });
  json += "\"grid\":";
  if (!preview.grid) return json + "null}";
  json += '{';
  AppendNumber(json, "columns", preview.columns);
  AppendNumber(json, "rows", preview.rows);
  AppendObjects(json, "cells", preview.cells, [&](const CPreviewCell& cell) {
    AppendNumber(json, "x", cell.x);
    AppendNumber(json, "y", cell.y);
    AppendShow(json, cell.show, settings.folder);
  });
  Close(json, '}');
  return json + "}";
}

CLivePageFrame MakeLivePageFrame(const std::string& title) {
  return {
      PageOpening(title, kLivePolicy) + "</div>\n<script type=\"application/json\" id=\"live\">",
      "</script>\n<script type=\"application/json\" id=\"model\">", PageClosing()};
}

CPreviewPage::CPreviewPage(const CPreview& preview, const CPageSettings& settings) {
  // The names of the animation, its keys and files reach the page only as
  // JSON strings, which the script shows as text: none can become markup.
  Add(PageOpening(settings.title, kWrittenPolicy));
  for (size_t i = 0; i < preview.pictures.size(); ++i) {
    Add("<img id=\"picture" + std::to_string(i) + "\" alt=\"\" src=\"");
    m_parts.push_back(preview.pictures[i].dataUri);
    Add("\">\n");
  }
  Add("</div>\n<script type=\"application/json\" id=\"model\">" +
      PreviewModelJson(preview, settings, false) + PageClosing());
}

void CPreviewPage::Add(std::string text) {
  m_texts.push_back(std::move(text));
  m_parts.push_back(m_texts.back());
}
