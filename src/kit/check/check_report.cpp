#include "kit/check/check_report.h"

#include <algorithm>
#include <tuple>

#include "kit/common/diagnostics.h"

namespace {

// `text` with its control characters written out: a file name or value
// holding a line end must not break the one line a message takes, which
// editors and CI read as one diagnostic. "a\rb" -> `a\rb`, byte 1 -> `\x01`.
std::string Printable(std::string_view text) {
  std::string printable;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      printable += c;
    } else if (c == '\r' || c == '\n' || c == '\t') {
      printable += c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
    } else {
      printable += "\\x" + HexByte(byte);
    }
  }
  return printable;
}

}  // namespace

void CCheckReport::Add(Severity severity, const std::string& file, int line, std::string message) {
  m_problems.push_back({severity, file, line, std::move(message)});
}

void CCheckReport::Print(std::ostream& out, bool werror) const {
  // Stable, so that problems of one line keep the order in which the
  // conversion would meet them.
  std::vector<const CProblem*> sorted;
  for (const CProblem& problem : m_problems) sorted.push_back(&problem);
  std::stable_sort(sorted.begin(), sorted.end(), [](const CProblem* a, const CProblem* b) {
    return std::tie(a->file, a->line) < std::tie(b->file, b->line);
  });
  std::string previous;
  for (const CProblem* problem : sorted) {
    const bool error = problem->severity == Severity::kError || werror;
    std::string text = Printable(problem->file);
    if (problem->line > 0) text += ":" + std::to_string(problem->line);
    text += error ? ": error: " : ": warning: ";
    text += Printable(problem->message);
    // A rule that meets one problem twice (a picture two keys share) says it once.
    if (text == previous) continue;
    out << text << "\n";
    previous = std::move(text);
  }
}

bool CCheckReport::HasErrors(bool werror) const {
  return std::any_of(m_problems.begin(), m_problems.end(), [werror](const CProblem& problem) {
    return werror || problem.severity == Severity::kError;
  });
}

std::string Quoted(std::string_view text) { return "`" + std::string(text) + "`"; }

std::string StopsWith(const std::string& text) { return "stops with \"" + text + "\""; }

std::string NameRange(const std::string& prefix, int first, int last) {
  const std::string a = prefix + std::to_string(first);
  if (first == last) return a;
  const std::string b = prefix + std::to_string(last);
  return a + (last == first + 1 ? " and " : " to ") + b;
}
