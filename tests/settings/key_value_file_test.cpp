#include "settings/key_value_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "settings/value_integers.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadTable;

// Every key with its value, in enumeration order: "K=V ; K2=V2".
std::string KeysInOrder(const CKeyValueFile& file) {
  std::string keys;
  std::string key;
  std::string value;
  for (int i = 0; file.GetKeyAt(i, key, value); ++i)
    keys += (keys.empty() ? "" : " ; ") + key + "=" + value;
  return keys;
}

TEST(KeyValueFile, OnlyValidKeyLinesDefineKeys) {
  for (const auto& row : ReadTable("settings/syntax.table")) {
    CKeyValueFile file;
    file.LoadFromText(row.input);
    EXPECT_EQ(KeysInOrder(file), row.expected) << row.where;
  }
}

TEST(KeyValueFile, ExpandReplacesRepeatedlyAndSaysWhichReferenceFailedAndWhy) {
  static const char* const kKinds[] = {"", "undefined", "close-first", "endless", "too-long"};
  CKeyValueFile file;
  file.LoadFromText("X=abc\nY=$(X)/d\nE=\nSELF=$(SELF)\nA=x$(B)\nB=$(A)\nT=$(T)$(T)\nU=$(NONE)\n");
  file.SetValueVerbatim("H", std::string(size_t{1} << 19, 'h'));
  for (const auto& row : ReadTable("settings/expand.table")) {
    std::string result = "untouched";
    CExpandProblem problem;
    if (!file.Expand(row.input, result, &problem) && result == "untouched")
      result = "failed " + std::string(kKinds[static_cast<int>(problem.kind)]) +
               (problem.name.empty() ? "" : " " + problem.name);
    else if (result == std::string(size_t{1} << 20, 'h'))
      result = "(1 MiB)";
    EXPECT_EQ(result, row.expected) << row.where;
  }
}

// Messages point at the line that set a key's value: the last one that set
// it, counted as LoadFromText splits lines, 0 for values the program set.
TEST(KeyValueFile, EachKeyKnowsTheLineOfItsValue) {
  CKeyValueFile file;
  file.LoadFromText("# c\r\nA = 1\r\n  B=2\nB=3\n\nA=4\nC=5");
  file.SetValueVerbatim("D", "6");
  EXPECT_EQ(file.GetKeyLine("A"), 6);
  EXPECT_EQ(file.GetKeyLine("B"), 4);
  EXPECT_EQ(file.GetKeyLine("C"), 7);
  EXPECT_EQ(file.GetKeyLine("D"), 0);
  EXPECT_EQ(file.GetKeyLine("E"), 0);
}

TEST(KeyValueFile, LoadTakesLongLinesAndRefusesDirectories) {
  testing_support::TempDir dir;
  const std::string longValue(100000, 'v');
  dir.Write("sprites/walk.taf", "L=" + longValue + "\nT=tail");
  CKeyValueFile file;
  ASSERT_TRUE(file.Load(dir.Path("sprites") + "\\walk.taf"));
  EXPECT_EQ(KeysInOrder(file), "L=" + longValue + " ; T=tail");
  // A directory opens as a stream here, but is no settings file.
  EXPECT_FALSE(file.Load(dir.Path("sprites")));
}

// The order of the keys decides the names of the camera data in the generated C.
TEST(KeyValueFile, KeysComeInBucketsAscendingNewestFirst) {
  EXPECT_EQ(CKeyMap::BucketOf("CAM.0.0"), 12);
  EXPECT_EQ(CKeyMap::BucketOf("CAM.1.0"), 13);
  EXPECT_EQ(CKeyMap::BucketOf("\x80\x41"), 7);  // 0x80 counts as -128; as 128: 5

  // K0, K11 and K22 share bucket 7; K5 and CAM.0.0 are in 12, CAM.1.0 in 13.
  CKeyValueFile file;
  file.LoadFromText("CAM.1.0=1\nK11=a\nK5=b\nCAM.0.0=1\nK0=c\nK22=d\n");
  file.AddLine("K11=e");  // overwriting keeps the place
  EXPECT_EQ(KeysInOrder(file), "K22=d ; K0=c ; K11=e ; CAM.0.0=1 ; K5=b ; CAM.1.0=1");
  file.RemoveKey("K11");
  file.AddLine("K11 = f");  // removed and set again: the newest
  EXPECT_EQ(KeysInOrder(file), "K11=f ; K22=d ; K0=c ; CAM.0.0=1 ; K5=b ; CAM.1.0=1");
}

TEST(ValueIntegers, StreamPercentIAndDecimalRules) {
  for (const auto& row : ReadTable("settings/integers.table")) {
    const size_t blank = row.input.find(' ');
    const std::string rule = row.input.substr(0, blank);
    const std::string text = row.input.substr(blank + 1);
    int32_t value = 42;
    size_t pos = 2;
    std::string read = "none";
    if (rule == "stream") read = std::to_string(ReadStreamInt(text));
    if (rule == "%i" && ScanInt(text, value)) read = std::to_string(value);
    if (rule == "%d" && ScanDecimal(text, pos, value))
      read = std::to_string(value) + "@" + std::to_string(pos);
    EXPECT_EQ(read, row.expected) << row.where;
  }
}

}  // namespace
