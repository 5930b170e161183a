// watch's parts in one process: the change loop against real file events
// (every way an editor saves is seen once, a burst once, the job's own
// writes not at all), a read of the walk example through check and a sync
// step, and the server's rules as HTTP requests: the page and its event
// stream answer, nothing else does, nothing answers another Host, and
// nothing is served beyond the loopback address. The page in a browser is
// page_browser_test.mjs's.
#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

#include "kit/check/check.h"
#include "kit/preview/change_loop.h"
#include "kit/preview/live_animation.h"
#include "kit/preview/live_state.h"
#include "kit/preview/watch.h"
#include "kit/preview/watch_server.h"
#include "support/case_file.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;
using namespace std::chrono_literals;

// Long enough for a burst to settle (50 ms) on a busy machine.
constexpr auto kSettle = 400ms;

class ChangeLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf"}) m_dir.Write(name, "one");
    m_loop.Watch({m_dir.Path("walk.taf"), m_dir.Path("walk.tpf"), m_dir.Path("walk1.tmf"),
                  m_dir.Path("later.tpf")});
    m_thread = std::thread([this] {
      m_loop.Run([this](const std::vector<std::string>& files) {
        const std::lock_guard lock(m_mutex);
        m_rounds.push_back(files);
        if (m_onRound) m_onRound();
      });
    });
  }
  void TearDown() override {
    m_loop.Stop();
    m_thread.join();
  }

  // The rounds since the last call, each the files it found changed, once
  // the burst before has settled.
  std::vector<std::vector<std::string>> Rounds() {
    std::this_thread::sleep_for(kSettle);
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_rounds, {});
  }
  std::vector<std::vector<std::string>> One(const std::string& name) {
    return {{m_dir.Path(name)}};
  }

  ts::TempDir m_dir;
  CChangeLoop m_loop{50ms};
  std::thread m_thread;
  std::mutex m_mutex;
  std::vector<std::vector<std::string>> m_rounds;
  std::function<void()> m_onRound;  // runs on the loop, as watch's reads do
};

TEST_F(ChangeLoopTest, SeesEverySaveOnceAndABurstOnce) {
  // Written in place, in five writes 10 ms apart: one burst.
  for (int i = 0; i < 5; ++i) {
    m_dir.Write("walk.taf", "two " + std::to_string(i));
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(Rounds(), One("walk.taf"));
  // A temporary file renamed over the old one, and the same size as it.
  m_dir.Write(".walk1.tmf.swp", "six");
  fs::rename(m_dir.Path(".walk1.tmf.swp"), m_dir.Path("walk1.tmf"));
  EXPECT_EQ(Rounds(), One("walk1.tmf"));
  // Deleted and created again.
  fs::remove(m_dir.Path("walk.tpf"));
  m_dir.Write("walk.tpf", "seven");
  EXPECT_EQ(Rounds(), One("walk.tpf"));
  // A file the animation names appears; files it does not name change.
  m_dir.Write("later.tpf", "eight");
  EXPECT_EQ(Rounds(), One("later.tpf"));
  m_dir.Write("walk.bak", "nine");
  m_dir.Write("walk.html", "ten");
  EXPECT_TRUE(Rounds().empty());
}

// The job's own writes in a round (the sync step's) set off no round.
TEST_F(ChangeLoopTest, TheJobsOwnWritesSetOffNothing) {
  m_onRound = [this] {
    m_dir.Write("walk1.tmf", "synced");
    m_loop.Restamp({m_dir.Path("walk1.tmf")});
  };
  m_dir.Write("walk.tpf", "art changed");
  EXPECT_EQ(Rounds(), One("walk.tpf"));
  EXPECT_TRUE(Rounds().empty());
}

// A file the animation no longer names is no longer watched.
TEST_F(ChangeLoopTest, AFileDroppedFromTheSetSetsOffNothing) {
  m_onRound = [this] { m_loop.Watch({m_dir.Path("walk.taf")}); };
  m_dir.Write("walk.taf", "names no project now");
  EXPECT_EQ(Rounds(), One("walk.taf"));
  m_dir.Write("walk.tpf", "changed");
  EXPECT_TRUE(Rounds().empty());
}

TEST(ChangeLoop, StopBeforeRunEndsRunAtOnce) {
  CChangeLoop loop(50ms);
  loop.Stop();
  loop.Run([](const std::vector<std::string>&) {});
}

// The walk example read as watch reads it, with check's report and a sync
// step that says what it was given.
class LiveAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ts::WriteWalkExample(m_dir.path(), {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf",
                                        "walk.tlf", "walk1.png", "walk2.png"});
  }
  CLiveRead Read() { return m_animation.Read(); }
  bool Watched(const CLiveRead& read, const std::string& name) const {
    return std::find(read.watched.begin(), read.watched.end(), m_dir.Path(name)) !=
           read.watched.end();
  }

  ts::TempDir m_dir;
  ts::ScopedWorkingDir m_cwd{m_dir.path()};
  CArtSync m_sync;
  std::string m_syncedTaf;  // what the sync step writes to walk.taf, if anything
  std::string m_anime;
  CLiveAnimation m_animation{"walk.taf",
                             {"walk", "", 60, 0, {}},
                             {CheckMessages, [this](const std::string& anime) {
                                m_anime = anime;
                                if (!m_syncedTaf.empty()) m_dir.Write("walk.taf", m_syncedTaf);
                                return m_sync;
                              }}};
};

