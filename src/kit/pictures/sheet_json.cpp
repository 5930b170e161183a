#include "kit/pictures/sheet_json.h"

#include <cmath>
#include <exception>
#include <fstream>
#include <iterator>

#include "kit/pictures/json_tree.h"
#include "kit/pictures/sheet_animations.h"
#include "path/file_system.h"

namespace {

// The largest position or sheet side taken: beyond any sheet PNG the
// reader takes (2^28 pixels), and a position plus a side still fits 32 bits.
constexpr uint64_t kMaxPosition = 2147483647;

std::string KindName(const CJsonTree& value) {
  switch (value.type()) {
    case CJsonTree::value_t::null:
      return "null";
    case CJsonTree::value_t::object:
      return "an object";
    case CJsonTree::value_t::array:
      return "an array";
    case CJsonTree::value_t::string:
      return "a string";
    case CJsonTree::value_t::boolean:
      return "a boolean";
    default:
      return "a number";
  }
}

std::string ValueText(const CJsonTree& value) {
  return value.dump(-1, ' ', false, CJsonTree::error_handler_t::replace);
}

std::string Member(const std::string& path, const char* key) {
  return path.empty() ? std::string(key) : path + "." + key;
}

// Reads the tree member by member, each failure naming the member's path.
class CSheetReader {
 public:
  explicit CSheetReader(CSheetFailure& failure) : m_failure(failure) {}

  bool Read(const CJsonTree& root, CSheetDescription& sheet) {
    if (!ExpectObject(root, "")) return false;
    const CJsonTree* meta = nullptr;
    if (!Require(root, "", "meta", meta) || !ExpectObject(*meta, "meta")) return false;
    return ReadFrames(root, sheet) && ReadMeta(*meta, sheet);
  }

 private:
  bool Fail(const std::string& path, const std::string& what) {
    m_failure.what = path.empty() ? what : path + ": " + what;
    return false;
  }

  static const CJsonTree* Find(const CJsonTree& object, const char* key) {
    const auto member = object.find(key);
    return member == object.end() ? nullptr : &*member;
  }

  bool Require(const CJsonTree& object, const std::string& path, const char* key,
               const CJsonTree*& member) {
    member = Find(object, key);
    return member != nullptr || Fail(Member(path, key), "missing");
  }

  bool ExpectObject(const CJsonTree& value, const std::string& path) {
    if (value.is_object()) return true;
    return Fail(path, "is " + KindName(value) + ", not an object");
  }

  bool ReadWhole(const CJsonTree& value, const std::string& path, uint64_t least, uint64_t most,
                 uint32_t& number) {
    const std::string outside =
        ", outside " + std::to_string(least) + " to " + std::to_string(most);
    uint64_t whole = 0;
    if (value.is_number_unsigned()) {
      whole = value.get<uint64_t>();
    } else if (value.is_number_integer()) {
      // The parser keeps every number without a minus sign unsigned.
      return Fail(path, "is " + ValueText(value) + outside);
    } else if (value.is_number_float()) {
      const double real = value.get<double>();
      if (!std::isfinite(real) || real != std::floor(real))
        return Fail(path, "is " + ValueText(value) + ", not a whole number");
      if (real < static_cast<double>(least) || real > static_cast<double>(most))
        return Fail(path, "is " + ValueText(value) + outside);
      whole = static_cast<uint64_t>(real);
    } else {
      return Fail(path, "is " + KindName(value) + ", not a whole number");
    }
    if (whole < least || whole > most) return Fail(path, "is " + ValueText(value) + outside);
    number = static_cast<uint32_t>(whole);
    return true;
  }

  bool ReadWholeMember(const CJsonTree& object, const std::string& path, const char* key,
                       uint64_t least, uint64_t most, uint32_t& number) {
    const CJsonTree* member = nullptr;
    return Require(object, path, key, member) &&
           ReadWhole(*member, Member(path, key), least, most, number);
  }

  // An optional flag: false when absent.
  bool ReadFlag(const CJsonTree& object, const std::string& path, const char* key, bool& flag) {
    const CJsonTree* member = Find(object, key);
    flag = false;
    if (member == nullptr) return true;
    if (!member->is_boolean())
      return Fail(Member(path, key), "is " + KindName(*member) + ", not true or false");
    flag = member->get<bool>();
    return true;
  }

