#include "kit/common/progress.h"

#include <iostream>
#include <utility>

CProgress::CProgress(std::string task, size_t total)
    : m_strTask(std::move(task)), m_total(total), m_bShown(IsErrorStreamTerminal()) {}

CProgress::~CProgress() {
  // "\r", blanks over the line, "\r": the terminal's cursor back at its start.
  if (m_bShown && m_done > 0) std::cerr << "\r\x1b[K" << std::flush;
}

void CProgress::Step(const std::string& item) {
  ++m_done;
  if (!m_bShown) return;
  std::cerr << "\r\x1b[K" << m_strTask << " " << m_done << "/" << m_total << " " << item
            << std::flush;
}
