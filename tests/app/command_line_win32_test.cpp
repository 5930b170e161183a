// The command line on Windows: '/' begins an option too, file names ignore
// case, and the NUL device named as an output survives.
#include "app/command_line_test.h"

namespace command_line_test {
namespace {

TEST_F(CommandLineTest, SlashOptionsAndNamesThatDifferInCase) {
  for (const Args& args : {Args{"/h"}, Args{"/?"}, Args{"/oout.c", "/?", "walk.taf"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    const auto result = Run(args);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, AsWritten(Banner() + kUsage));
  }
  EXPECT_EQ(m_dir.Read("out.c"), "old");

  // NEW.C and new.c are one file that does not exist yet: writing the header
  // over it would lose the C source.
  auto result = Run({"/oNEW.C", "/enew.c", "walk.taf"});
  EXPECT_EQ(result.exitStatus, 1);
  EXPECT_EQ(result.out, AsWritten(Banner() + "\nerr : [NEW.C] is named by both -o and -e\n"));
  result = Run({"/eout.h", "/oWALK.TAF", "walk.taf"});
  EXPECT_EQ(result.out, AsWritten(Banner() + "\nerr : [WALK.TAF] is both input and output\n"));
  EXPECT_EQ(m_dir.Read("walk.taf"), kQuietTaf);

  result = Run({"/oout.c", "/v", "walk.taf"});
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_NE(m_dir.Read("out.c"), "old");
  EXPECT_EQ(Run({"-oNUL", "walk.taf"}).out, AsWritten(Banner()));
}

}  // namespace
}  // namespace command_line_test
