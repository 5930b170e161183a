// TMF and TLF files for tests, built through flipdeck's own encoders so that
// no test depends on binary blobs of unknown origin.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/texture_format.h"

namespace testing_support {

/// A valid 16-entry or 256-entry palette with entries seed, seed+1, ...
std::string MakeSimpleTlf(int32_t count, uint16_t seed = 0);

/// The TMF file of a case's `tmf` line, from its fields "bits=4 w=8 size=40":
/// `bits` must be given, for a 4-bit and an 8-bit picture are both common;
/// `tag` follows it, `w` is 4, `h` 2, `body` the length of the packed rows,
/// `size` cuts or pads the whole file. The body counts 1, 2, 3, ... so that
/// no picture is blank. False, with `fault` saying why, for a missing
/// `bits`, an unknown field or a value that is no number.
bool MakeTmfFixture(const std::string& fields, std::string& bytes, std::string& fault);

/// The TLF file of a case's `tlf` line, the same way: `count` is 16, `type`
/// 0, `tag` the one of the count, `body` two bytes an entry.
bool MakeTlfFixture(const std::string& fields, std::string& bytes, std::string& fault);

}  // namespace testing_support
