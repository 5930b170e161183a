#include "anime/c_output.h"

#include <iostream>

#include "anime/console.h"
#include "path/file_system.h"

bool CCOutput::Open(const std::string& path, Mode mode) {
  if (path.empty()) {
    m_pStream = &std::cout;
    return true;
  }
  const std::ios::openmode openMode =
      std::ios::out | (mode == Mode::kAppend ? std::ios::app : std::ios::trunc);
  m_file.open(ToNativePath(path), openMode);
  if (!m_file.is_open()) return false;
  m_pStream = &m_file;
  return true;
}

void WriteText(std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
}

void WriteLineEnd(std::ostream& out) {
  out.put('\n');
  out.flush();
}

void CCOutput::Line(std::string_view text) {
  m_pStream->write(text.data(), static_cast<std::streamsize>(text.size()));
  WriteLineEnd(*m_pStream);
}

void CCOutput::Block(std::string_view text) { WriteText(*m_pStream, text); }

bool CCOutput::Close(const std::string& path) {
  if (m_file.is_open()) m_file.close();
  if (*m_pStream) return true;
  ConsoleLineEnd();
  Console() << "err : [" << path << "] write failed";
  ConsoleLineEnd();
  return false;
}

void WriteOpeningLines(CCOutput& out, const std::string& hPath) {
  out.Line("/* 2D Flipdeck for QUORVAX */ ");
  out.Line("/* This file created by flipdeck.exe */ ");
  out.Line("/* Do not edit */ ");
  out.Line("");
  out.Line("#include <plinth.h>");
  out.Line("#include \"flipdeck.h\"");
  if (!hPath.empty()) out.Line("#include \"" + hPath + "\"");
}
