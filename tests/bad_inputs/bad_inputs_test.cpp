// The bad-input catalogue: each file under cases/ describes one run of
// flipdeck on malformed input, the exit status and console text it must
// give, and its input files, none of which the run may change. The case
// format is described in cases/README.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/fixture_builder.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

const fs::path kCases = fs::path(FLIPDECK_SOURCE_DIR) / "tests/bad_inputs/cases";

struct Case {
  std::vector<std::string> args, dirs, absent;
  std::map<std::string, std::string> files, outputs;
  std::string out, err;
  int exit = -1;
};

// "a\x{e9}" -> "a" and the byte 0xe9
std::string Unescape(std::string text) {
  for (size_t at = text.find("\\x{"); at != std::string::npos; at = text.find("\\x{", at + 1))
    text.replace(at, 6, 1, static_cast<char>(std::stoi(text.substr(at + 3, 2), nullptr, 16)));
  return text;
}

// "w=4 tag=0x120300" over the defaults in `fields`; numbers as C writes them.
std::map<std::string, long long> ReadFields(std::istream& words,
                                            std::map<std::string, long long> fields) {
  for (std::string word; words >> word;)
    fields[word.substr(0, word.find('='))] =
        std::stoll(word.substr(word.find('=') + 1), nullptr, 0);
  return fields;
}

// A header field as the 32 bits the file holds: 0x120300 -> 0x120300, -1 -> -1.
int32_t Int(std::map<std::string, long long>& fields, const char* key) {
  return static_cast<int32_t>(fields[key]);
}

// A body counting 1, 2, 3, ... so that no picture is blank; `size` then
// cuts or pads the whole file.
std::string Binary(std::string header, std::map<std::string, long long>& f) {
  for (long long i = 0; i < f["body"]; ++i) header.push_back(static_cast<char>(i + 1));
  if (f.count("size") != 0) header.resize(static_cast<size_t>(f["size"]), '\0');
  return header;
}

void ParseCase(const fs::path& file, Case& c) {
  std::ifstream in(file);
  ASSERT_TRUE(in) << file;
  std::string line;
  auto block = [&](std::istream& options) {
    std::string rest, text;
    std::getline(options, rest);
    const std::string end = rest.find("crlf") != std::string::npos ? "\r\n" : "\n";
    while (std::getline(in, line) && line != ".") text += Unescape(line) + end;
    if (rest.find("noeol") != std::string::npos) text.resize(text.size() - end.size());
    return text;
  };
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string verb, name;
    words >> verb;
    if (verb.empty() || verb[0] == '#') continue;
    if (verb == "stdout" || verb == "stderr") {
      (verb == "stdout" ? c.out : c.err) = block(words);
    } else if (verb == "args") {
      c.args.clear();  // a case's own command line replaces an included one
      while (words >> name) c.args.push_back(name == "\"\"" ? "" : Unescape(name));
    } else if (!(words >> name)) {
      ADD_FAILURE() << file << ": " << verb << " without its value";
    } else if (verb == "exit") {
      c.exit = std::stoi(name);
    } else if (verb == "include") {
      ParseCase(kCases / (name + ".inc"), c);
    } else if (verb == "dir") {
      c.dirs.push_back(name);
    } else if (verb == "text") {
      c.files[name] = block(words);
    } else if (verb == "output") {
      c.outputs[name] = block(words);
    } else if (verb == "absent") {
      c.absent.push_back(name);
    } else if (verb == "tmf") {
      auto f = ReadFields(words, {{"tag", 0x120300}, {"w", 4}, {"h", 2}});
      f.try_emplace("bits", f["tag"] == ts::kTmfTag4Bit ? 4 : 8);
      f.try_emplace("body", (f["w"] * f["bits"] / 8 * f["h"] + 3) / 4 * 4);
      c.files[name] =
          Binary(ts::MakeTmf(Int(f, "tag"), Int(f, "w"), Int(f, "h"), Int(f, "bits"), ""), f);
    } else if (verb == "tlf") {
      auto f = ReadFields(words, {{"tag", 0x200100}, {"count", 16}, {"type", 0}, {"body", 32}});
      c.files[name] = Binary(ts::MakeTlf(Int(f, "tag"), Int(f, "count"), Int(f, "type"), {}), f);
    } else {
      ADD_FAILURE() << file << ": unknown directive " << verb;
    }
  }
}

// FNV-1a over a file's bytes; 0 once the file is gone.
uint64_t HashFile(const std::string& path) {
  if (!fs::is_regular_file(path)) return 0;
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char byte : ts::ReadFileBytes(path)) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

class BadInput : public ::testing::TestWithParam<std::string> {};

TEST_P(BadInput, GivesItsMessageAndKeepsItsInputs) {
  Case c;
  ParseCase(kCases / (GetParam() + ".case"), c);
  ts::TempDir dir;
  const std::string root = dir.path().string();
  for (const std::string& name : c.dirs) fs::create_directories(dir.path() / name);
  std::map<std::string, uint64_t> hashes;
  for (const auto& [name, bytes] : c.files) hashes[name] = HashFile(dir.Write(name, bytes));
  for (std::string& arg : c.args) arg = ts::WithDir(arg, root);

  const ts::ProcessResult r = ts::RunFlipdeck(c.args, root);
  EXPECT_EQ(r.exitStatus, c.exit);
  EXPECT_EQ(r.out, ts::AsWritten(ts::Banner() + ts::WithDir(c.out, root)));
  EXPECT_EQ(r.err, ts::WithDir(c.err, root));
  for (const auto& [name, hash] : hashes) EXPECT_EQ(HashFile(dir.Path(name)), hash) << name;
  for (const std::string& name : c.dirs) EXPECT_TRUE(fs::is_directory(dir.path() / name)) << name;
  for (const auto& [name, bytes] : c.outputs)
    EXPECT_EQ(dir.Read(name), ts::AsWritten(bytes)) << name;
  for (const std::string& name : c.absent) EXPECT_FALSE(dir.Exists(name)) << name;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases))
    if (entry.path().extension() == ".case") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BadInput, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
