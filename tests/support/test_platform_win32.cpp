// The tests' platform layer on Windows: paths use '\', text lines end in
// CR LF, and programs run through CreateProcess. flipdeck shows a modal box
// for a bad TMF or TLF file; the runner reads each box of the run and
// presses its OK button, so a test never waits for a person.
#include <chrono>
#include <set>

#include "path/unique_handle_win32.h"
#include "support/test_platform.h"
#include "support/test_support.h"

namespace testing_support {

const char kSeparator = '\\';
const char kLineEnd[] = "\r\n";
const char kNullDevice[] = "";

namespace {

// A run that takes longer has hung (a box nobody could find, say).
constexpr std::chrono::seconds kRunLimit{120};

// The control that holds a message box's text.
constexpr int kBoxTextId = 0xffff;

// `arg` spelled so that the C runtime's command-line parser gives it back:
// quoted when it is empty or holds blanks or quotes, backslashes doubled
// only where they come before a quote.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, '\\');
  quoted.push_back('"');
  return quoted;
}

// A file handle the child inherits as one of its standard streams.
UniqueHandle InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return UniqueHandle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The boxes of one process that have been read and dismissed so far.
struct BoxWatch {
  DWORD processId = 0;
  std::set<HWND> dismissed;
  std::string said;
};

BOOL CALLBACK DismissBox(HWND window, LPARAM context) {
  BoxWatch& watch = *reinterpret_cast<BoxWatch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != watch.processId || !::IsWindowVisible(window) || watch.dismissed.count(window))
    return TRUE;
  std::string className(64, '\0');
  className.resize(static_cast<size_t>(
      ::GetClassNameA(window, className.data(), static_cast<int>(className.size()))));
  const HWND text = ::GetDlgItem(window, kBoxTextId);
  if (className != "#32770" || text == nullptr) return TRUE;
  watch.said += WindowText(window) + " " + WindowText(text);
  watch.dismissed.insert(window);
  ::PostMessageA(window, WM_COMMAND, IDOK, 0);
  return TRUE;
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath,
               std::string& shown) {
  const UniqueHandle in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  const UniqueHandle out = InheritableFile(outPath, GENERIC_WRITE, CREATE_ALWAYS);
  const UniqueHandle err = InheritableFile(errPath, GENERIC_WRITE, CREATE_ALWAYS);
  std::string command = QuoteArgument(program);
  for (const std::string& arg : args) command += " " + QuoteArgument(arg);

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  // Under wine a start now and then fails while its server is busy with the
  // runs of other tests; a program that cannot start fails all three tries.
  DWORD startError = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         workDir.c_str(), &startup, &process)) {
      startError = 0;
      break;
    }
    startError = ::GetLastError();
    ::Sleep(200);
  }
  if (startError != 0) {
    shown += "(could not start " + command + " in " + workDir + ": error " +
             std::to_string(startError) + ")";
    return -1;
  }
  const UniqueHandle processHandle(process.hProcess);
  const UniqueHandle threadHandle(process.hThread);

  BoxWatch watch;
  watch.processId = process.dwProcessId;
  const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
  for (;;) {
    const DWORD waited = ::WaitForSingleObject(process.hProcess, 20);
    ::EnumWindows(DismissBox, reinterpret_cast<LPARAM>(&watch));
    if (waited != WAIT_TIMEOUT) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::TerminateProcess(process.hProcess, 1);
      ::WaitForSingleObject(process.hProcess, INFINITE);
      shown += watch.said + "(the program did not finish and was stopped)";
      return -1;
    }
  }
  shown += watch.said;
  DWORD status = 0;
  return ::GetExitCodeProcess(process.hProcess, &status) ? static_cast<int>(status) : -1;
}

// Windows keeps its named pipes out of the file system: there is none to make.
CFeedingFifo::CFeedingFifo(const std::string&, std::string) {}

CFeedingFifo::~CFeedingFifo() = default;

}  // namespace testing_support
