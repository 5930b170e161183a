#include "settings/key_value_file.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/value_integers.h"
#include "support/test_support.h"

namespace {

std::string Expanded(const CKeyValueFile& file, const std::string& text) {
  std::string result = "<failed>";
  file.Expand(text, result);
  return result;
}

// Every key with its value, in enumeration order: "K=V K2=V2 ".
std::string KeysInOrder(const CKeyValueFile& file) {
  std::string keys;
  std::string key;
  std::string value;
  for (int i = 0; file.GetKeyAt(i, key, value); ++i) keys += key + "=" + value + " ";
  return keys;
}

TEST(KeyValueFile, OnlyValidKeyLinesDefineKeys) {
  CKeyValueFile file;
  file.LoadFromText(
      "A=V\nB = V\nC\t=\tV\n  D=1\n#E=1\n;F=1\nG\n=V\n =V\n[PICTURES]\n\nH=a # note\nI=a#b\nJ=#x\n"
      "K = a = b\n_K=1\n\\K=1\nA.B=1\nA@B=1\nA\\B=1\n9K=1\nA-B=1 # x\nA\xE9=1\n" +
      std::string(256, 'L') + "=ok\n" + std::string(257, 'M') + "=1\nA=last\r\n");
  std::string all;
  for (const char* key : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "_K", "\\K",
                          "A.B", "A@B", "A\\B", "9K", "A-B"}) {
    std::string value = "-";
    file.Lookup(key, value);
    all += std::string(key) + ":" + value + " ";
  }
  EXPECT_EQ(all,
            "A:last B:V C:V D:- E:- F:- G:- H:a I:a J: K:a = b _K:1 \\K:1 A.B:1 A@B:1 A\\B:1 "
            "9K:- A-B:- ");
  EXPECT_EQ(file.GetKeyCount(), 13);  // those above and the 256-character key
  EXPECT_FALSE(CKeyValueFile::IsValidKey(std::string("A\0B", 3)));
}

TEST(KeyValueFile, ExpandReplacesRepeatedlyAndFailsOnBadOrEndlessReferences) {
  CKeyValueFile file;
  const std::string big(4000, 'p');
  file.SetValueVerbatim("BIG", big);
  file.LoadFromText("X=abc\nY=$(X)/d\nE=\nSELF=$(SELF)\nA=x$(B)\nB=$(A)\nT=$(T)$(T)\n");
  EXPECT_EQ(Expanded(file, "<$(E)$(Y)>"), "<abc/d>");
  EXPECT_EQ(Expanded(file, "a(b)"), "a(b)");
  EXPECT_EQ(Expanded(file, "$(X"), "$(X");
  EXPECT_EQ(Expanded(file, "$(BIG)/$(BIG)"), big + "/" + big);
  for (const char* text : {"$(Z)", "a(b) $(X)", "$(X$(Y))", "$( X)", "$(SELF)", "$(A)", "$(T)"})
    EXPECT_EQ(Expanded(file, text), "<failed>") << text;
  // A text may grow to 1 MiB and not a character more.
  file.SetValueVerbatim("HALF", std::string(size_t{1} << 19, 'h'));
  file.SetValueVerbatim("ONE", "$(HALF)$(HALF)");
  EXPECT_EQ(Expanded(file, "$(ONE)"), std::string(size_t{1} << 20, 'h'));
  EXPECT_EQ(Expanded(file, "$(ONE)x"), "<failed>");
}

TEST(KeyValueFile, LoadReadsAnyBytesAndLineLength) {
  testing_support::TempDir dir;
  const std::string longValue(100000, 'v');
  std::string bytes = "A=1\r\n[P]\r\nB=x\ry\r\n" + std::string("N=a\0b\n", 6);
  bytes += "\x01\xFF\x80=junk\nH=\xC3\xA9t\xC3\xA9\nL=" + longValue + "\nT=tail";
  dir.Write("sprites/walk.taf", bytes);
  CKeyValueFile file;
  ASSERT_TRUE(file.Load(dir.Path("sprites") + "\\walk.taf"));
  std::string values;
  for (const char* key : {"A", "B", "N", "H", "T"}) {
    std::string value;
    file.Lookup(key, value);
    values += value + "|";
  }
  EXPECT_EQ(values, std::string("1|x\ry|a\0b|\xC3\xA9t\xC3\xA9|tail|", 21));
  std::string value;
  EXPECT_TRUE(file.Lookup("L", value) && value == longValue);
  EXPECT_EQ(file.GetKeyCount(), 6);
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
  EXPECT_EQ(KeysInOrder(file), "K22=d K0=c K11=e CAM.0.0=1 K5=b CAM.1.0=1 ");
  file.RemoveKey("K11");
  EXPECT_EQ(KeysInOrder(file), "K22=d K0=c CAM.0.0=1 K5=b CAM.1.0=1 ");
  file.AddLine("K11 = f");  // removed and set again: the newest
  EXPECT_EQ(KeysInOrder(file), "K11=f K22=d K0=c CAM.0.0=1 K5=b CAM.1.0=1 ");
}

TEST(ValueIntegers, StreamPercentIAndDecimalRules) {
  std::string read;
  // The last three hold 15, 16 and 16 characters; only the first 15 count.
  for (const char* text :
       {"010", "08", "0x1A", "  -12 frames", "+7", "walk", "0xg", " 123456789012345",
        "-00000000000012", "-000000000000012", "0x0000000000001F"})
    read.append(std::to_string(ReadStreamInt(text))).append(" ");
  EXPECT_EQ(read, "8 0 26 -12 7 0 0 2147483647 -10 -1 1 ");

  read.clear();
  for (const char* text : {" 0x1f", "010", "-3,rest", "99999999999999999999",
                           "-99999999999999999999", "-2147483648", "", "ten", "-", " - 5"}) {
    int32_t value = 42;  // kept when the text holds no number
    read.append(ScanInt(text, value) ? "" : "!").append(std::to_string(value)).append(" ");
  }
  EXPECT_EQ(read, "31 8 -3 2147483647 -2147483648 -2147483648 !42 !42 !42 !42 ");

  read.clear();
  for (const char* text : {"x=-12,a", "x=0x10", "x= +7.", "x=99999999999", "x=-", "x="}) {
    size_t pos = 2;
    int32_t value = 42;
    read.append(ScanDecimal(text, pos, value) ? "" : "!")
        .append(std::to_string(value) + "@" + std::to_string(pos) + " ");
  }
  EXPECT_EQ(read, "-12@5 0@3 7@5 2147483647@13 !42@2 !42@2 ");
}

}  // namespace
