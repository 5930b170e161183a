#include "anime/c_output.h"

#include <iostream>

#include "anime/console.h"
#include "path/file_system.h"
#include "path/staged_outputs.h"

namespace {

// Text for a named file goes to the stream in blocks of about this size:
// thousands of short lines then cost a few system calls instead of one
// each, and the block stays small beside the memory of a run.
constexpr size_t kBlockSize = size_t{64} << 10;

void Write(std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

CCOutput::~CCOutput() {
  if (m_pStream != nullptr) Drain();
}

bool CCOutput::Open(CStagedOutputs& outputs, const std::string& path, Mode mode) {
  m_pOutputs = &outputs;
  if (path.empty()) {
    m_pStream = &std::cout;
    m_strName = "stdout";
    return true;
  }
  m_strName = path;
  std::string file;
  if (!outputs.Add(path, file)) return false;
  // A temporary file is new and empty: appended to, it is written from the
  // start without a truncation, which ext4 takes for the rewrite of an old
  // file and answers by writing it out to the disk at its close.
  const bool append = mode == Mode::kAppend || file != path;
  const std::ios::openmode openMode = std::ios::out | (append ? std::ios::app : std::ios::trunc);
  m_file.open(ToNativePath(file), openMode);
  if (!m_file.is_open()) return false;
  m_pStream = &m_file;
  return true;
}

void CCOutput::Put(std::string_view text) {
  if (m_pStream != &m_file) {
    Write(*m_pStream, text);
    m_pStream->flush();
    return;
  }
  // A block as large as the buffer would only be copied into it.
  if (text.size() >= kBlockSize) {
    Drain();
    Write(m_file, text);
    return;
  }
  m_strPending += text;
  if (m_strPending.size() >= kBlockSize) Drain();
}

void CCOutput::Drain() {
  Write(*m_pStream, m_strPending);
  m_strPending.clear();
}

void CCOutput::Line(std::string_view text) {
  if (m_pStream != &m_file) {
    Write(*m_pStream, text);
    Put("\n");
    return;
  }
  m_strPending += text;
  Put("\n");
}

void CCOutput::Block(std::string_view text) { Put(text); }

bool CCOutput::CheckWritten() {
  // Once lost, always lost: the report may have cleared the shared stream.
  if (m_pStream == nullptr || m_bFailed) return false;
  // Asked between pictures, so that an interrupt waits no longer than one
  // picture takes before the run ends and takes its files with it.
  if (m_pOutputs->IsInterrupted()) {
    m_bFailed = true;
    return false;
  }
  Drain();
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
  m_bFailed = true;
  // When the C output is standard output, the console shares its stream
  // and its failure state. The message still gets its chance: after a
  // failure that has passed (an interrupted write) the user reads it, and
  // after one that has not nothing more is lost.
  if (m_pStream == &Console()) Console().clear();
  return ReportError("[" + m_strName + "] write failed");
}

void WriteFileComment(CCOutput& out) {
  out.Line("/* 2D Flipdeck for QUORVAX */ ");
  out.Line("/* This file created by flipdeck.exe */ ");
  out.Line("/* Do not edit */ ");
}

bool CanIncludeHeader(std::string_view hPath) {
  for (const char c : hPath) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == 0x7f) return false;
    if (byte < 0x20 && byte != '\t' && byte != '\v' && byte != '\f') return false;
  }
  return true;
}

void WriteOpeningLines(CCOutput& out, const std::string& hPath) {
  WriteFileComment(out);
  out.Line("");
  out.Line("#include <plinth.h>");
  out.Line("#include \"flipdeck.h\"");
  if (!hPath.empty()) out.Line("#include \"" + hPath + "\"");
}
