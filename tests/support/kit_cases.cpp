#include "support/kit_cases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/fixture_builder.h"
#include "support/test_support.h"
#include "texture/texture_format.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;

std::string TmfFile(std::istream& words) {
  ts::FixtureFields f = ts::ReadFixtureFields(words, {{"bits", 4}, {"w", 4}, {"h", 2}});
  f.try_emplace("tag", TmfTagFor(static_cast<int32_t>(f["bits"])));
  f.try_emplace("body", (f["w"] * f["bits"] / 8 * f["h"] + 3) / 4 * 4);
  const TmfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["w"]),
                         static_cast<int32_t>(f["h"]), static_cast<int32_t>(f["bits"])};
  return ts::AddFixtureBody(EncodeTmfFile(header, ""), f);
}

std::string TlfFile(std::istream& words) {
  ts::FixtureFields f = ts::ReadFixtureFields(words, {{"count", 16}, {"type", 0}});
  f.try_emplace("tag", TlfTagFor(static_cast<int32_t>(f["count"])));
  f.try_emplace("body", 2 * f["count"]);
  const TlfHeader header{static_cast<uint32_t>(f["tag"]), static_cast<int32_t>(f["count"]),
                         static_cast<uint32_t>(f["type"])};
  return ts::AddFixtureBody(EncodeTlfFile(header, ""), f);
}

}  // namespace

std::vector<KitCase> ReadKitCases(const std::string& table) {
  const fs::path path = fs::path(FLIPDECK_SOURCE_DIR) / "tests" / table;
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<KitCase> cases;
  KitCase base;
  KitCase* current = &base;
  std::string line;
  auto block = [&] {
    std::string text;
    while (std::getline(in, line) && line != ".") text += ts::Unescape(line) + "\n";
    return text;
  };
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string verb;
    std::string name;
    words >> verb;
    if (verb.empty() || verb[0] == '#') continue;
    if (verb == "expect") {
      current->expect = block();
      continue;
    }
    if (verb == "args") {
      while (words >> name) current->args.push_back(name);
      continue;
    }
    words >> name;
    if (verb == "case") {
      cases.push_back(base);
      current = &cases.back();
      current->name = name;
    } else if (verb == "anime") {
      current->anime = name;
    } else if (verb == "text") {
      current->files[name] = block();
    } else if (verb == "tmf") {
      current->files[name] = TmfFile(words);
    } else if (verb == "tlf") {
      current->files[name] = TlfFile(words);
    } else if (verb == "example") {
      for (const auto& entry :
           fs::directory_iterator(fs::path(FLIPDECK_SOURCE_DIR) / "examples" / name)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".taf" || ext == ".tpf" || ext == ".tmf" || ext == ".tlf")
          current->files[entry.path().filename().string()] =
              ts::ReadFileBytes(entry.path().string());
      }
    } else if (verb == "remove") {
      current->files.erase(name);
    } else {
      ADD_FAILURE() << path << ": unknown directive " << verb;
    }
  }
  return cases;
}
