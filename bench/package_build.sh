#!/usr/bin/env bash
# A game's build through the CMake package: COUNT small animations (200 by
# default), each in a folder of its own with its project, which records the
# two PNG pictures beside it, two images and a palette, converted by
# flipdeck_add_animation and linked into one program.
#
#   bench/package_build.sh [BUILD_DIR]        (default: build; COUNT=200, ROUNDS=5)
#
# Installs BUILD_DIR to a temporary prefix, writes the tree, configures it
# with Ninja and times, with -j2: the full build; a no-op rebuild (median of
# ROUNDS); the rebuild after touching one image (median of ROUNDS), which
# converts and compiles that animation alone and links again; and the
# rebuild after editing one PNG (the walk2 of the consumer test, back and
# forth; median of ROUNDS), which makes that picture again, converts and
# compiles its animation and links again.
set -euo pipefail
export LC_ALL=C

BUILD=$(realpath "${1:-build}")
COUNT=${COUNT:-200}
ROUNDS=${ROUNDS:-5}
SOURCE=$(realpath "$(dirname "$0")/..")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

Seconds() { # runs "$@" quietly, prints its wall time in seconds
  local start=$EPOCHREALTIME
  "$@" > "$WORK/log" 2>&1 || { cat "$WORK/log" >&2; exit 1; }
  awk -v a="$EPOCHREALTIME" -v b="$start" 'BEGIN { printf "%.4f\n", a - b }'
}
Median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }'; }

cmake --install "$BUILD" --prefix "$WORK/prefix" > /dev/null
tree=$WORK/game
mkdir -p "$tree"
{
  echo "cmake_minimum_required(VERSION 3.25)"
  echo "project(game LANGUAGES C)"
  echo "find_package(flipdeck REQUIRED)"
  echo "add_executable(game main.c)"
  echo "target_include_directories(game PRIVATE $SOURCE/tests/previewer)"
} > "$tree/CMakeLists.txt"
{
  echo '#include <stdio.h>'
  echo '#include "flipdeck.h"'
} > "$tree/main.c"
main_body=""
for ((i = 0; i < COUNT; ++i)); do
  name=$(printf 'a%03d' "$i")
  dir=$tree/anim/$name
  mkdir -p "$dir"
  cp "$SOURCE"/examples/walk/{walk1.png,walk2.png,walk1.tmf,walk2.tmf,walk.tlf} "$dir/"
  sed "s/^FRAME_LENGTH = 30/FRAME_LENGTH = $((20 + i % 20))/" "$SOURCE/examples/walk/walk.taf" > "$dir/$name.taf"
  sed -i "s/walk.tpf/$name.tpf/" "$dir/$name.taf"
  cp "$SOURCE/examples/walk/walk.tpf" "$dir/$name.tpf"
  {
    echo "flipdeck_add_animation($name TAF anim/$name/$name.taf PREFIX ${name}_)"
    echo "target_include_directories($name PRIVATE $SOURCE/tests/previewer)"
    echo "target_link_libraries(game PRIVATE $name)"
  } >> "$tree/CMakeLists.txt"
  echo "#include \"${name}_symbols.h\"" >> "$tree/main.c"
  main_body+="  frames += ((CAnmCtrlSetMaxFrame*)${name}_gAnimeCmd[0])->maxFrame;"$'\n'
done
printf 'int main(void) {\n  long frames = 0;\n%s  printf("%%ld frames\\n", frames);\n  return 0;\n}\n' \
  "$main_body" >> "$tree/main.c"

cmake -S "$tree" -B "$WORK/out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$WORK/prefix" > /dev/null
full=$(Seconds cmake --build "$WORK/out" -j 2)
"$WORK/out/game" | grep -q "frames" || { echo "package_build.sh: the game does not run" >&2; exit 1; }
noop=$(for ((r = 0; r < ROUNDS; ++r)); do Seconds cmake --build "$WORK/out" -j 2; done | Median)
grep -q "no work to do" "$WORK/log" || { echo "package_build.sh: a no-op rebuild did work" >&2; exit 1; }
touched=$(for ((r = 0; r < ROUNDS; ++r)); do
  touch "$tree/anim/a007/walk2.tmf"
  Seconds cmake --build "$WORK/out" -j 2
done | Median)
converted=$(grep -c "flipdeck: converting" "$WORK/log")
edited=$(for ((r = 0; r < ROUNDS; ++r)); do
  if ((r % 2 == 0)); then
    cp "$SOURCE/tests/package/walk2-edited.png" "$tree/anim/a007/walk2.png"
  else
    cp "$SOURCE/examples/walk/walk2.png" "$tree/anim/a007/walk2.png"
  fi
  Seconds cmake --build "$WORK/out" -j 2
done | Median)
grep -q "made again from" "$WORK/log" || { echo "package_build.sh: the edited PNG was not synced" >&2; exit 1; }

printf 'package build, %d animations, Ninja -j2\n' "$COUNT"
printf '  full build:                       %8.3f s\n' "$full"
printf '  no-op rebuild (median of %d):      %8.3f s\n' "$ROUNDS" "$noop"
printf '  one image touched (median of %d):  %8.3f s  (%d conversion)\n' "$ROUNDS" "$touched" "$converted"
printf '  one PNG edited (median of %d):     %8.3f s\n' "$ROUNDS" "$edited"
