#!/usr/bin/env bash
# Whole-process comparison: flipdeck against the usual tools on the same
# machine in the same minute, so that only ratios are compared.
#
#   bench/compare.sh [BUILD_DIR]        (default: build; ROUNDS=5)
#
# Times, interleaved round by round, and prints the medians:
#   - flipdeck converting W1 into a named C file;
#   - xxd -i over exactly the TMF and TLF files flipdeck reads for W1, each
#     as often as flipdeck writes its data (the sequence part and the camera
#     part each write their own copy), into one file;
#   - cp of flipdeck's C file: the cost of just writing that much text;
#   - flipdeck converting W2 with 1,000 and with 10,000 key frames, and cp
#     of its C file for 10,000;
#   - flipdeck converting the empty 4,096 x 4,096 camera grid, and cp of
#     its C file;
#   - flipdeck-kit importing W1's 64 pictures as indexed PNGs, against
#     netpbm's pngtopnm decoding the same files and ImageMagick's convert
#     writing them as BMP (what a user would otherwise script);
#   - flipdeck-kit preview of W1 (its 64 pictures encoded as PNG into one
#     page), and netpbm's pnmtopng encoding the same 64 pictures from PPM
#     with a PGM alpha mask (made beforehand, untimed, by flipdeck-kit
#     export and pngtopnm);
#   - flipdeck-kit new --sheet over the generated sheet of 1,024 frames of
#     64 x 64 (an RGBA PNG, made beforehand by convert, and one JSON), and
#     ImageMagick's convert -crop slicing the same PNG into 1,024 PNG files;
#   - flipdeck-kit sync of W1 made with new from its 64 PNG pictures: with
#     nothing changed, against stat of the files it looks at (the TPF, the
#     64 PNG and the 64 TMF files); and after one PNG changed (turned upside
#     down, by convert, untimed, each round), against importing that PNG
#     alone.
# Then one more run of each flipdeck conversion, of an import, of the
# preview and of new --sheet under /usr/bin/time -v for its peak resident
# memory. Builds
# nothing: `make bench` builds first.
set -euo pipefail
export LC_ALL=C # EPOCHREALTIME and sort -n must use the "." of C

BUILD=${1:-build}
ROUNDS=${ROUNDS:-5}
FLIPDECK=$(realpath -m "$BUILD/flipdeck")
KIT=$(realpath -m "$BUILD/flipdeck-kit")
MAKE_WORKLOAD=$(realpath -m "$BUILD/bench/make_workload")
WORK=$(realpath -m "$BUILD/bench/workloads")

Fail() {
  echo "compare.sh: $*" >&2
  exit 1
}

[[ -n ${EPOCHREALTIME:-} ]] || Fail "needs bash 5 or later (EPOCHREALTIME)"
[[ -x $FLIPDECK ]] || Fail "$FLIPDECK is missing: build first (make build)"
[[ -x $MAKE_WORKLOAD ]] || Fail "$MAKE_WORKLOAD is missing: build first (make build)"
HAVE_XXD=1
if ! command -v xxd >/dev/null; then
  HAVE_XXD=0
  echo "NOTE: xxd is not installed (apt-get install xxd, or vim-common):" \
    "the xxd comparison is skipped."
fi
HAVE_KIT=1
if [[ ! -x $KIT ]] || ! command -v pngtopnm >/dev/null || ! command -v pnmtopng >/dev/null ||
  ! command -v convert >/dev/null; then
  HAVE_KIT=0
  echo "NOTE: flipdeck-kit, netpbm or imagemagick is missing (apt-get install netpbm" \
    "imagemagick): the import and preview comparisons are skipped."
fi
HAVE_TIME=1
if [[ ! -x /usr/bin/time ]]; then
  HAVE_TIME=0
  echo "NOTE: /usr/bin/time is not installed (apt-get install time):" \
    "peak memory is not measured."
fi

