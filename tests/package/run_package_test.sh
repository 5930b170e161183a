#!/usr/bin/env bash
# The CMake package as a game's build uses it:
#
#   tests/package/run_package_test.sh consumer BUILD SOURCE
#     installs BUILD to a temporary prefix, then builds tests/package/consumer
#     with Ninja and with Unix Makefiles: both animations play as expected, a
#     second build does nothing, touching one image converts only its
#     animation, editing one PNG makes its picture again and converts only its
#     animation, which plays the new pixel (with Ninja nothing else compiles,
#     and the build after does nothing), deleting a PNG breaks no build, and a
#     broken TAF fails the build until it is fixed; arguments
#     the build could not carry, and a path a dependency file cannot hold,
#     stop with an error that names them.
#   tests/package/run_package_test.sh deb BUILD
#     makes the Debian package and checks what it holds.
set -euo pipefail

mode=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [[ -f $work/log ]] && cat "$work/log" >&2
  exit 1
}

if [[ $mode == deb ]]; then
  (cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" > log 2>&1) || fail "cpack"
  deb=$(ls "$work"/*.deb)
  dpkg-deb -c "$deb" > "$work/contents"
  for file in ./usr/bin/flipdeck ./usr/bin/flipdeck-kit ./usr/lib/cmake/flipdeck/flipdeckConfig.cmake \
      ./usr/lib/cmake/flipdeck/flipdeckTargets.cmake ./usr/lib/cmake/flipdeck/flipdeckConvert.cmake; do
    grep -q " $file\$" "$work/contents" || fail "$deb holds no $file"
  done
  dpkg-deb -f "$deb" Package | grep -qx flipdeck || fail "$deb is not named flipdeck"
  echo "1 passed, 0 failed"
  exit 0
fi

source=$3
cmake --install "$build" --prefix "$work/prefix" > /dev/null
consumer=$work/consumer
cp -r "$source/tests/package/consumer" "$consumer"
mkdir -p "$consumer/anim/walk"
cp "$source"/examples/walk/{*.taf,*.tpf,*.tmf,*.tlf,walk1.png,walk2.png} "$consumer/anim/walk/"
sprites=$consumer/anim/hop/sprites
cp "$source/examples/walk/walk1.tmf" "$sprites/up.tmf"
cp "$source/examples/walk/walk2.tmf" "$sprites/down.tmf"
cp "$source/examples/walk/walk.tlf" "$sprites/hop.tlf"
expected=$source/tests/package/expected_play.txt

# Builds `dir` into `log`; the conversions it ran, one name a line, into `converted`.
build_consumer() {
  cmake --build "$1" > "$work/log" 2>&1 || return 1
  grep -o 'flipdeck: converting [a-z]*' "$work/log" | sed 's/.* //' | sort | tr '\n' ' ' > "$work/converted" || true
}
converted() { cat "$work/converted"; }

for generator in Ninja "Unix Makefiles"; do
  dir=$work/build-${generator// /-}
  cmake -S "$consumer" -B "$dir" -G "$generator" -DCMAKE_PREFIX_PATH="$work/prefix" \
    -DPREVIEWER_DIR="$source/tests/previewer" > "$work/log" 2>&1 || fail "$generator: configure"

  build_consumer "$dir" || fail "$generator: first build"
  [[ $(converted) == "hop walk " ]] || fail "$generator: first build converted '$(converted)'"
  "$dir/consumer" > "$work/played" || fail "$generator: the program fails"
  diff -u "$expected" "$work/played" || fail "$generator: the animations play otherwise"

  build_consumer "$dir" || fail "$generator: second build"
  if [[ -n $(converted) ]] || grep -q "Linking\|Building C" "$work/log"; then
    fail "$generator: a second build did work"
  fi

  touch "$consumer/anim/walk/walk1.tmf"
  build_consumer "$dir" || fail "$generator: build after touching walk1.tmf"
  [[ $(converted) == "walk " ]] || fail "$generator: touching walk1.tmf converted '$(converted)'"
  touch "$sprites/hop.tpf"
  build_consumer "$dir" || fail "$generator: build after touching hop.tpf"
  [[ $(converted) == "hop " ]] || fail "$generator: touching hop.tpf converted '$(converted)'"

  # An edited PNG: sync makes its picture again before the conversion; only
  # its animation converts and plays the new pixel, top left of walk2, in the
  # palette's first free entry. With Ninja the other animation and the
  # program's file compile no more, and the build after does nothing.
  walk=$consumer/anim/walk
  cp "$source/tests/package/walk2-edited.png" "$walk/walk2.png"
  build_consumer "$dir" || fail "$generator: build after editing walk2.png"
  [[ $(converted) == "walk " ]] || fail "$generator: editing walk2.png converted '$(converted)'"
  grep -q "walk2.tmf: made again from .*walk2.png" "$work/log" || fail "$generator: walk2 not synced"
  "$dir/consumer" > "$work/played" || fail "$generator: the program fails after the edit"
  awk '/^hop:/ { hop = 1 } !hop { sub(/img=00000011/, "img=70000011") } { print }' "$expected" |
    diff -u - "$work/played" ||
    fail "$generator: the edited picture plays otherwise"
  if [[ $generator == Ninja ]] && grep -q "hop.dir\|main.c" "$work/log"; then
    fail "$generator: editing walk2.png compiled more than walk"
  fi
  build_consumer "$dir" || fail "$generator: build after the edit"
  if [[ -n $(converted) ]] || grep -q "Linking\|Building C\|syncing" "$work/log"; then
    fail "$generator: the build after the edit did work"
  fi
  # A PNG deleted is no file the build cannot make; sync leaves its picture.
  # CMake's Makefiles keep a deleted input in their own record of what a
  # step reads, and run the step at every build until it is back; Ninja
  # forgets it.
  rm "$walk/walk1.png"
  build_consumer "$dir" || fail "$generator: build after deleting walk1.png"
  grep -q "walk1.png: is missing" "$work/log" || fail "$generator: no word of the missing walk1.png"
  build_consumer "$dir" || fail "$generator: second build after deleting walk1.png"
  [[ $generator != Ninja || -z $(converted) ]] || fail "$generator: walk1.png deleted, then '$(converted)'"
  cp "$source"/examples/walk/{walk1.png,walk2.png,walk2.tmf,walk.tlf} "$walk/"

  # A broken TAF fails the build, with check's FILE:LINE message, and goes
  # on failing until it is fixed: no output of it looks up to date.
  cp "$consumer/anim/hop/hop.taf" "$work/hop.taf"
  sed -i 's/^FRAME_LENGTH/FRAME_LENTH/' "$consumer/anim/hop/hop.taf"
  ! build_consumer "$dir" || fail "$generator: a broken TAF built"
  grep -q "hop.taf:4: warning: flipdeck never reads FRAME_LENTH; did you mean FRAME_LENGTH?" "$work/log" ||
    fail "$generator: no check message for the broken TAF"
  ! build_consumer "$dir" || fail "$generator: a broken TAF built the second time"
  cp "$work/hop.taf" "$consumer/anim/hop/hop.taf"
  build_consumer "$dir" || fail "$generator: the fixed TAF does not build"
  "$dir/consumer" > "$work/played" && diff -u "$expected" "$work/played" ||
    fail "$generator: after the fix the animations play otherwise"
done

# Odd arguments and paths, with Ninja: an argument the build could not carry
# stops the configuration, naming it; a TAF in a folder "y*" (Ninja ends a
# name at '*' in a dependency file) stops its conversion, naming the path
# and leaving no output; a ':' in a path, which deps escapes, reaches CMake's
# own reading of the dependency file as it reads it, so a second build does
# nothing (CMake's Makefiles cannot hold a ':').
odd=$work/odd
for folder in "y*" "take: 1"; do
  mkdir -p "$odd/$folder" && cp "$source"/examples/walk/*.{taf,tpf,tmf,tlf} "$odd/$folder/"
done
configure_odd() {
  printf 'cmake_minimum_required(VERSION 3.25)\nproject(odd LANGUAGES C)\nfind_package(flipdeck REQUIRED)\n%s\n' \
    "$1" > "$odd/CMakeLists.txt"
  cmake -S "$odd" -B "$odd/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/log" 2>&1
}
refused() {
  ! configure_odd "flipdeck_add_animation(odd $1)" || fail "$1 was accepted"
  tr -s ' \n' ' ' < "$work/log" | grep -qF "flipdeck_add_animation(odd): $2 '" || fail "$1: no error naming $2"
}
refused 'TAF "y*;x/walk.taf"' TAF
refused 'TAF "y*/walk.taf" PREFIX odd-' PREFIX
refused 'TAF "y*/walk.taf" OUTPUT_DIR "out$<0:x>"' OUTPUT_DIR
refused 'TAF "y*/walk.taf" OUTPUT_DIR "out\nx"' OUTPUT_DIR
configure_odd 'flipdeck_add_animation(odd TAF "y*/walk.taf")' || fail "y*: configure"
! cmake --build "$odd/build" > "$work/log" 2>&1 || fail "y*: the build passed"
grep -qF "$odd/y*/walk.taf: holds '*'" "$work/log" && [[ ! -e $odd/build/odd.c ]] ||
  fail "y*: no message naming the path, or odd.c left behind"
configure_odd "flipdeck_add_animation(odd TAF \"take: 1/walk.taf\")
target_include_directories(odd PRIVATE \"$source/tests/previewer\")" || fail "take: 1: configure"
build_consumer "$odd/build" && [[ $(converted) == "odd " ]] && build_consumer "$odd/build" &&
  [[ -z $(converted) ]] || fail "take: 1: the second build converted '$(converted)'"
echo "1 passed, 0 failed"