TEST_F(LiveAnimationTest, ConvertsWithItsPicturesInsideAndWatchesWhatItReads) {
  m_sync.art = {m_dir.Path("walk1.png")};
  m_sync.written = {m_dir.Path("walk1.tmf")};
  const CLiveRead read = Read();
  ASSERT_NE(read.model, nullptr);
  EXPECT_TRUE(read.problems.empty());
  EXPECT_EQ(m_anime, "walk.taf");
  EXPECT_EQ(read.written, m_sync.written);
  EXPECT_NE(read.model->find("\"uri\":\"data:image/png;base64,"), std::string::npos);
  // The page takes the model as JSON: it must read as such, every field in place.
  EXPECT_EQ(nlohmann::json::parse(*read.model).at("frameLength"), 30);
  for (const char* name :
       {"walk.taf", "walk.tpf", "walk1.tmf", "walk2.tmf", "walk.tlf", "walk1.png"})
    EXPECT_TRUE(Watched(read, name)) << name;
}

// A sheet's TAF that the sync step made again is read as it now is.
TEST_F(LiveAnimationTest, ATafTheSyncStepRewroteIsReadAgain) {
  std::string taf = ts::WalkExample("walk.taf");
  taf.replace(taf.find("FRAME_LENGTH = 30"), 17, "FRAME_LENGTH = 40");
  m_syncedTaf = taf;
  m_sync.written = {m_dir.Path("walk.taf")};
  const CLiveRead read = Read();
  ASSERT_NE(read.model, nullptr);
  EXPECT_NE(read.model->find("\"frameLength\":40"), std::string::npos);
}

TEST_F(LiveAnimationTest, ABrokenSaveGivesChecksLinesAndNoModel) {
  // A key frame naming a project that is not there yet: watched, to be seen
  // when it comes.
  m_dir.Write("walk.taf", m_dir.Read("walk.taf") +
                              "TPF.NUM = 2\nTPF.1.FILE = more.tpf\nFRAME_KEY1 = 10,1,run1\n");
  CLiveRead read = Read();
  EXPECT_EQ(read.model, nullptr);
  ASSERT_FALSE(read.problems.empty());
  EXPECT_TRUE(read.problems.back().starts_with("walk.taf:29: error: project more.tpf does not "))
      << read.problems.back();
  EXPECT_TRUE(Watched(read, "more.tpf"));

  // The sync step's problems come first, and stop the read too.
  m_dir.Write("walk.taf", ts::WalkExample("walk.taf"));
  m_sync.problems = {"walk.tpf:10: error: walk1.png holds 17 colours, more than walk.tlf's 16"};
  read = Read();
  EXPECT_EQ(read.model, nullptr);
  EXPECT_EQ(read.problems, m_sync.problems);
}

