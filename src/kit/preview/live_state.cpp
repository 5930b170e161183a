#include "kit/preview/live_state.h"

#include <charconv>

#include "kit/preview/preview_page.h"

namespace {

// Reads the decimal number at the start of `text` and the dot after it;
// false when there is none.
bool ReadPart(std::string_view& text, uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<size_t>(end - text.data()));
  return true;
}

}  // namespace

CLiveState::CLiveState(std::string run, std::string emptyModel) : m_strRun(std::move(run)) {
  m_current.modelJson = std::make_shared<const std::string>(std::move(emptyModel));
  m_current.problemsJson = std::make_shared<const std::string>("[]");
}

void CLiveState::Publish(std::shared_ptr<const std::string> model,
                         const std::vector<std::string>& problems) {
  auto problemsJson = std::make_shared<const std::string>(JsonStrings(problems));
  {
    const std::lock_guard lock(m_mutex);
    ++m_current.read;
    if (model) {
      m_current.model = m_current.read;
      m_current.modelJson = std::move(model);
    }
    m_current.problemsJson = std::move(problemsJson);
  }
  m_changed.notify_all();
}

CLiveState::CSnapshot CLiveState::Current() const {
  const std::lock_guard lock(m_mutex);
  return m_current;
}

std::string CLiveState::EventId(const CSnapshot& snapshot) const {
  return m_strRun + "." + std::to_string(snapshot.read) + "." + std::to_string(snapshot.model);
}

CLiveState::CSeen CLiveState::Seen(const std::string& eventId) const {
  std::string_view text = eventId;
  if (!text.starts_with(m_strRun + ".")) return {};
  text.remove_prefix(m_strRun.size() + 1);
  CSeen seen;
  if (!ReadPart(text, seen.read) || !text.starts_with('.')) return {};
  text.remove_prefix(1);
  if (!ReadPart(text, seen.model) || !text.empty()) return {};
  return seen;
}

CLiveState::Wait CLiveState::WaitForNewer(const CSeen& seen, std::chrono::milliseconds timeout,
                                          CSnapshot& now) const {
  std::unique_lock lock(m_mutex);
  const bool woken =
      m_changed.wait_for(lock, timeout, [&] { return m_bClosed || m_current.read != seen.read; });
  if (m_bClosed) return Wait::kClosed;
  if (!woken) return Wait::kQuiet;
  now = m_current;
  return Wait::kNewer;
}

void CLiveState::Close() {
  {
    const std::lock_guard lock(m_mutex);
    m_bClosed = true;
  }
  m_changed.notify_all();
}