# The workloads and the outputs (about 470 MB) go when the script ends.
trap 'rm -rf "$WORK"' EXIT
rm -rf "$WORK"
"$MAKE_WORKLOAD" "$WORK" || Fail "make_workload failed"

# Prints the wall time of "$@" in microseconds; its output is dropped.
# Callers change directory before, so that no extra fork is timed.
Micros() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || return 1
  local end=$EPOCHREALTIME
  echo $((${end/./} - ${start/./}))
}

# Prints the median of the numbers given as arguments.
Median() {
  printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Prints $1 / $2 with one decimal.
Ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

# Prints "met" or "MISSED" for the comparison "$1 $2 $3" (operator in $2).
Verdict() {
  awk -v a="$1" -v b="$3" -v op="$2" 'BEGIN {
    ok = (op == ">=") ? a >= b : (op == "<=") ? a <= b : a < b
    print ok ? "met" : "MISSED" }'
}

# Every data block flipdeck writes for W1, in writing order: the paths of
# its verbose "Texture Data output[...]" and "Palette Data output[...]"
# lines. A file written by both parts is listed twice.
W1="$WORK/w1"
(cd "$W1" && "$FLIPDECK" -v -oout.c anim.taf) >"$WORK/w1_verbose.txt" ||
  Fail "flipdeck failed on W1"
mapfile -t XXD_FILES < <(sed -n 's/^\(Texture\|Palette\) Data output\[\(.*\)\]$/\2/p' \
  "$WORK/w1_verbose.txt")
