#include "kit/pictures/json_tree.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace {

// Builds the tree from the parser's events. The library's own builder
// throws its error, which carries no position for some faults (a number
// too large); the events carry one for all of them.
class CTreeBuilder {
 public:
  explicit CTreeBuilder(CJsonTree& root) : m_root(root) {}

  bool null() { return Add(nullptr) != nullptr; }
  bool boolean(bool value) { return Add(value) != nullptr; }
  bool number_integer(CJsonTree::number_integer_t value) { return Add(value) != nullptr; }
  bool number_unsigned(CJsonTree::number_unsigned_t value) { return Add(value) != nullptr; }
  bool number_float(CJsonTree::number_float_t value, const std::string&) {
    return Add(value) != nullptr;
  }
  bool string(std::string& value) { return Add(std::move(value)) != nullptr; }
  bool binary(CJsonTree::binary_t& value) { return Add(std::move(value)) != nullptr; }
  bool start_object(size_t) { return Open(CJsonTree::object()); }
  bool key(std::string& name) {
    m_key = std::move(name);
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(size_t) { return Open(CJsonTree::array()); }
  bool end_array() { return Close(); }
  bool parse_error(size_t byte, const std::string&, const nlohmann::json::exception& error) {
    m_errorByte = byte;
    m_errorWhat = error.what();
    return false;
  }

  size_t GetErrorByte() const { return m_errorByte; }
  const std::string& GetErrorWhat() const { return m_errorWhat; }

 private:
  // Places `value` in the innermost open container (or at the root) and
  // returns where it now lies. Only the innermost container grows while it
  // is open, so the places of the outer ones stay valid.
  CJsonTree* Add(CJsonTree value) {
    if (m_open.empty()) {
      m_root = std::move(value);
      return &m_root;
    }
    CJsonTree& container = *m_open.back();
    if (container.is_object()) return &(container[m_key] = std::move(value));
    container.push_back(std::move(value));
    return &container.back();
  }
  bool Open(CJsonTree container) {
    m_open.push_back(Add(std::move(container)));
    return true;
  }
  bool Close() {
    m_open.pop_back();
    return true;
  }

  CJsonTree& m_root;
  std::vector<CJsonTree*> m_open;
  std::string m_key;
  size_t m_errorByte = 0;
  std::string m_errorWhat;
};

// The library's text without its prefix of exception name and position:
// "[json.exception.parse_error.101] parse error at line 1, column 7: syntax
// error ..." -> "syntax error ...".
std::string PlainReason(const std::string& what) {
  std::string reason = what;
  if (reason.starts_with("[")) {
    const size_t end = reason.find("] ");
    if (end != std::string::npos) reason.erase(0, end + 2);
  }
  if (reason.starts_with("parse error")) {
    const size_t end = reason.find(": ");
    if (end != std::string::npos) reason.erase(0, end + 2);
  }
  return reason;
}

// The line and column of the byte at `offset` (from 0); the column counts
// characters, so UTF-8 continuation bytes do not count.
void LocateByte(std::string_view text, size_t offset, CJsonSyntaxError& error) {
  offset = std::min(offset, text.size());
  error.line = 1;
  error.column = 1;
  for (size_t at = 0; at < offset; ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '\n') {
      ++error.line;
      error.column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      ++error.column;
    }
  }
}

}  // namespace

bool ParseJsonTree(std::string_view text, CJsonTree& tree, CJsonSyntaxError& error) {
  tree = nullptr;
  CTreeBuilder builder(tree);
  bool parsed = false;
  try {
    parsed = CJsonTree::sax_parse(text, &builder);
  } catch (const std::exception& failure) {
    // Only a lack of memory is left to throw: no place in the text is at fault.
    tree = nullptr;
    error.line = 0;
    error.column = 0;
    error.what = failure.what();
    return false;
  }
  if (parsed) return true;
  tree = nullptr;
  // The parser gives the position of the last byte it read, from 1.
  const size_t byte = builder.GetErrorByte();
  LocateByte(text, byte == 0 ? 0 : byte - 1, error);
  error.what = PlainReason(builder.GetErrorWhat());
  return false;
}

std::string QuoteJson(const std::string& text) {
  return CJsonTree(text).dump(-1, ' ', false, CJsonTree::error_handler_t::replace);
}
