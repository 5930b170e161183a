// TMF and TLF files for tests, built through flipdeck's own encoders so that
// no test depends on binary blobs of unknown origin.
#pragma once

#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

#include "texture/texture_format.h"

namespace testing_support {

/// A TMF file whose packed body holds bytes 0, 1, 2, ... (mod 256).
std::string MakeCountingTmf(int32_t width, int32_t height, int32_t bits);

/// A TLF file of type 0 holding `entries` (16 or 256), high byte first.
std::string MakeTlf(const std::vector<uint16_t>& entries, uint32_t type = kTlfTypeRgba5551);

/// A valid 16-entry or 256-entry palette with entries seed, seed+1, ...
std::string MakeSimpleTlf(int32_t count, uint16_t seed = 0);

/// The fields of a file in a case table, "w=4 tag=0x120300", read over the
/// defaults in `fields`; numbers as C writes them.
using FixtureFields = std::map<std::string, long long>;
FixtureFields ReadFixtureFields(std::istream& words, FixtureFields fields);

/// `header` and a body counting 1, 2, 3, ... of fields["body"] bytes (no
/// picture is blank), then cut or padded to fields["size"] when given.
std::string AddFixtureBody(std::string header, FixtureFields& fields);

}  // namespace testing_support