  bool ReadText(const CJsonTree& object, const std::string& path, const char* key,
                std::string& text) {
    const CJsonTree* member = nullptr;
    if (!Require(object, path, key, member)) return false;
    if (!member->is_string())
      return Fail(Member(path, key), "is " + KindName(*member) + ", not a string");
    text = member->get<std::string>();
    return true;
  }

  bool ReadNonEmptyText(const CJsonTree& object, const std::string& path, const char* key,
                        std::string& text) {
    if (!ReadText(object, path, key, text)) return false;
    return !text.empty() || Fail(Member(path, key), "is empty");
  }

  // {x, y, w, h} (or {w, h} without a position): positions 0 to
  // kMaxPosition, sides `leastSide` to `mostSide`.
  bool ReadRect(const CJsonTree& object, const std::string& path, const char* key, bool hasPosition,
                uint64_t leastSide, uint64_t mostSide, CSheetRect& rect) {
    const CJsonTree* member = nullptr;
    const std::string at = Member(path, key);
    if (!Require(object, path, key, member) || !ExpectObject(*member, at)) return false;
    if (hasPosition && (!ReadWholeMember(*member, at, "x", 0, kMaxPosition, rect.x) ||
                        !ReadWholeMember(*member, at, "y", 0, kMaxPosition, rect.y)))
      return false;
    return ReadWholeMember(*member, at, "w", leastSide, mostSide, rect.w) &&
           ReadWholeMember(*member, at, "h", leastSide, mostSide, rect.h);
  }

  // Where the trimmed picture sits in the frame's whole picture; a frame
  // that gives neither is its whole picture.
  bool ReadPlacement(const CJsonTree& value, CSheetFrame& frame) {
    const std::string& label = frame.label;
    frame.placed = {0, 0, frame.frame.w, frame.frame.h};
    if (Find(value, "spriteSourceSize") != nullptr) {
      if (!ReadRect(value, label, "spriteSourceSize", true, 0, kMaxFrameSide, frame.placed))
        return false;
      if (frame.placed.w != frame.frame.w || frame.placed.h != frame.frame.h)
        return Fail(label + ".spriteSourceSize", "is " + SizeText(frame.placed.w, frame.placed.h) +
                                                     ", but frame is " +
                                                     SizeText(frame.frame.w, frame.frame.h));
    }
    CSheetRect canvas{0, 0, frame.frame.w, frame.frame.h};
    const bool sized = Find(value, "sourceSize") != nullptr;
    if (sized && !ReadRect(value, label, "sourceSize", false, 1, kMaxFrameSide, canvas))
      return false;
    const std::string at = label + (sized ? ".sourceSize" : ".frame");
    if (canvas.w == 0 || canvas.h == 0)
      return Fail(label + ".sourceSize", "missing, and the frame has no pixels of its own");
    if (uint64_t{canvas.w} * canvas.h > kMaxFramePixels)
      return Fail(at, "is " + SizeText(canvas.w, canvas.h) + ", more than " +
                          std::to_string(kMaxFramePixels) + " pixels");
    if (uint64_t{frame.placed.x} + frame.placed.w > canvas.w ||
        uint64_t{frame.placed.y} + frame.placed.h > canvas.h)
      return Fail(at, SizeText(canvas.w, canvas.h) + " is smaller than the trimmed picture, " +
                          SizeText(frame.placed.w, frame.placed.h) + " at " +
                          std::to_string(frame.placed.x) + ", " + std::to_string(frame.placed.y));
    frame.canvasWidth = canvas.w;
    frame.canvasHeight = canvas.h;
    return true;
  }

  bool ReadFrame(const CJsonTree& value, CSheetFrame& frame) {
    bool trimmed = false;  // read for its type; the placement says where the picture goes
    return ReadRect(value, frame.label, "frame", true, 0, kMaxFrameSide, frame.frame) &&
           ReadFlag(value, frame.label, "rotated", frame.rotated) &&
           ReadFlag(value, frame.label, "trimmed", trimmed) && ReadPlacement(value, frame) &&
           ReadWholeMember(value, frame.label, "duration", 1, kMaxFrameDuration, frame.duration);
  }

