#!/usr/bin/env bash
# Builds flipdeck's libFuzzer targets in their own clang build and runs each
# for a number of seconds, starting from the seed corpus.
#
#   tools/fuzz.sh [seconds] [target...]
#
# seconds defaults to 60; targets default to all six. FUZZ_BUILD names the
# build directory (default build-fuzz). The corpus each run grows stays in
# the build directory; crashing inputs land in <build>/fuzz-artifacts/ and
# belong, once fixed, in tests/fuzz/regressions/<target>/. Exits 1 when any
# target found a crash, a leak or a timeout.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then targets=(settings tmf tlf conversion png sheet); fi
build="${FUZZ_BUILD:-build-fuzz}"

if [[ ! -f "$build/build.ninja" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DFLIPDECK_FUZZ=ON -DFLIPDECK_BUILD_BENCH=OFF -DFLIPDECK_WERROR=ON
fi
cmake --build "$build" --target "${targets[@]/%/_fuzzer}"

failed=()
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$corpus" "$artifacts"
  echo "== $target: ${seconds} s"
  # Standard input closed: a fuzzed project may name /dev/stdin.
  if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts" \
      "$corpus" "tests/fuzz/corpus/$target" </dev/null 2>"$build/fuzz-$target.log"; then
    failed+=("$target")
  fi
  # The final line: executions (#N), coverage (cov, ft) and corpus size.
  grep -E '^#[0-9]+[[:space:]]+DONE|ERROR|^SUMMARY' "$build/fuzz-$target.log" || true
  echo "   corpus: $(find "$corpus" -type f | wc -l) files"
done

if ((${#failed[@]})); then
  echo "fuzz: failures in ${failed[*]} (see $build/fuzz-<target>.log and $build/fuzz-artifacts/)"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, ${seconds} s each, nothing found"
