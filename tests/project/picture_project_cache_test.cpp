#include "project/picture_project_cache.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

TEST(PictureProjectCache, LoadsOnceAndRemembersFailure) {
  testing_support::TempDir dir;
  const std::string good = dir.Write("p.tpf", "PICT_NUM=1\nPICT.0=a,a.tmf,a.tlf\n");
  const std::string late = dir.Path("late.tpf");
  CPictureProjectCache cache;
  bool loaded = false;
  const CPictureProject* project = cache.Get(good, loaded);
  EXPECT_TRUE(loaded);
  bool missing = true;
  const CPictureProject* empty = cache.Get(late, missing);
  EXPECT_FALSE(missing);

  // Neither file is read again: a rewritten project keeps its pictures, and
  // one that appears later still fails, as it did when the run first met it.
  dir.Write("p.tpf", "PICT_NUM=0\n");
  dir.Write("late.tpf", "PICT_NUM=1\nPICT.0=a,a.tmf,a.tlf\n");
  loaded = false;
  missing = true;
  EXPECT_EQ(cache.Get(good, loaded), project);
  EXPECT_EQ(cache.Get(late, missing), empty);
  EXPECT_TRUE(loaded);
  EXPECT_FALSE(missing);
  CPictureInfo info;
  EXPECT_TRUE(project->Lookup("a", info));
  EXPECT_FALSE(empty->Lookup("a", info));
}

}  // namespace
