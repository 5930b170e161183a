#include "kit/preview/watch_server.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <thread>
#include <vector>

#include "kit/preview/live_state.h"
#include "kit/preview/watch_platform.h"

namespace {

// How long an event stream stays silent before it says it is still there:
// a page that went away is only noticed when a write fails, and each open
// stream holds one of the server's threads.
constexpr std::chrono::seconds kHeartbeat(3);

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The page as it goes out: the frame around this moment's live state and
// model, which it keeps alive while it is sent.
struct CPageText {
  CLiveState::CSnapshot snapshot;
  std::string live;
  std::vector<std::string_view> parts;
  size_t length = 0;
};

// Writes the part of `page` that holds byte `offset`, from there on.
bool WritePageFrom(const CPageText& page, size_t offset, httplib::DataSink& sink) {
  for (const std::string_view part : page.parts) {
    if (offset >= part.size()) {
      offset -= part.size();
      continue;
    }
    return sink.write(part.data() + offset, part.size() - offset);
  }
  return false;
}

}  // namespace

std::string UrlHost(const std::string& host) {
  return host.find(':') == std::string::npos || host.starts_with('[') ? host : "[" + host + "]";
}

bool IsServerHost(const std::string& header, const std::string& host, int port) {
  const std::string suffix = ":" + std::to_string(port);
  for (const std::string& name :
       {std::string("127.0.0.1"), std::string("localhost"), UrlHost(host)}) {
    if (SameText(header, name + suffix)) return true;
    // A browser leaves the port out where it is the scheme's own.
    if (port == 80 && SameText(header, name)) return true;
  }
  return false;
}

struct CWatchServer::CImpl {
  CImpl(CLiveState& liveState, CLivePageFrame pageFrame)
      : state(liveState), frame(std::move(pageFrame)) {}

  void Route();
  void ServePage(httplib::Response& response) const;
  void ServeEvents(const httplib::Request& request, httplib::Response& response) const;

  CLiveState& state;
  const CLivePageFrame frame;
  httplib::Server server;
  std::string host;
  int port = 0;
  std::thread thread;
  std::atomic<bool> ended = false;  // set when the serving thread has stopped serving
};

void CWatchServer::CImpl::Route() {
  // An idle connection a browser keeps open holds one of the server's
  // threads, which Stop waits for: a second, not the library's five.
  server.set_keep_alive_timeout(1);
  // The library's own choice on Linux lets a second server share the port.
  server.set_socket_options(
      [](socket_t socket) { PrepareListenSocket(static_cast<uint64_t>(socket)); });
  server.set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        if (IsServerHost(request.get_header_value("Host"), host, port))
          return httplib::Server::HandlerResponse::Unhandled;
        response.status = 403;
        response.set_content("flipdeck-kit watch answers only at http://" + UrlHost(host) + ":" +
                                 std::to_string(port) + "/\n",
                             "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
      });
  server.Get("/",
             [this](const httplib::Request&, httplib::Response& response) { ServePage(response); });
  server.Get("/events", [this](const httplib::Request& request, httplib::Response& response) {
    ServeEvents(request, response);
  });
}

void CWatchServer::CImpl::ServePage(httplib::Response& response) const {
  auto page = std::make_shared<CPageText>();
  page->snapshot = state.Current();
  page->live = "{\"events\":\"/events?since=" + state.EventId(page->snapshot) +
               "\",\"problems\":" + *page->snapshot.problemsJson + "}";
  page->parts = {frame.before, page->live, frame.middle, *page->snapshot.modelJson, frame.after};
  for (const std::string_view part : page->parts) page->length += part.size();
  // A page of its own length is sent as it is: never compressed, which a
  // large model would pay for on every load.
  response.set_header("Cache-Control", "no-store");
  response.set_content_provider(page->length, "text/html; charset=utf-8",
                                [page](size_t offset, size_t, httplib::DataSink& sink) {
                                  return WritePageFrom(*page, offset, sink);
                                });
}

void CWatchServer::CImpl::ServeEvents(const httplib::Request& request,
                                      httplib::Response& response) const {
  // A page that connects again says what it saw last; a new page, what it
  // was served with.
  const std::string id = request.has_header("Last-Event-ID")
                             ? request.get_header_value("Last-Event-ID")
                             : request.get_param_value("since");
  auto seen = std::make_shared<CLiveState::CSeen>(state.Seen(id));
  response.set_header("Cache-Control", "no-store");
  response.set_chunked_content_provider(
      "text/event-stream", [this, seen](size_t, httplib::DataSink& sink) {
        CLiveState::CSnapshot now;
        switch (state.WaitForNewer(*seen, kHeartbeat, now)) {
          case CLiveState::Wait::kClosed:
            sink.done();
            return true;
          case CLiveState::Wait::kQuiet:
            return sink.write(":\n\n", 3);
          case CLiveState::Wait::kNewer:
            break;
        }
        // The model goes out only when it is not the one the page has: a
        // save that breaks the animation sends the panel's lines alone.
        const bool model = now.model != seen->model;
        const std::string head = "id: " + state.EventId(now) +
                                 "\nevent: update\ndata: {\"problems\":" + *now.problemsJson +
                                 (model ? ",\"model\":" : "");
        const bool sent = sink.write(head.data(), head.size()) &&
                          (!model || sink.write(now.modelJson->data(), now.modelJson->size())) &&
                          sink.write("}\n\n", 3);
        *seen = {now.read, now.model};
        return sent;
      });
}

CWatchServer::CWatchServer(CLiveState& state, CLivePageFrame frame)
    : m_impl(std::make_unique<CImpl>(state, std::move(frame))) {
  m_impl->Route();
}

CWatchServer::~CWatchServer() { Stop(); }

bool CWatchServer::Listen(const std::string& host, int port, std::string& message) {
  m_impl->host = host;
  errno = 0;
  if (port == 0) {
    m_impl->port = m_impl->server.bind_to_any_port(host);
  } else if (m_impl->server.bind_to_port(host, port)) {
    m_impl->port = port;
  }
  if (m_impl->port > 0) return true;
  message = errno != 0 ? std::strerror(errno) : "no such address here";
  return false;
}

int CWatchServer::Port() const { return m_impl->port; }

void CWatchServer::Start() {
  m_impl->thread = std::thread([this] {
    m_impl->server.listen_after_bind();
    m_impl->ended = true;
  });
  // Stop only stops a server that runs: until this one does, it would not.
  while (!m_impl->server.is_running() && !m_impl->ended)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void CWatchServer::Stop() {
  if (!m_impl->thread.joinable()) return;
  // The streams wait on the state: they must end before the server's
  // threads can.
  m_impl->state.Close();
  m_impl->server.stop();
  m_impl->thread.join();
}
