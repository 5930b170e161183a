// The libFuzzer trampoline of every fuzz target: the build compiles it once
// per target with FLIPDECK_FUZZ_ENTRY naming that target's entry function.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FLIPDECK_FUZZ_ENTRY(data, size);
}
