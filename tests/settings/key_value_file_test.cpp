#include "settings/key_value_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

using Fields = std::vector<std::string>;

// The line table at a glance: key lines as "K=V", other lines as "<text>".
std::string Lines(const CKeyValueFile& file) {
  std::string dump;
  for (int i = 0; i < file.GetLineCount(); ++i) {
    const Fields& f = file.GetLineFields(i);
    dump += (f.size() == 3 ? f[0] + "=" + f[2] : "<" + f[0] + ">") + "|";
  }
  return dump;
}

std::string ValueOf(const CKeyValueFile& file, const std::string& key) {
  std::string value = "<absent>";
  file.Lookup(key, value);
  return value;
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
  for (int i = 0; file.GetKeyAt(i, key, value); ++i) keys += key + " ";
  return keys;
}

}  // namespace

TEST(LineSyntaxTest, KeyLinesCommentsAndOtherLines) {
  CKeyValueFile file;
  file.LoadFromText(
      "A=V\nB = V\nC\t=\tV\n  D=1\n#E=1\n;F=1\nG\n=V\n[PICTURES]\n\nH=a # note\nI=a#b\nJ=#x\n"
      "K = a = b\n_K=1\n\\K=1\nA.B=1\nA@B=1\nA\\B=1\n9K=1\nA-B=1 # x\nA\xE9=1\n" +
      std::string(256, 'L') + "=ok\n" + std::string(257, 'M') + "=1\n");
  EXPECT_EQ(Lines(file),
            "A=V|B=V|C=V|<  D=1>|<#E=1>|<;F=1>|<G>|<=V>|<[PICTURES]>|<>|H=a|I=a|J=|K=a = b|"
            "_K=1|\\K=1|A.B=1|A@B=1|A\\B=1|<9K=1>|<A-B=1 # x>|<A\xE9=1>|" +
                std::string(256, 'L') + "=ok|<" + std::string(257, 'M') + "=1>|");
  std::string kinds;
  for (int i = 0; i < file.GetLineCount(); ++i) kinds += std::to_string(file.ClassifyLine(i));
  EXPECT_EQ(kinds, "000211222200000000022202");
  EXPECT_EQ(file.ClassifyLine(99), kOtherLine);
  EXPECT_FALSE(CKeyValueFile::IsValidKey(std::string("A\0B", 3)));
  EXPECT_FALSE(CKeyValueFile::IsValidKey(""));
}

TEST(LineSyntaxTest, TokenizeDropsEmptyPieces) {
  Fields pieces{"stale"};
  EXPECT_EQ(CKeyValueFile::Tokenize(pieces, "a,b,,c,", ","), 3);
  EXPECT_EQ(pieces, (Fields{"a", "b", "c"}));
  EXPECT_EQ(CKeyValueFile::Tokenize(pieces, ",, walk1,\tx", ","), 2);
  EXPECT_EQ(pieces, (Fields{" walk1", "\tx"}));
  EXPECT_EQ(CKeyValueFile::Tokenize(pieces, ",,,", ","), 0);
  EXPECT_TRUE(pieces.empty());
}

TEST(KeyLinesTest, RepeatedKeysAndSetValueKeepTheFirstLine) {
  CKeyValueFile file;
  file.LoadFromText("A=1\nB=2\nA=3\na=4\nK=old\n");
  EXPECT_EQ(Lines(file), "A=3|B=2|a=4|K=old|");  // keys are case-sensitive
  file.SetValue("K", "new # gone");
  file.SetValue("N", std::string(5000, 'v'));  // no line length limit
  file.SetValue("bad key", "1");
  EXPECT_EQ(Lines(file), "A=3|B=2|a=4|K=new|N=" + std::string(5000, 'v') + "|<bad key = 1>|");
  EXPECT_EQ(file.GetKeyCount(), 5);

  // A directory name holding "#" must survive as $(TPF_DIR).
  file.SetValueVerbatim("A", " /work/take#2 ");
  file.SetValueVerbatim("9bad", "x");
  EXPECT_EQ(file.GetLineFields(0), (Fields{"A", "=", " /work/take#2 "}));
  EXPECT_EQ(Expanded(file, "$(A)/tex"), " /work/take#2 /tex");
  EXPECT_EQ(file.AddLine("Z=1"), 7);
}

TEST(KeyLinesTest, RemovingLinesKeepsKeysAndLinesInStep) {
  CKeyValueFile file;
  file.LoadFromText("A=1\nB=2\nC=3\nD=4\n");
  file.RemoveKey("B");
  // The lines after B moved up: a repeated key must still land on its own line.
  file.AddLine("D=5");
  file.AddLine("C=6");
  EXPECT_EQ(Lines(file), "A=1|C=6|D=5|");
  EXPECT_EQ(ValueOf(file, "B"), "<absent>");

  // An other line whose text equals a key comes first: it goes, and takes the key along.
  file.RemoveAllLines();
  file.LoadFromText("P\nP=1\n");
  file.RemoveKey("P");
  file.RemoveLine(7);
  file.RemoveLine(-1);
  EXPECT_EQ(Lines(file), "P=1|");
  EXPECT_EQ(file.GetKeyCount(), 0);
  file.RemoveAllLines();
  EXPECT_EQ(file.GetLineCount(), 0);
}