  // Takes `frame`, read, and keeps the frames' pictures within bounds.
  bool AddFrame(CSheetFrame frame, CSheetDescription& sheet) {
    m_picturePixels += uint64_t{frame.canvasWidth} * frame.canvasHeight;
    if (m_picturePixels > kMaxSheetPicturePixels)
      return Fail(frame.label, "brings the pictures of the frames to more than " +
                                   std::to_string(kMaxSheetPicturePixels) + " pixels");
    sheet.frames.push_back(std::move(frame));
    return true;
  }

  bool ReadFrames(const CJsonTree& root, CSheetDescription& sheet) {
    const CJsonTree* frames = nullptr;
    if (!Require(root, "", "frames", frames)) return false;
    if (frames->is_array()) {
      for (size_t at = 0; at < frames->size(); ++at) {
        const CJsonTree& value = (*frames)[at];
        CSheetFrame frame;
        frame.label = "frames[" + std::to_string(at) + "]";
        if (!ExpectObject(value, frame.label) ||
            !ReadText(value, frame.label, "filename", frame.name) || !ReadFrame(value, frame) ||
            !AddFrame(std::move(frame), sheet))
          return false;
      }
    } else if (frames->is_object()) {
      for (const auto& [key, value] : frames->items()) {
        CSheetFrame frame;
        frame.name = key;
        frame.label = "frames[" + QuoteJson(key) + "]";
        if (!ExpectObject(value, frame.label) || !ReadFrame(value, frame) ||
            !AddFrame(std::move(frame), sheet))
          return false;
      }
    } else {
      return Fail("frames", "is " + KindName(*frames) + ", not an array or an object");
    }
    return !sheet.frames.empty() || Fail("frames", "holds no frame");
  }

  // A count as a number or as text of digits ("3"); 0 when absent.
  bool ReadRepeat(const CJsonTree& object, const std::string& path, uint32_t& repeat) {
    const CJsonTree* member = Find(object, "repeat");
    const std::string at = path + ".repeat";
    repeat = 0;
    if (member == nullptr) return true;
    if (!member->is_string()) return ReadWhole(*member, at, 0, kMaxPosition, repeat);
    const std::string& text = member->get_ref<const std::string&>();
    const bool digits = !text.empty() && text.size() <= 10 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoull(text) > kMaxPosition)
      return Fail(at, "is " + ValueText(*member) + ", not a count from 0 to " +
                          std::to_string(kMaxPosition));
    repeat = static_cast<uint32_t>(std::stoull(text));
    return true;
  }

  bool ReadDirection(const CJsonTree& object, const std::string& path, TagDirection& direction) {
    static constexpr std::pair<const char*, TagDirection> kDirections[] = {
        {"forward", TagDirection::kForward},
        {"reverse", TagDirection::kReverse},
        {"pingpong", TagDirection::kPingPong},
        {"pingpong_reverse", TagDirection::kPingPongReverse}};
    const CJsonTree* member = Find(object, "direction");
    direction = TagDirection::kForward;
    if (member == nullptr) return true;
    for (const auto& [name, value] : kDirections) {
      if (member->is_string() && member->get_ref<const std::string&>() == name) {
        direction = value;
        return true;
      }
    }
    return Fail(path + ".direction", "is " + ValueText(*member) +
                                         ", not forward, reverse, pingpong or pingpong_reverse");
  }

  bool ReadFrameIndex(const CJsonTree& object, const std::string& path, const char* key,
                      size_t frameCount, uint32_t& index) {
    if (!ReadWholeMember(object, path, key, 0, kMaxPosition, index)) return false;
    if (index < frameCount) return true;
    return Fail(Member(path, key), "is " + std::to_string(index) + ", but the last frame is " +
                                       std::to_string(frameCount - 1));
  }

