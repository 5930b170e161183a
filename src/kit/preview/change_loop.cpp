#include "kit/preview/change_loop.h"

#include <uv.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <map>
#include <set>

#include "path/file_system.h"
#include "path/path_utils.h"

namespace {

// What ends a watch from outside: Ctrl-C, kill's default signal, a terminal
// that went away.
constexpr std::array<int, 3> kInterrupts = {SIGINT, SIGTERM, SIGHUP};

// A file as it was when last taken: a rename brings another identity, a
// write another size or time.
struct CStamp {
  bool exists = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified[2] = {0, 0};  // seconds, nanoseconds
  int64_t changed[2] = {0, 0};
  bool operator==(const CStamp&) const = default;
};

uv_handle_t* AsHandle(void* handle) { return static_cast<uv_handle_t*>(handle); }

}  // namespace

struct CChangeLoop::CImpl {
  // One watched directory: its handle lives until libuv has closed it.
  struct CDirectory {
    uv_fs_event_t handle{};
    CImpl* owner = nullptr;
    std::string path;
  };

  explicit CImpl(std::chrono::milliseconds quietTime);
  ~CImpl();

  CStamp Take(const std::string& path);
  void WatchDirectory(const std::string& directory);
  void OnEvent(const CDirectory& directory, const char* name);
  void OnSettled();

  static void Close(std::unique_ptr<CDirectory> directory);

  uv_loop_t loop{};
  uv_timer_t settle{};
  uv_async_t stop{};
  std::array<uv_signal_t, kInterrupts.size()> signals{};
  std::chrono::milliseconds quiet;
  std::map<std::string, CStamp> files;  // full path -> as last taken
  std::map<std::string, std::unique_ptr<CDirectory>> directories;
  std::vector<std::unique_ptr<uv_process_t>> launched;
  const Changed* changed = nullptr;  // while Run runs
};

CChangeLoop::CImpl::CImpl(std::chrono::milliseconds quietTime) : quiet(quietTime) {
  uv_loop_init(&loop);
  uv_timer_init(&loop, &settle);
  settle.data = this;
  uv_async_init(&loop, &stop, [](uv_async_t* handle) { uv_stop(handle->loop); });
  // From now on an interrupt is taken, not suffered: one that comes before
  // Run ends Run as soon as it starts.
  for (size_t i = 0; i < kInterrupts.size(); ++i) {
    uv_signal_init(&loop, &signals[i]);
    uv_signal_start(
        &signals[i], [](uv_signal_t* signal, int) { uv_stop(signal->loop); }, kInterrupts[i]);
  }
}

CChangeLoop::CImpl::~CImpl() {
  for (auto& [path, directory] : directories) Close(std::move(directory));
  for (const auto& process : launched) uv_close(AsHandle(process.get()), nullptr);
  for (uv_signal_t& signal : signals) uv_close(AsHandle(&signal), nullptr);
  uv_close(AsHandle(&settle), nullptr);
  uv_close(AsHandle(&stop), nullptr);
  // Closing completes on the loop.
  uv_run(&loop, UV_RUN_DEFAULT);
  uv_loop_close(&loop);
}

void CChangeLoop::CImpl::Close(std::unique_ptr<CDirectory> directory) {
  uv_close(AsHandle(&directory.release()->handle), [](uv_handle_t* handle) {
    const std::unique_ptr<CDirectory> closed(static_cast<CDirectory*>(handle->data));
  });
}

CStamp CChangeLoop::CImpl::Take(const std::string& path) {
  CStamp stamp;
  uv_fs_t request;
  if (uv_fs_stat(&loop, &request, path.c_str(), nullptr) == 0) {
    const uv_stat_t& status = request.statbuf;
    stamp = {true,
             status.st_dev,
             status.st_ino,
             status.st_size,
             {status.st_mtim.tv_sec, status.st_mtim.tv_nsec},
             {status.st_ctim.tv_sec, status.st_ctim.tv_nsec}};
  }
  uv_fs_req_cleanup(&request);
  return stamp;
}

