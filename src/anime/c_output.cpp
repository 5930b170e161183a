#include "anime/c_output.h"

#include <iostream>

#include "anime/console.h"
#include "path/file_system.h"

bool CCOutput::Open(const std::string& path, Mode mode) {
  if (path.empty()) {
    m_pStream = &std::cout;
    m_strName = "stdout";
    return true;
  }
  m_strName = path;
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

bool CCOutput::CheckWritten() {
  // Once lost, always lost: the report may have cleared the shared stream.
  if (m_pStream == nullptr || m_bReported) return false;
  if (m_pStream->flush()) return true;
  return ReportWriteFailed();
}

bool CCOutput::Close() {
  if (!CheckWritten()) return false;
  if (!m_file.is_open()) return true;
  // Closing hands the file's last buffered bytes to the system; that can
  // fail as well.
  m_file.close();
  if (!m_file.fail()) return true;
  return ReportWriteFailed();
}

bool CCOutput::ReportWriteFailed() {
  m_bReported = true;
  // When the C output is standard output, the console shares its stream
  // and its failure state. The message still gets its chance: after a
  // failure that has passed (an interrupted write) the user reads it, and
  // after one that has not nothing more is lost.
  if (m_pStream == &Console()) Console().clear();
  ConsoleLineEnd();
  Console() << "err : [" << m_strName << "] write failed";
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