  bool ReadTag(const CJsonTree& value, size_t frameCount, CSheetTag& tag) {
    const std::string& label = tag.label;
    if (!ExpectObject(value, label) || !ReadNonEmptyText(value, label, "name", tag.name) ||
        !ReadFrameIndex(value, label, "from", frameCount, tag.from) ||
        !ReadFrameIndex(value, label, "to", frameCount, tag.to))
      return false;
    if (tag.from > tag.to)
      return Fail(label,
                  "from " + std::to_string(tag.from) + " comes after to " + std::to_string(tag.to));
    if (!ReadDirection(value, label, tag.direction) || !ReadRepeat(value, label, tag.repeat))
      return false;
    const uint64_t plays = TagPlayCount(tag);
    if (plays > kMaxTagPlays)
      return Fail(label, "plays " + std::to_string(plays) + " frames in one loop, more than " +
                             std::to_string(kMaxTagPlays));
    return true;
  }

  static bool HoldsSomething(const CJsonTree* member) {
    return member != nullptr && (member->is_array() || member->is_object()) && !member->empty();
  }

  bool ReadMeta(const CJsonTree& meta, CSheetDescription& sheet) {
    if (!ReadNonEmptyText(meta, "meta", "image", sheet.image)) return false;
    if (Find(meta, "size") != nullptr) {
      CSheetRect size;
      if (!ReadRect(meta, "meta", "size", false, 1, kMaxPosition, size)) return false;
      sheet.width = size.w;
      sheet.height = size.h;
      if (!CheckFramesOnSheet(sheet, sheet.width, sheet.height, m_failure)) return false;
    }
    sheet.unusedSlices = HoldsSomething(Find(meta, "slices"));
    sheet.unusedLayers = HoldsSomething(Find(meta, "layers"));
    const CJsonTree* tags = Find(meta, "frameTags");
    if (tags == nullptr) return true;
    if (!tags->is_array())
      return Fail("meta.frameTags", "is " + KindName(*tags) + ", not an array");
    uint64_t plays = 0;
    for (size_t at = 0; at < tags->size(); ++at) {
      CSheetTag tag;
      tag.label = "meta.frameTags[" + std::to_string(at) + "]";
      if (!ReadTag((*tags)[at], sheet.frames.size(), tag)) return false;
      plays += TagPlayCount(tag);
      if (plays > kMaxSheetTagPlays)
        return Fail(tag.label, "brings the frames the tags play to more than " +
                                   std::to_string(kMaxSheetTagPlays));
      sheet.tags.push_back(std::move(tag));
    }
    return true;
  }

  CSheetFailure& m_failure;
  uint64_t m_picturePixels = 0;
};

}  // namespace

bool ReadSheetJson(std::string_view text, const std::string& fileName, CSheetDescription& sheet,
                   CSheetFailure& failure) {
  sheet = CSheetDescription();
  failure = CSheetFailure{fileName, ""};
  CJsonTree tree;
  CJsonSyntaxError syntax;
  if (!ParseJsonTree(text, tree, syntax)) {
    if (syntax.line != 0)
      failure.file += ":" + std::to_string(syntax.line) + ":" + std::to_string(syntax.column);
    failure.what = syntax.what;
    return false;
  }
  bool read = false;
  sheet.source = fileName;
  try {
    read = CSheetReader(failure).Read(tree, sheet);
  } catch (const std::exception& error) {
    // The reader asks for each value's type before taking it; what is left
    // to throw is a lack of memory.
    failure.what = error.what();
  }
  if (!read) sheet = CSheetDescription();
  return read;
}

bool LoadSheetJson(const std::string& path, CSheetDescription& sheet, CSheetFailure& failure) {
  sheet = CSheetDescription();
  std::ifstream in(ToNativePath(path), std::ios::binary);
  if (!in.is_open()) {
    failure = CSheetFailure{path, "cannot be opened"};
    return false;
  }
  // The size is asked of the file rather than read to its end.
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  in.seekg(0);
  if (size > static_cast<std::streamoff>(kMaxSheetJsonBytes)) {
    failure = CSheetFailure{path, "holds " + std::to_string(size) + " bytes, more than the " +
                                      std::to_string(kMaxSheetJsonBytes >> 20) +
                                      " MiB a sheet's JSON may have"};
    return false;
  }
  std::string text(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) {
    failure = CSheetFailure{path, "cannot be read"};
    return false;
  }
  return ReadSheetJson(text, path, sheet, failure);
}
