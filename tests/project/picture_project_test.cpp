#include "project/picture_project.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "project/picture_library.h"
#include "support/test_support.h"

namespace {

using testing_support::ScopedWorkingDir;
using testing_support::TempDir;

// "tmf|tlf|param" of picture `name`, or "-" when the project has none.
std::string Entry(const CPictureProject& project, const std::string& name) {
  CPictureInfo info;
  if (!project.Lookup(name, info)) return "-";
  return info.m_strTmf + "|" + info.m_strTlf + "|" + std::to_string(info.m_nParam);
}

TEST(PictureProject, EntriesUpToPictNum) {
  TempDir dir;
  CPictureProject project;
  for (const auto& row : testing_support::ReadTable("project/pict_num.table")) {
    ASSERT_TRUE(project.Load(dir.Write("p.tpf", row.input + "\n"))) << row.where;
    EXPECT_EQ(Entry(project, "p"), row.expected) << row.where;
  }
  EXPECT_FALSE(project.Load(dir.Path("missing.tpf")));
  EXPECT_EQ(Entry(project, "q"), "-");
  EXPECT_FALSE(project.Load(""));
}

// check explains what became of each picture key from these records.
TEST(PictureProject, EntriesRecordWhatBecameOfEachPictureKey) {
  TempDir dir;
  CPictureProject project;
  ASSERT_TRUE(project.Load(dir.Write(
      "p.tpf", "PICT_NUM=3\nPICT.2=p,i,i\n\nPICT.0=q,i,i\nPICT.1=r,$(PICT.0)\nPICT.3=s,i,i\n")));
  const std::vector<CPictureEntry>& entries = project.GetEntries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].number, 0);
  EXPECT_EQ(entries[0].line, 4);
  EXPECT_EQ(entries[1].line, 5);
  EXPECT_EQ(entries[1].fields, (std::vector<std::string>{"r", "$(PICT.0)"}));
  EXPECT_EQ(entries[1].expandProblem.kind, CExpandProblem::Kind::kUndefined);
  EXPECT_EQ(entries[1].expandProblem.name, "PICT.0");
  EXPECT_EQ(entries[2].line, 2);
  // Keys not read stay in the settings; TPF_DIR is the project's directory.
  EXPECT_TRUE(project.GetSettings()->Find("PICT.3"));
  EXPECT_FALSE(project.GetSettings()->Find("PICT.2"));
  EXPECT_EQ(*project.GetSettings()->Find("TPF_DIR"), dir.path().string());
}

TEST(PictureProject, ProjectWrittenOnWindowsFindsItsFilesAlongItsLists) {
  TempDir dir;
  for (const char* file :
       {"take#2/tex/both.tmf", "z/both.tmf", "z/only.tmf", "take#2/both.tlf", "w/d/only.tlf"}) {
    dir.Write(file, "");
  }
  ScopedWorkingDir cwd(dir.Path("w/d"));
  CPictureLibrary library;
  bool loaded = false;
  // $(TPF_DIR) keeps the "#" of the project directory, which no TPF_DIR line
  // can move. Each entry resolves on its own, relative ones against the
  // working directory: the ".." of one must not climb out of the entry
  // before it. Empty entries add no place to search: a list of only those
  // means the project directory.
  const std::string tpf = dir.Write("take#2/walk.tpf",
                                    "; written on Windows\r\n"
                                    "TPF_DIR = /elsewhere\r\n"
                                    "TMF_DIR = ;$(TPF_DIR)\\tex\\;;..\\..\\z;\r\n"
                                    "TLF_DIR = ;;\r\n"
                                    "PICT_NUM = 2\r\n"
                                    "PICT.0 = both,both.tmf,both.tlf,2\r\n"
                                    "PICT.1 = only,only.tmf,only.tlf\r\n");
  const CPictureProject& project = library.GetProject(tpf, loaded);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(project.GetTmfDir(), dir.Path("take#2/tex") + ";" + dir.Path("z"));
  EXPECT_EQ(Entry(project, "both"), "both.tmf|both.tlf|2");

  // A file that is not found leaves its path empty, not as it was.
  CPictureInfo info;
  std::string tmf;
  std::string tlf;
  ASSERT_TRUE(project.Lookup("both", info));
  library.FindFiles(tpf, info, tmf, tlf);
  EXPECT_EQ(tmf + "|" + tlf, dir.Path("take#2/tex/both.tmf") + "|" + dir.Path("take#2/both.tlf"));
  ASSERT_TRUE(project.Lookup("only", info));
  library.FindFiles(tpf, info, tmf, tlf);
  EXPECT_EQ(tmf + "|" + tlf, dir.Path("z/only.tmf") + "|");
}

}  // namespace