void CChangeLoop::CImpl::WatchDirectory(const std::string& path) {
  if (directories.contains(path)) return;
  auto directory = std::make_unique<CDirectory>();
  directory->owner = this;
  directory->path = path;
  uv_fs_event_init(&loop, &directory->handle);
  directory->handle.data = directory.get();
  const auto onEvent = [](uv_fs_event_t* handle, const char* name, int, int) {
    const auto* watched = static_cast<CDirectory*>(handle->data);
    watched->owner->OnEvent(*watched, name);
  };
  // A directory that does not exist (yet) cannot be watched; the file in it
  // is seen once a save elsewhere makes the project name it again.
  if (uv_fs_event_start(&directory->handle, onEvent, path.c_str(), 0) != 0) {
    Close(std::move(directory));
    return;
  }
  directories.emplace(path, std::move(directory));
}

void CChangeLoop::CImpl::OnEvent(const CDirectory& directory, const char* name) {
  // Some systems cannot say which file changed: any may have.
  if (name != nullptr) {
    std::string path = directory.path;
    if (path.empty() || !IsPathSeparator(path.back())) path += PreferredSeparator(HostPathStyle());
    if (!files.contains(path + name)) return;
  }
  // Each event of a burst puts the end of the burst off again.
  uv_timer_start(
      &settle, [](uv_timer_t* timer) { static_cast<CImpl*>(timer->data)->OnSettled(); },
      static_cast<uint64_t>(quiet.count()), 0);
}

void CChangeLoop::CImpl::OnSettled() {
  std::vector<std::string> changedFiles;
  for (auto& [path, stamp] : files) {
    const CStamp now = Take(path);
    if (now == stamp) continue;
    stamp = now;
    changedFiles.push_back(path);
  }
  if (!changedFiles.empty() && changed != nullptr) (*changed)(changedFiles);
}

CChangeLoop::CChangeLoop(std::chrono::milliseconds quiet)
    : m_impl(std::make_unique<CImpl>(quiet)) {}

CChangeLoop::~CChangeLoop() = default;

void CChangeLoop::Watch(const std::vector<std::string>& files) {
  std::map<std::string, CStamp> watched;
  std::set<std::string> directories;
  for (const std::string& file : files) {
    const auto known = m_impl->files.find(file);
    watched[file] = known != m_impl->files.end() ? known->second : m_impl->Take(file);
    std::string directory;
    std::string name;
    if (SplitPath(file, directory, name)) directories.insert(directory);
  }
  m_impl->files = std::move(watched);
  for (auto at = m_impl->directories.begin(); at != m_impl->directories.end();) {
    if (directories.contains(at->first)) {
      ++at;
      continue;
    }
    CImpl::Close(std::move(at->second));
    at = m_impl->directories.erase(at);
  }
  for (const std::string& directory : directories) m_impl->WatchDirectory(directory);
}

void CChangeLoop::Restamp(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    const auto known = m_impl->files.find(file);
    if (known != m_impl->files.end()) known->second = m_impl->Take(file);
  }
}

void CChangeLoop::Run(const Changed& changed) {
  m_impl->changed = &changed;
  uv_run(&m_impl->loop, UV_RUN_DEFAULT);
  m_impl->changed = nullptr;
}

void CChangeLoop::Stop() { uv_async_send(&m_impl->stop); }

bool CChangeLoop::Launch(const std::vector<std::string>& command, std::string& message) {
  std::vector<std::string> words = command;
  std::vector<char*> args;
  for (std::string& word : words) args.push_back(word.data());
  args.push_back(nullptr);
  uv_process_options_t options{};
  options.file = args.front();
  options.args = args.data();
  options.flags = UV_PROCESS_DETACHED | UV_PROCESS_WINDOWS_HIDE;
  auto process = std::make_unique<uv_process_t>();
  const int error = uv_spawn(&m_impl->loop, process.get(), &options);
  // A handle is closed with the loop, started or not; the browser is not
  // waited for.
  uv_unref(AsHandle(process.get()));
  m_impl->launched.push_back(std::move(process));
  if (error == 0) return true;
  message = "cannot start " + command.front() + ": " + uv_strerror(error);
  return false;
}