((${#XXD_FILES[@]} > 0)) || Fail "flipdeck -v listed no data blocks for W1"
XXD_BYTES=$(cat "${XXD_FILES[@]}" | wc -c)
C_BYTES=$(wc -c <"$W1/out.c")

Xxd() { for file in "${XXD_FILES[@]}"; do xxd -i "$file"; done >"$W1/xxd.c"; }
# Prints the time of cp of the C file flipdeck wrote in directory $1.
TimeCopy() { cd "$1" && Micros cp out.c copy.c; }

# Prints the time of flipdeck converting the workload in directory $1.
TimeFlipdeck() { cd "$1" && Micros "$FLIPDECK" -oout.c anim.taf; }

# W1's pictures as indexed PNGs, each with the palette its project gives it.
PNGS="$WORK/pngs"
if ((HAVE_KIT)); then
  mkdir -p "$PNGS"
  while IFS=' ,' read -r key _ name tmf tlf; do
    [[ $key == PICT.* ]] || continue
    "$KIT" export --force "$W1/$tmf" "$W1/$tlf" -o "$PNGS/$name.png" >/dev/null || Fail "export of $tmf failed"
  done <"$W1/pictures.tpf"
fi
ImportPngs() { "$KIT" import --out-dir "$WORK/imported" "$PNGS"/*.png; }
DecodePngs() { for file in "$PNGS"/*.png; do pngtopnm "$file" >/dev/null; done; }
ConvertPngs() { for file in "$PNGS"/*.png; do convert "$file" "BMP3:$WORK/x.bmp"; done; }
mkdir -p "$WORK/imported"

# W1's pictures as pnmtopng takes them: the colours as PPM, the alpha as a
# PGM mask, each from the picture flipdeck-kit export writes.
PNM="$WORK/pnm"
PNM_FILES=()
if ((HAVE_KIT)); then
  mkdir -p "$PNM"
  while IFS=', ' read -r name tmf tlf; do
    "$KIT" export --force "$W1/$tmf" "$W1/$tlf" -o "$PNM/$name.png" || Fail "export of $name failed"
    pngtopnm "$PNM/$name.png" >"$PNM/$name.ppm" 2>/dev/null || Fail "pngtopnm failed on $name"
    pngtopnm -alpha "$PNM/$name.png" >"$PNM/$name.pgm" 2>/dev/null || Fail "pngtopnm -alpha failed"
    PNM_FILES+=("$name")
  done < <(sed -n 's/^PICT\.[0-9]* = \(.*\)$/\1/p' "$W1/pictures.tpf")
  ((${#PNM_FILES[@]} == 64)) || Fail "W1 should list 64 pictures, not ${#PNM_FILES[@]}"
fi
Pnmtopng() {
  for name in "${PNM_FILES[@]}"; do
    pnmtopng -alpha="$PNM/$name.pgm" "$PNM/$name.ppm" >"$PNM/$name.out.png" || return 1
  done
}
TimePreview() { cd "$W1" && Micros "$KIT" preview anim.taf -o preview.html; }

# The sheet as a sprite editor writes it, RGBA; flipdeck-kit makes its
# project, and convert cuts it into one PNG a frame (no palette, no project).
SHEET="$WORK/sheet"
HAVE_SHEET=0
if ((HAVE_KIT)) && [[ -f $SHEET/sheet.json ]]; then
  HAVE_SHEET=1
  convert "$SHEET/sheet.png" PNG32:"$SHEET/sheet.png" || Fail "convert of the sheet failed"
  mkdir -p "$SHEET/crop"
fi
TimeNewSheet() { cd "$SHEET" && Micros "$KIT" new sheet --sheet sheet.json --out-dir out --force; }

# W1 as new makes it from its PNG pictures: a project that records its art.
# Each round one picture, p005, takes its other look, then the sync is timed.
SYNCED="$WORK/synced"
if ((HAVE_KIT)); then
  mkdir -p "$SYNCED"
  cp "$PNGS"/*.png "$SYNCED/"
  (cd "$SYNCED" && "$KIT" new w1 p*.png >/dev/null) || Fail "flipdeck-kit new of W1 failed"
  cp "$SYNCED/p005.png" "$WORK/p005-a.png"
  convert "$WORK/p005-a.png" -flip "$WORK/p005-b.png" || Fail "convert -flip failed"
  mapfile -t SYNC_FILES < <(cd "$SYNCED" && ls w1.tpf p*.png p*.tmf)
  ((${#SYNC_FILES[@]} == 129)) || Fail "the synced W1 should have 129 files, not ${#SYNC_FILES[@]}"
fi
TimeSyncNothing() { cd "$SYNCED" && Micros "$KIT" sync w1.tpf; }
TimeStat() { cd "$SYNCED" && Micros stat "${SYNC_FILES[@]}"; }
TimeSyncOne() {
  local look=a
  if cmp -s "$SYNCED/p005.png" "$WORK/p005-a.png"; then look=b; fi
  cp "$WORK/p005-$look.png" "$SYNCED/p005.png"
  cd "$SYNCED" && Micros "$KIT" sync w1.tpf
}
TimeImportOne() { cd "$WORK" && Micros "$KIT" import --out-dir imported p005-b.png; }
TimeCrop() { cd "$SHEET/crop" && Micros convert ../sheet.png -crop 64x64 +repage f%d.png; }

# Round 0 is not counted: it fills the page cache and leaves every output in
# place, so that each counted round replaces files of the same size.
T_W1=() T_XXD=() T_CP=() T_1K=() T_10K=() T_CP10K=() T_GRID=() T_CPGRID=()
T_IMPORT=() T_PNGTOPNM=() T_CONVERT=() T_PV=() T_PNM=() T_SHEET=() T_CROP=()
T_SYNC0=() T_STAT=() T_SYNC1=() T_IMPORT1=()
for ((round = 0; round <= ROUNDS; ++round)); do
  if ((HAVE_KIT)); then
    T_IMPORT+=("$(Micros ImportPngs)") || Fail "flipdeck-kit import failed"
    T_PNGTOPNM+=("$(Micros DecodePngs)") || Fail "pngtopnm failed"
    T_CONVERT+=("$(Micros ConvertPngs)") || Fail "convert failed"
  fi
  T_W1+=("$(TimeFlipdeck "$W1")") || Fail "flipdeck failed on W1"
  if ((HAVE_XXD)); then T_XXD+=("$(Micros Xxd)") || Fail "xxd failed"; fi
  T_CP+=("$(TimeCopy "$W1")") || Fail "cp failed"
  T_1K+=("$(TimeFlipdeck "$WORK/w2_1000")") || Fail "flipdeck failed on W2, N = 1,000"
  T_10K+=("$(TimeFlipdeck "$WORK/w2_10000")") || Fail "flipdeck failed on W2, N = 10,000"
  T_CP10K+=("$(TimeCopy "$WORK/w2_10000")") || Fail "cp failed"
  T_GRID+=("$(TimeFlipdeck "$WORK/grid")") || Fail "flipdeck failed on the grid"
  T_CPGRID+=("$(TimeCopy "$WORK/grid")") || Fail "cp failed"
  if ((HAVE_KIT)); then
    T_PV+=("$(TimePreview)") || Fail "flipdeck-kit preview failed on W1"
    T_PNM+=("$(Micros Pnmtopng)") || Fail "pnmtopng failed"
  fi
  if ((HAVE_SHEET)); then
    T_SHEET+=("$(TimeNewSheet)") || Fail "flipdeck-kit new --sheet failed"
    T_CROP+=("$(TimeCrop)") || Fail "convert -crop failed"
  fi
  if ((HAVE_KIT)); then
    T_SYNC0+=("$(TimeSyncNothing)") || Fail "flipdeck-kit sync failed"
    T_STAT+=("$(TimeStat)") || Fail "stat failed"
    T_SYNC1+=("$(TimeSyncOne)") || Fail "flipdeck-kit sync of one picture failed"
    T_IMPORT1+=("$(TimeImportOne)") || Fail "flipdeck-kit import of one picture failed"
  fi
  if ((round == 0)); then
    T_W1=() T_XXD=() T_CP=() T_1K=() T_10K=() T_CP10K=() T_GRID=() T_CPGRID=()
    T_IMPORT=() T_PNGTOPNM=() T_CONVERT=() T_PV=() T_PNM=() T_SHEET=() T_CROP=()
    T_SYNC0=() T_STAT=() T_SYNC1=() T_IMPORT1=()
  fi
done

Ms() { awk -v us="$1" 'BEGIN { printf "%9.1f ms", us / 1000 }'; }
M_W1=$(Median "${T_W1[@]}")
M_CP=$(Median "${T_CP[@]}")
M_1K=$(Median "${T_1K[@]}")
M_10K=$(Median "${T_10K[@]}")

echo
echo "flipdeck whole-process comparison: medians of $ROUNDS interleaved rounds"
echo "W1: 64 pictures of 512 x 512 x 8 bits, 64 key frames, 16 camera cells"
printf '  %-28s %s  (%s bytes of C)\n' "flipdeck -o" "$(Ms "$M_W1")" "$C_BYTES"
if ((HAVE_XXD)); then
  M_XXD=$(Median "${T_XXD[@]}")
  printf '  %-28s %s  (%s files, %s bytes)\n' "xxd -i over the same files" "$(Ms "$M_XXD")" \
    "${#XXD_FILES[@]}" "$XXD_BYTES"
fi
printf '  %-28s %s\n' "cp of flipdeck's C file" "$(Ms "$M_CP")"
if ((HAVE_XXD)); then
  R=$(Ratio "$M_XXD" "$M_W1")
  printf '  %-28s %9sx     target >= 10x: %s\n' "xxd -i / flipdeck" "$R" "$(Verdict "$R" ">=" 10)"
fi
R=$(Ratio "$M_W1" "$M_CP")
printf '  %-28s %9sx     target <= 3x: %s\n' "flipdeck / cp" "$R" "$(Verdict "$R" "<=" 3)"
echo "W2: 100 pictures of 32 x 32 x 4 bits, N key frames, about N camera cells"
printf '  %-28s %s\n' "N = 1,000" "$(Ms "$M_1K")" "N = 10,000" "$(Ms "$M_10K")"
M_CP10K=$(Median "${T_CP10K[@]}")
printf '  %-28s %s  (%s bytes of C)\n' "cp of the C file, 10,000" "$(Ms "$M_CP10K")" \
  "$(wc -c <"$WORK/w2_10000/out.c")"
R=$(Ratio "$M_10K" "$M_1K")
printf '  %-28s %9sx     target <= 12x: %s\n' "10,000 / 1,000" "$R" "$(Verdict "$R" "<=" 12)"
R=$(Ratio "$M_10K" "$M_CP10K")
printf '  %-28s %9sx     target <= 5x: %s\n' "10,000 / cp" "$R" "$(Verdict "$R" "<=" 5)"
echo "The empty camera grid of 4,096 x 4,096 positions"
M_GRID=$(Median "${T_GRID[@]}")
M_CPGRID=$(Median "${T_CPGRID[@]}")
printf '  %-28s %s  (%s bytes of C)\n' "flipdeck -o" "$(Ms "$M_GRID")" "$(wc -c <"$WORK/grid/out.c")"
printf '  %-28s %s\n' "cp of flipdeck's C file" "$(Ms "$M_CPGRID")"
printf '  %-28s %9sx\n' "flipdeck / cp" "$(Ratio "$M_GRID" "$M_CPGRID")"

if ((HAVE_KIT)); then
  echo "flipdeck-kit import: W1's 64 pictures as 512 x 512 indexed PNGs"
  M_IMPORT=$(Median "${T_IMPORT[@]}")
  M_PNGTOPNM=$(Median "${T_PNGTOPNM[@]}")
  M_CONVERT=$(Median "${T_CONVERT[@]}")
  printf '  %-28s %s\n' "flipdeck-kit import" "$(Ms "$M_IMPORT")" \
    "pngtopnm, one file at a time" "$(Ms "$M_PNGTOPNM")" \
    "convert to BMP3, one at a time" "$(Ms "$M_CONVERT")"
  R=$(Ratio "$M_IMPORT" "$M_PNGTOPNM")
  printf '  %-28s %9sx     target <= 2x: %s\n' "import / pngtopnm" "$R" "$(Verdict "$R" "<=" 2)"
  R=$(Ratio "$M_CONVERT" "$M_IMPORT")
  printf '  %-28s %9sx     target >= 3x: %s\n' "convert / import" "$R" "$(Verdict "$R" ">=" 3)"
fi

if ((HAVE_KIT)); then
  echo "flipdeck-kit preview of W1 against pnmtopng over the same 64 pictures"
  M_PV=$(Median "${T_PV[@]}")
  M_PNM=$(Median "${T_PNM[@]}")
  printf '  %-28s %s  (%s bytes of page)\n' "flipdeck-kit preview" "$(Ms "$M_PV")" \
    "$(wc -c <"$W1/preview.html")"
  printf '  %-28s %s  (%s bytes of PNG)\n' "pnmtopng, 64 pictures" "$(Ms "$M_PNM")" \
    "$(cat "$PNM"/*.out.png | wc -c)"
  R=$(Ratio "$M_PV" "$M_PNM")
  printf '  %-28s %9sx     target <= 1.5x: %s\n' "preview / pnmtopng" "$R" "$(Verdict "$R" "<=" 1.5)"
fi

if ((HAVE_SHEET)); then
  echo "flipdeck-kit new --sheet: 1,024 frames of 64 x 64 on one 2,048 x 2,048 RGBA PNG"
  M_SHEET=$(Median "${T_SHEET[@]}")
  M_CROP=$(Median "${T_CROP[@]}")
  printf '  %-28s %s  (%s pictures)\n' "flipdeck-kit new --sheet" "$(Ms "$M_SHEET")" \
    "$(find "$SHEET/out" -name '*.tmf' | wc -l)"
  printf '  %-28s %s  (%s PNG files)\n' "convert -crop 64x64" "$(Ms "$M_CROP")" \
    "$(find "$SHEET/crop" -name '*.png' | wc -l)"
  R=$(Ratio "$M_SHEET" "$M_CROP")
  printf '  %-28s %9sx     target < 1x: %s\n' "new --sheet / convert -crop" "$R" \
    "$(Verdict "$R" "<" 1)"
fi

if ((HAVE_KIT)); then
  echo "flipdeck-kit sync of W1 made with new (64 PNG pictures, a palette each)"
  M_SYNC0=$(Median "${T_SYNC0[@]}")
  M_STAT=$(Median "${T_STAT[@]}")
  M_SYNC1=$(Median "${T_SYNC1[@]}")
  M_IMPORT1=$(Median "${T_IMPORT1[@]}")
  printf '  %-28s %s\n' "sync, nothing changed" "$(Ms "$M_SYNC0")" \
    "stat of its 129 files" "$(Ms "$M_STAT")" \
    "sync, one PNG changed" "$(Ms "$M_SYNC1")" \
    "import of that PNG alone" "$(Ms "$M_IMPORT1")"
  R=$(Ratio "$M_SYNC0" "$M_STAT")
  printf '  %-28s %9sx     target <= 3x: %s\n' "sync unchanged / stat" "$R" "$(Verdict "$R" "<=" 3)"
  R=$(Ratio "$M_SYNC1" "$M_IMPORT1")
  printf '  %-28s %9sx     target <= 2x: %s\n' "sync of one / import" "$R" "$(Verdict "$R" "<=" 2)"
fi

((HAVE_TIME)) || exit 0
# Prints the peak resident memory of a flipdeck run in MiB.
PeakMiB() {
  (cd "$1" && /usr/bin/time -v "$FLIPDECK" -oout.c anim.taf 2>&1 >/dev/null) |
    awk -F': *' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }'
}
echo "Peak resident memory (/usr/bin/time -v, one run each)"
P=$(PeakMiB "$W1")
printf '  %-28s %9s MiB  target < 64 MiB: %s\n' "W1" "$P" "$(Verdict "$P" "<" 64)"
printf '  %-28s %9s MiB\n' "W2, N = 1,000" "$(PeakMiB "$WORK/w2_1000")"
printf '  %-28s %9s MiB\n' "W2, N = 10,000" "$(PeakMiB "$WORK/w2_10000")"
P=$(PeakMiB "$WORK/grid")
printf '  %-28s %9s MiB  target < 64 MiB: %s\n' "empty 4,096 x 4,096 grid" "$P" "$(Verdict "$P" "<" 64)"
if ((HAVE_KIT)); then
  # An RGBA picture of 4,096 x 4,096 (64 MiB decoded) with two colours.
  convert -size 4096x4096 pattern:checkerboard -alpha set PNG32:"$WORK/big.png"
  P=$( (cd "$WORK" && /usr/bin/time -v "$KIT" import big.png 2>&1 >/dev/null) |
    awk -F': *' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }')
  printf '  %-28s %9s MiB  target < 128 MiB: %s\n' "import of a 4,096^2 RGBA PNG" "$P" \
    "$(Verdict "$P" "<" 128)"
fi
((HAVE_KIT)) || exit 0
P=$(cd "$W1" && /usr/bin/time -v "$KIT" preview anim.taf -o preview.html 2>&1 >/dev/null |
  awk -F': *' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }')
printf '  %-28s %9s MiB  target < 64 MiB: %s\n' "W1 preview" "$P" "$(Verdict "$P" "<" 64)"
((HAVE_SHEET)) || exit 0
P=$(cd "$SHEET" && /usr/bin/time -v "$KIT" new sheet --sheet sheet.json --out-dir out --force \
  2>&1 >/dev/null | awk -F': *' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }')
printf '  %-28s %9s MiB  target < 64 MiB: %s\n' "new --sheet" "$P" "$(Verdict "$P" "<" 64)"
