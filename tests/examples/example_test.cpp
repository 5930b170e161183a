// The bundled example converted as `make demo` converts it. Every system
// must give the same C source and header but for their line ends, and the
// same console but for how it spells the paths it names.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

namespace ts = testing_support;

std::string Golden(const std::string& path) {
  return ts::ReadFileBytes(std::string(FLIPDECK_SOURCE_DIR) + "/tests/" + path);
}

TEST(WalkExample, ConvertsToTheSameTextOnEverySystem) {
  ts::TempDir dir;
  ts::CopyWalkExample(dir);
  const ts::ProcessResult r =
      ts::RunFlipdeck({"-v", "-owalk.c", "-ewalk.h", "walk.taf"}, dir.path().string());
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            ts::AsWritten(ts::Banner() + ts::WithDir(Golden("examples/walk/console_verbose.golden"),
                                                     dir.path().string())));
  EXPECT_EQ(dir.Read("walk.c"), ts::AsWritten(Golden("examples/walk/walk.c.golden")));
  EXPECT_EQ(dir.Read("walk.h"), ts::AsWritten(Golden("anime/golden/walk/walk.h.golden")));
}

}  // namespace
