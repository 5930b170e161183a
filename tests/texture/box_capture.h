// Collects what the TMF and TLF loaders would show in their error box, for
// as long as the object lives; the previous reporter comes back afterwards.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "texture/error_box.h"

class CBoxCapture {
 public:
  CBoxCapture()
      : m_saved(SetErrorReporter([this](const std::string& caption, const std::string& text) {
          m_boxes.push_back(caption + " " + text);
        })) {}
  ~CBoxCapture() { SetErrorReporter(m_saved); }
  CBoxCapture(const CBoxCapture&) = delete;
  CBoxCapture& operator=(const CBoxCapture&) = delete;

  /// Every box shown since the last call, as "<caption> <message>".
  std::vector<std::string> Take() { return std::exchange(m_boxes, {}); }

 private:
  std::vector<std::string> m_boxes;
  ErrorReporter m_saved;
};