TEST(ExpandTest, ReplacesReferencesRepeatedly) {
  CKeyValueFile file;
  file.LoadFromText("X=abc\nY=$(X)/d\nE=\n");
  EXPECT_EQ(Expanded(file, "$(Y)"), "abc/d");
  EXPECT_EQ(Expanded(file, "<$(E)>"), "<>");
  EXPECT_EQ(Expanded(file, "a(b)"), "a(b)");
  EXPECT_EQ(Expanded(file, "$(X"), "$(X");
  for (const char* text : {"$(Z)", "a(b) $(X)", "$(X$(Y))", "$( X)"}) {
    EXPECT_EQ(Expanded(file, text), "<failed>") << text;
  }
}

TEST(ExpandTest, LongTextsExpandAndCyclesFail) {
  CKeyValueFile file;
  const std::string longValue(4000, 'p');
  file.SetValue("LONG", longValue);
  file.LoadFromText("SELF=$(SELF)\nA=x$(B)\nB=$(A)\nTWICE=$(TWICE)$(TWICE)\n");
  EXPECT_EQ(Expanded(file, "$(LONG)/$(LONG)"), longValue + "/" + longValue);
  for (const char* text : {"$(SELF)", "$(A)", "$(TWICE)"}) {
    EXPECT_EQ(Expanded(file, text), "<failed>") << text;
  }
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

  // A second load adds; a missing file, a directory or no name change nothing.
  dir.Write("more.taf", "A=2\n");
  ASSERT_TRUE(file.Load(dir.Path("more.taf")));
  EXPECT_FALSE(file.Load(dir.Path("missing.taf")));
  EXPECT_FALSE(file.Load(dir.Path("sprites")));
  EXPECT_FALSE(file.Load(""));
  EXPECT_EQ(file.GetLineCount(), 8);
  EXPECT_EQ(ValueOf(file, "A"), "2");
}

// The order of the keys decides the names of the camera data in the generated C.
TEST(KeyOrderTest, BucketsAscendingNewestFirst) {
  EXPECT_EQ(CKeyValueFile::KeyBucket("CAM.0.0"), 12);
  EXPECT_EQ(CKeyValueFile::KeyBucket("CAM.1.0"), 13);
  EXPECT_EQ(CKeyValueFile::KeyBucket("\x80\x41"), 7);  // 0x80 counts as -128; as 128: 5

  // K0, K11 and K22 share bucket 7; K5 and CAM.0.0 are in 12, CAM.1.0 in 13.
  CKeyValueFile file;
  file.LoadFromText("CAM.1.0=1\nK11=a\nK5=b\nCAM.0.0=1\nK0=c\nK22=d\n");
  EXPECT_EQ(KeysInOrder(file), "K22 K0 K11 CAM.0.0 K5 CAM.1.0 ");
  file.AddLine("K11=changed");  // overwriting keeps the place
  EXPECT_EQ(KeysInOrder(file), "K22 K0 K11 CAM.0.0 K5 CAM.1.0 ");
  file.RemoveKey("K11");  // removed and inserted again: the newest
  file.SetValue("K11", "back");
  EXPECT_EQ(KeysInOrder(file), "K11 K22 K0 CAM.0.0 K5 CAM.1.0 ");

  std::string key = "kept";
  std::string value;
  EXPECT_TRUE(file.GetKeyAt(0, key, value));
  EXPECT_EQ(value, "back");
  EXPECT_FALSE(file.GetKeyAt(6, key, value));
  EXPECT_FALSE(file.GetKeyAt(-1, key, value));
}

TEST(KeyOrderTest, VisitsEveryKeyExactlyOnce) {
  std::string text;
  for (int i = 0; i < 2000; ++i) {
    text += "CAM." + std::to_string(i % 50) + "." + std::to_string(i / 50) + "=1\n";
  }
  CKeyValueFile file;
  file.LoadFromText(text);
  file.RemoveKey("CAM.7.7");
  std::set<std::string> seen;
  std::string key;
  std::string value;
  int lastBucket = 0;
  for (int i = 0; file.GetKeyAt(i, key, value); ++i) {
    EXPECT_TRUE(seen.insert(key).second) << key;
    EXPECT_LE(lastBucket, CKeyValueFile::KeyBucket(key)) << key;
    lastBucket = CKeyValueFile::KeyBucket(key);
  }
  EXPECT_EQ(seen.size(), 1999u);
}
