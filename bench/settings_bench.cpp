// How the settings file scales: a TPF file of n pictures is read, and every
// picture key is removed once used, as a picture project does. Both must
// stay linear in n: the fit against N is reported with its RMS error.
#include <benchmark/benchmark.h>

#include <string>

#include "settings/key_value_file.h"

namespace {

std::string PictureFile(int count) {
  std::string text = "PICT_NUM = " + std::to_string(count) + "\n";
  for (int i = 0; i < count; ++i) {
    const std::string n = std::to_string(i);
    text += "PICT." + n + " = pic" + n + ",pic" + n + ".tmf,shared.tlf\n";
  }
  return text;
}

void BM_LoadAndRemovePictureKeys(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string text = PictureFile(count);
  for ([[maybe_unused]] auto&& iteration : state) {
    CKeyValueFile settings;
    settings.LoadFromText(text);
    for (int i = 0; i < count; ++i) settings.RemoveKey("PICT." + std::to_string(i));
    benchmark::DoNotOptimize(settings.GetKeyCount());
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_LoadAndRemovePictureKeys)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Complexity(benchmark::oN);

void BM_EnumerateKeys(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  CKeyValueFile settings;
  settings.LoadFromText(PictureFile(count));
  std::string key;
  std::string value;
  for ([[maybe_unused]] auto&& iteration : state) {
    for (int i = 0; i < settings.GetKeyCount(); ++i) settings.GetKeyAt(i, key, value);
    benchmark::DoNotOptimize(key);
  }
  state.SetComplexityN(count);
}
BENCHMARK(BM_EnumerateKeys)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);

}  // namespace