// Between the delete and the create of a save, the TAF is not there: what
// the last read watched stays watched, so that the rest of the save is seen.
TEST_F(LiveAnimationTest, ATafThatCannotBeReadKeepsWhatTheLastReadWatched) {
  ASSERT_NE(Read().model, nullptr);
  fs::remove(m_dir.path() / "walk.taf");
  const CLiveRead read = Read();
  EXPECT_EQ(read.model, nullptr);
  EXPECT_FALSE(read.problems.empty());
  for (const char* name : {"walk.taf", "walk.tpf", "walk1.tmf", "walk.tlf"})
    EXPECT_TRUE(Watched(read, name)) << name;
}

// A server on a free loopback port with the walk example's state, and a
// file beside it that no request may reach.
class WatchServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.Write("walk.taf", "SECRET = the artist's own words\n");
    std::string message;
    ASSERT_TRUE(m_server.Listen("127.0.0.1", 0, message)) << message;
    m_server.Start();
  }

  // A client of `address` that names `host` in its requests, sending paths
  // as given.
  httplib::Client Client(const std::string& host = "", const std::string& address = "127.0.0.1") {
    httplib::Client client(address, m_server.Port());
    client.set_url_encode(false);
    client.set_connection_timeout(2);
    m_host = host.empty() ? "127.0.0.1:" + std::to_string(m_server.Port()) : host;
    return client;
  }
  httplib::Result Get(httplib::Client& client, const std::string& path,
                      httplib::Headers headers = {}) {
    headers.emplace("Host", m_host);
    return client.Get(path.c_str(), headers);
  }

  ts::TempDir m_dir;
  ts::ScopedWorkingDir m_cwd{m_dir.path()};
  CLiveState m_state{"run", "{\"title\":\"walk\",\"pictures\":[]}"};
  CWatchServer m_server{m_state, MakeLivePageFrame("walk")};
  std::string m_host;
};

TEST_F(WatchServerTest, ServesThePageWithNoCorsHeadersAndNothingElse) {
  m_state.Publish(std::make_shared<const std::string>("{\"title\":\"walk\"}"), {});
  httplib::Client client = Client();
  const httplib::Result page = Get(client, "/", {{"Origin", "http://evil.example"}});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  for (const char* part : {"<title>walk</title>", "connect-src 'self'",
                           "\"events\":\"/events?since=run.1.1\"", "id=\"model\">{\"title\""})
    EXPECT_NE(page->body.find(part), std::string::npos) << part;
  for (const auto& [name, value] : page->headers)
    EXPECT_FALSE(name.starts_with("Access-Control-")) << name;

  // No path reaches the disk, however it is spelt.
  for (const char* path :
       {"/walk.taf", "/../walk.taf", "/%2e%2e/walk.taf", "/%2E%2E%2Fwalk.taf", "/..%5cwalk.taf",
        "//walk.taf", "/events/../walk.taf", "/./walk.taf", "/index.html", "/%2F"}) {
    const httplib::Result answer = Get(client, path);
    ASSERT_TRUE(answer) << path;
    EXPECT_TRUE(answer->status == 404 || answer->status == 400) << path << " " << answer->status;
    EXPECT_EQ(answer->body.find("SECRET"), std::string::npos) << path;
  }
}

