#include "settings/key_value_file.h"
#include "settings/value_integers.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

// The line table at a glance: key lines as "K=V", other lines as "<text>".
std::string Lines(const CKeyValueFile& file) {
  std::string dump;
  for (int i = 0; i < file.GetLineCount(); ++i) {
    const auto& f = file.GetLineFields(i);
    dump += (f.size() == 3 ? f[0] + "=" + f[2] : "<" + f[0] + ">") + "|";
  }
  return dump;
}

std::string Expanded(const CKeyValueFile& file, const std::string& text) {
  std::string result = "<failed>";
  file.Expand(text, result);
  return result;
}

std::string KeysInOrder(const CKeyValueFile& file) {
  std::string keys;
  std::string key;
  std::string value;
  for (int i = 0; file.GetKeyAt(i, key, value); ++i) keys += key + "=" + value + " ";
  return keys;
}

}  // namespace

TEST(LineSyntaxTest, KeyLinesCommentsAndOtherLines) {
  CKeyValueFile file;
  file.LoadFromText(
      "A=V\nB = V\nC\t=\tV\n  D=1\n#E=1\n;F=1\nG\n=V\n =V\n[PICTURES]\n\nH=a # note\nI=a#b\nJ=#x\n"
      "K = a = b\n_K=1\n\\K=1\nA.B=1\nA@B=1\nA\\B=1\n9K=1\nA-B=1 # x\nA\xE9=1\n" +
      std::string(256, 'L') + "=ok\n" + std::string(257, 'M') + "=1\n");
  EXPECT_EQ(Lines(file),
            "A=V|B=V|C=V|<  D=1>|<#E=1>|<;F=1>|<G>|<=V>|< =V>|<[PICTURES]>|<>|H=a|I=a|J=|K=a = b|"
            "_K=1|\\K=1|A.B=1|A@B=1|A\\B=1|<9K=1>|<A-B=1 # x>|<A\xE9=1>|" +
                std::string(256, 'L') + "=ok|<" + std::string(257, 'M') + "=1>|");
  EXPECT_EQ(file.ClassifyLine(4), kCommentLine);
  EXPECT_FALSE(CKeyValueFile::IsValidKey(std::string("A\0B", 3)));
}

TEST(KeyLinesTest, RepeatedKeysAndSetValueKeepTheFirstLine) {
  CKeyValueFile file;
  file.LoadFromText("A=1\nB=2\nA=3\na=4\nK=old\n");
  file.SetValue("K", "new # gone");
  file.SetValue("N", std::string(5000, 'v'));  // no line length limit
  file.SetValue("bad key", "1");
  EXPECT_EQ(Lines(file), "A=3|B=2|a=4|K=new|N=" + std::string(5000, 'v') + "|<bad key = 1>|");
}

TEST(KeyLinesTest, RemovingLinesKeepsKeysAndLinesInStep) {
  CKeyValueFile file;
  file.LoadFromText("P\nA=1\nB=2\nP=1\nC=3\nD=4\n");
  // The lines after B move up: a repeated key must still land on its own line.
  file.RemoveKey("B");
  file.AddLine("P=9");
  // An other line whose text equals a key comes first: it goes, and takes the key along.
  file.RemoveKey("P");
  file.AddLine("D=7");
  file.RemoveLine(4);
  EXPECT_EQ(Lines(file), "A=1|P=9|C=3|D=7|");
  EXPECT_EQ(file.GetKeyCount(), 3);
  file.RemoveAllLines();
  EXPECT_EQ(file.GetLineCount() + file.GetKeyCount(), 0);
}

