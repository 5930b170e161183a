#include "project/picture_project.h"

#include <gtest/gtest.h>

#include <string>

#include "project/picture_files.h"
#include "support/test_support.h"

namespace {

using testing_support::ScopedWorkingDir;
using testing_support::TempDir;

// Loads the TPF text `body` written as `name` inside `dir`.
bool LoadTpf(CPictureProject& project, const TempDir& dir, const std::string& body,
             const std::string& name = "p.tpf") {
  return project.Load(dir.Write(name, body));
}

bool HasPicture(const CPictureProject& project, const std::string& name) {
  CPictureInfo info;
  return project.Lookup(name, info);
}

CPictureInfo Picture(const CPictureProject& project, const std::string& name) {
  CPictureInfo info;
  EXPECT_TRUE(project.Lookup(name, info)) << name;
  return info;
}

TEST(PictureProjectEntries, CountSkipsMissingKeysAndReadsPrefixes) {
  TempDir dir;
  CPictureProject project;
  ASSERT_TRUE(LoadTpf(project, dir, "PICT_NUM=3\nPICT.0=a,a.tmf,a.tlf\nPICT.2=c,c.tmf,c.tlf\n"));
  EXPECT_TRUE(HasPicture(project, "a"));
  EXPECT_TRUE(HasPicture(project, "c"));

  ASSERT_TRUE(LoadTpf(project, dir, "PICT_NUM=0x10\nPICT.15=in,i.tmf,i.tlf\nPICT.16=out,o,o\n"));
  EXPECT_TRUE(HasPicture(project, "in"));
  EXPECT_FALSE(HasPicture(project, "out"));

  ASSERT_TRUE(LoadTpf(project, dir, "PICT_NUM=010\nPICT.7=in,i.tmf,i.tlf\nPICT.8=out,o,o\n"));
  EXPECT_TRUE(HasPicture(project, "in"));
  EXPECT_FALSE(HasPicture(project, "out"));

  ASSERT_TRUE(LoadTpf(project, dir, "PICT_NUM=ten\nPICT.0=a,a.tmf,a.tlf\n"));
  EXPECT_FALSE(HasPicture(project, "a"));

  // Only plain decimal numbers name entries, however large the count.
  ASSERT_TRUE(LoadTpf(project, dir,
                      "PICT_NUM=0x7fffffff\nPICT.05=zero,z,z\nPICT.2000000=far,f.tmf,f.tlf\n"));
  EXPECT_FALSE(HasPicture(project, "zero"));
  EXPECT_TRUE(HasPicture(project, "far"));
}

TEST(PictureProjectEntries, FieldsSplitAtCommasUntrimmed) {
  TempDir dir;
  CPictureProject project;
  ASSERT_TRUE(LoadTpf(project, dir,
                      "PICT_NUM=6\n"
                      "PICT.0=plain,p.tmf,p.tlf\n"
                      "PICT.1=three,t.tmf,t.tlf,3\n"
                      "PICT.2=hex,h.tmf,h.tlf,0x1f,ignored\n"
                      "PICT.3=,,commas,,c.tmf,c.tlf,\n"
                      "PICT.4=blank, b.tmf,b.tlf\n"
                      "PICT.5=short,s.tmf\n"));
  EXPECT_EQ(Picture(project, "plain").m_nParam, 0);
  EXPECT_EQ(Picture(project, "three").m_nParam, 3);
  EXPECT_EQ(Picture(project, "hex").m_nParam, 31);
  const CPictureInfo commas = Picture(project, "commas");
  EXPECT_EQ(commas.m_strTmf, "c.tmf");
  EXPECT_EQ(commas.m_strTlf, "c.tlf");
  EXPECT_EQ(commas.m_nParam, 0);
  EXPECT_EQ(Picture(project, "blank").m_strTmf, " b.tmf");
  EXPECT_FALSE(HasPicture(project, "short"));
}

TEST(PictureProjectEntries, NamesAndOrder) {
  TempDir dir;
  CPictureProject project;
  // PICT.5 comes before PICT.4 in the settings' key order, so "the higher n
  // wins" must not be left to that order.
  ASSERT_TRUE(LoadTpf(project, dir,
                      "PICT_NUM=6\n"
                      "PICT.5=walk1,late.tmf,late.tlf\n"
                      "PICT.4=walk1,early.tmf,early.tlf\n"
                      "PICT.2=Walk1,upper.tmf,upper.tlf\n"
                      "PICT.0=first,f.tmf,f.tlf\n"
                      "PICT.3=again,$(PICT.0)\n"));
  EXPECT_EQ(Picture(project, "walk1").m_strTmf, "late.tmf");
  EXPECT_EQ(Picture(project, "Walk1").m_strTmf, "upper.tmf");
  EXPECT_FALSE(HasPicture(project, "WALK1"));
  // PICT.0 left the settings once used, so PICT.3 keeps its two fields.
  EXPECT_FALSE(HasPicture(project, "again"));
}

TEST(PictureProjectLoad, EmptyOrMissingPathFails) {
  TempDir dir;
  CPictureProject project;
  EXPECT_FALSE(project.Load(""));
  EXPECT_FALSE(project.Load(dir.Path("missing.tpf")));
  EXPECT_FALSE(HasPicture(project, "a"));

  ASSERT_TRUE(LoadTpf(project, dir, "PICT_NUM=1\nPICT.0=a,a.tmf,a.tlf\n"));
  EXPECT_FALSE(project.Load(dir.Path("missing.tpf")));
  EXPECT_FALSE(HasPicture(project, "a"));
}

TEST(PictureProjectDirectories, DefaultsAndBases) {
  TempDir dir;
  const std::string anim = dir.Path("anim");
  dir.Write("anim/tex/keep", "");
  dir.Write("tex/keep", "");
  ScopedWorkingDir cwd(dir.path());
  CPictureProject project;

  ASSERT_TRUE(project.Load(dir.Write("anim/p.tpf", "PICT_NUM=0\n")));
  EXPECT_EQ(project.GetDir(), anim);
  EXPECT_EQ(project.GetTmfDir(), anim);
  EXPECT_EQ(project.GetTlfDir(), anim);

  // A relative list is taken against the working directory; $(TPF_DIR)
  // anchors it to the project, and a TPF_DIR line cannot redirect that.
  ASSERT_TRUE(project.Load(
      dir.Write("anim/p.tpf", "TPF_DIR=/elsewhere\nTMF_DIR=tex\nTLF_DIR=$(TPF_DIR)\\tex\n")));
  EXPECT_EQ(project.GetTmfDir(), dir.Path("tex"));
  EXPECT_EQ(project.GetTlfDir(), anim + "/tex");
}

TEST(PictureProjectDirectories, HashInProjectDirectoryKeepsTpfDir) {
  TempDir dir;
  const std::string tpf = dir.Write("take#2/p.tpf", "TMF_DIR=$(TPF_DIR)\\tex\n");
  dir.Write("take#2/tex/keep", "");
  CPictureProject project;
  ASSERT_TRUE(project.Load(tpf));
  EXPECT_EQ(project.GetTmfDir(), dir.Path("take#2/tex"));
}

TEST(PictureProjectDirectories, ListsKeepOrderAndEveryEntry) {
  TempDir dir;
  dir.Write("w/d/a/b/both.tmf", "");
  dir.Write("w/d/a/b/both.tlf", "");
  dir.Write("z/both.tmf", "");
  dir.Write("z/only.tmf", "");
  ScopedWorkingDir cwd(dir.Path("w/d"));
  CPictureProject project;
  // Each entry resolves on its own: the ".." of the second entry must not
  // climb out of the first one.
  ASSERT_TRUE(LoadTpf(project, dir,
                      "TMF_DIR=;a\\b;;..\\..\\z;\nTLF_DIR=;;\nPICT_NUM=2\n"
                      "PICT.0=both,both.tmf,both.tlf\nPICT.1=only,only.tmf,only.tlf\n"));
  EXPECT_EQ(project.GetTmfDir(), dir.Path("w/d/a/b") + ";" + dir.Path("z"));
  EXPECT_EQ(project.GetTlfDir(), dir.path().string());  // no entries: the project directory

  std::string tmf;
  std::string tlf;
  EXPECT_FALSE(FindPictureFiles(project, Picture(project, "both"), tmf, tlf));
  EXPECT_EQ(tmf, dir.Path("w/d/a/b/both.tmf"));
  EXPECT_EQ(tlf, "");
  tlf = "stale";
  EXPECT_FALSE(FindPictureFiles(project, Picture(project, "only"), tmf, tlf));
  EXPECT_EQ(tmf, dir.Path("z/only.tmf"));
  EXPECT_EQ(tlf, "");
}

TEST(PictureProjectFiles, ProjectWrittenOnWindowsResolves) {
  TempDir dir;
  dir.Write("proj/anim/tex/walk1.tmf", "");
  dir.Write("proj/common/walk.tlf", "");
  ScopedWorkingDir cwd(dir.Path("proj/anim"));
  CPictureProject project;
  ASSERT_TRUE(LoadTpf(project, dir,
                      "; written on Windows\r\n"
                      "TMF_DIR = $(TPF_DIR)\\tex\\\r\n"
                      "TLF_DIR = ..\\common\r\n"
                      "PICT_NUM = 1\r\n"
                      "PICT.0 = walk1,walk1.tmf,walk.tlf,2\r\n",
                      "proj/anim/walk.tpf"));
  EXPECT_EQ(project.GetTmfDir(), dir.Path("proj/anim/tex"));
  EXPECT_EQ(project.GetTlfDir(), dir.Path("proj/common"));

  std::string tmf;
  std::string tlf;
  const CPictureInfo walk = Picture(project, "walk1");
  EXPECT_EQ(walk.m_nParam, 2);
  EXPECT_TRUE(FindPictureFiles(project, walk, tmf, tlf));
  EXPECT_EQ(tmf, dir.Path("proj/anim/tex/walk1.tmf"));
  EXPECT_EQ(tlf, dir.Path("proj/common/walk.tlf"));
}

}  // namespace