TEST_F(WatchServerTest, AnswersOnlyItsOwnHostAndOnlyOnLoopback) {
  const std::string port = std::to_string(m_server.Port());
  const std::pair<std::string, int> hosts[] = {
      {"localhost:" + port, 200},    {"LOCALHOST:" + port, 200},
      {"evil.example:" + port, 403}, {"127.0.0.1.evil.example:" + port, 403},
      {"127.0.0.1:1" + port, 403},   {"127.0.0.1", 403},
  };
  for (const auto& [host, status] : hosts) {
    httplib::Client client = Client(host);
    for (const char* path : {"/", "/events"}) {
      // The status alone: the event stream has no end.
      int answered = 0;
      client.Get(
          path, {{"Host", host}},
          [&](const httplib::Response& response) {
            answered = response.status;
            return false;
          },
          [](const char*, size_t) { return false; });
      EXPECT_EQ(answered, status) << host << path;
    }
  }
  // Another loopback address reaches nothing: the server listens on one.
  httplib::Client other = Client("", "127.0.0.2");
  EXPECT_FALSE(Get(other, "/"));
  // Nor does a second server share its port.
  CWatchServer second(m_state, MakeLivePageFrame("walk"));
  std::string message;
  EXPECT_FALSE(second.Listen("127.0.0.1", m_server.Port(), message));
  EXPECT_EQ(message, "Address already in use");
}

TEST_F(WatchServerTest, TheStreamSendsTheNewModelOrTheProblemsAlone) {
  m_state.Publish(std::make_shared<const std::string>("{\"title\":\"one\"}"), {});
  httplib::Client client = Client();
  client.set_read_timeout(5);
  // What a page served with read 1 receives once reads 2 and 3 come.
  std::thread saves([this] {
    std::this_thread::sleep_for(200ms);
    m_state.Publish(nullptr, {"walk.taf:3: error: FRAME_KEY0 is not defined"});
  });
  // The first event a page that says it has `since` receives.
  const auto firstEvent = [&](const std::string& since) {
    std::string events;
    client.Get("/events?since=" + since, {{"Host", m_host}}, [&](const char* data, size_t length) {
      events.append(data, length);
      return events.find("\n\n") == std::string::npos;
    });
    return events;
  };
  EXPECT_EQ(firstEvent("run.1.1"),
            "id: run.2.1\nevent: update\ndata: {\"problems\":[\"walk.taf:3: error: FRAME_KEY0 "
            "is not defined\"]}\n\n");
  saves.join();

  // A page of another run, or a new one, takes the whole state at once.
  m_state.Publish(std::make_shared<const std::string>("{\"title\":\"two\"}"), {});
  EXPECT_EQ(
      firstEvent("earlier.5.5"),
      "id: run.3.3\nevent: update\ndata: {\"problems\":[],\"model\":{\"title\":\"two\"}}\n\n");
}

// An event id tells a page that connects again what it has; any other
// text, or an id of another run, tells nothing.
TEST(LiveState, EventIdsReadBackAndAnythingElseIsNothing) {
  CLiveState state("run", "{}");
  state.Publish(std::make_shared<const std::string>("{}"), {});
  state.Publish(nullptr, {"walk.taf:3: error: x"});
  const CLiveState::CSeen seen = state.Seen(state.EventId(state.Current()));
  EXPECT_EQ(seen.read, 2u);
  EXPECT_EQ(seen.model, 1u);
  for (const char* id :
       {"", "run", "run.", "walk.2.1", "run.2", "run.2x1", "run.2.1x", "run.x.1"}) {
    const CLiveState::CSeen none = state.Seen(id);
    EXPECT_EQ(none.read + none.model, 0u) << id;
  }
}

TEST(Hosts, TheServerAnswersItsOwnAndOnlyLoopbackAddressesKeepItToThisMachine) {
  for (const ts::TableRow& row : ts::ReadTable("kit/preview/hosts.table")) {
    const std::vector<std::string> words = ts::ReadArguments(row.input);
    const bool yes = words[0] == "server" ? IsServerHost(words[1], words[2], std::stoi(words[3]))
                                          : IsLoopbackHost(words[1]);
    EXPECT_EQ(yes ? "yes" : "no", row.expected) << row.where;
  }
}

}  // namespace