TEST(ExpandTest, ReplacesRepeatedlyAndFailsOnBadOrEndlessReferences) {
  CKeyValueFile file;
  const std::string big(4000, 'p');
  file.SetValue("BIG", big);
  file.LoadFromText("X=abc\nY=$(X)/d\nE=\nSELF=$(SELF)\nA=x$(B)\nB=$(A)\nT=$(T)$(T)\n");
  EXPECT_EQ(Expanded(file, "<$(E)$(Y)>"), "<abc/d>");
  EXPECT_EQ(Expanded(file, "a(b)"), "a(b)");
  EXPECT_EQ(Expanded(file, "$(X"), "$(X");
  EXPECT_EQ(Expanded(file, "$(BIG)/$(BIG)"), big + "/" + big);
  for (const char* text : {"$(Z)", "a(b) $(X)", "$(X$(Y))", "$( X)", "$(SELF)", "$(A)", "$(T)"})
    EXPECT_EQ(Expanded(file, text), "<failed>") << text;
}

TEST(LoadTest, ReadsAnyBytesAndLineLength) {
  testing_support::TempDir dir;
  const std::string longValue(100000, 'v');
  std::string bytes = "A=1\r\n[P]\r\nB=x\ry\r\n" + std::string("N=a\0b\n", 6);
  bytes += "\x01\xFF\x80=junk\nH=\xC3\xA9t\xC3\xA9\nL=" + longValue + "\nT=tail";
  dir.Write("sprites/walk.taf", bytes);
  CKeyValueFile file;
  ASSERT_TRUE(file.Load(dir.Path("sprites") + "\\walk.taf"));
  EXPECT_EQ(Lines(file),
            std::string("A=1|<[P]>|B=x\ry|N=a\0b|<\x01\xFF\x80=junk>|H=\xC3\xA9t\xC3\xA9|L=", 43) +
                longValue + "|T=tail|");
  // A directory opens as a stream here, but is no settings file.
  EXPECT_FALSE(file.Load(dir.Path("sprites")));
}

// The order of the keys decides the names of the camera data in the generated C.
TEST(KeyOrderTest, BucketsAscendingNewestFirst) {
  EXPECT_EQ(CKeyValueFile::KeyBucket("CAM.0.0"), 12);
  EXPECT_EQ(CKeyValueFile::KeyBucket("CAM.1.0"), 13);
  EXPECT_EQ(CKeyValueFile::KeyBucket("\x80\x41"), 7);  // 0x80 counts as -128; as 128: 5

  // K0, K11 and K22 share bucket 7; K5 and CAM.0.0 are in 12, CAM.1.0 in 13.
  CKeyValueFile file;
  file.LoadFromText("CAM.1.0=1\nK11=a\nK5=b\nCAM.0.0=1\nK0=c\nK22=d\n");
  file.AddLine("K11=e");  // overwriting keeps the place
  EXPECT_EQ(KeysInOrder(file), "K22=d K0=c K11=e CAM.0.0=1 K5=b CAM.1.0=1 ");
  file.RemoveKey("K11");
  EXPECT_EQ(KeysInOrder(file), "K22=d K0=c CAM.0.0=1 K5=b CAM.1.0=1 ");
  file.SetValue("K11", "f");  // removed and inserted again: the newest
  EXPECT_EQ(KeysInOrder(file), "K11=f K22=d K0=c CAM.0.0=1 K5=b CAM.1.0=1 ");
}

TEST(ValueIntegersTest, StreamAndPercentIRules) {
  std::string read;
  // The last three hold 15, 16 and 16 characters; only the first 15 count.
  for (const char* text :
       {"010", "08", "0x1A", "  -12 frames", "+7", "walk", "0xg", " 123456789012345",
        "-00000000000012", "-000000000000012", "0x0000000000001F"})
    read.append(std::to_string(ReadStreamInt(text))).append(" ");
  EXPECT_EQ(read, "8 0 26 -12 7 0 0 2147483647 -10 -1 1 ");

  read.clear();
  for (const char* text : {" 0x1f", "010", "-3,rest", "99999999999999999999",
                           "-99999999999999999999", "", "ten", "-", " - 5"}) {
    int value = 42;  // kept when the text holds no number
    read.append(ScanInt(text, value) ? "" : "!").append(std::to_string(value)).append(" ");
  }
  EXPECT_EQ(read, "31 8 -3 2147483647 -2147483648 !42 !42 !42 !42 ");
}
