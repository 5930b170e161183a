#!/usr/bin/env bash
# Cross-builds flipdeck and its tests for each Windows architecture named
# (i686, x86_64; both by default) and runs the tests under wine.
#
# flipdeck shows an error box for a bad TMF or TLF file; the tests read and
# dismiss each box, which needs a display, so wine runs in a virtual one
# (Xvfb). What is missing is installed from tools/deps.sh: mingw-w64,
# GoogleTest's sources, wine (with its 32-bit part for i686) and Xvfb.
#
# Some hosts cannot start 32-bit programs at all (a kernel without 32-bit
# support). There the i686 programs are still built, but their tests are not
# run, and the output says so; that alone does not fail the run.
set -euo pipefail
cd "$(dirname "$0")/.."

arches=("$@")
((${#arches[@]})) || arches=(i686 x86_64)

# Whether this host starts 32-bit x86 programs. The kernel is asked directly,
# with the smallest such program (an ELF header, one segment, and exit(0)
# through int 0x80), so the answer is known before wine's 32-bit part is
# installed: that is about 100 MB of no use where it cannot start. A kernel
# without 32-bit support refuses it with ENOEXEC ("Exec format error"), as it
# refuses wine's 32-bit loader. Any other failure is a fault of this machine
# and stops the run rather than pass for "cannot".
starts_32bit_programs() {
  local probe=build-windows-i686/exec-probe-i386 out result=0
  mkdir -p build-windows-i686
  {
    # ELF header: 32-bit x86 executable, entry 0x8048054, one program header
    printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0'
    printf '\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
    # the one segment: the whole 93-byte file, at 0x8048000, readable and executable
    printf '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x5d\0\0\0\x5d\0\0\0\x05\0\0\0\0\x10\0\0'
    # mov eax,1; xor ebx,ebx; int 0x80
    printf '\xb8\x01\0\0\0\x31\xdb\xcd\x80'
  } >"$probe"
  chmod +x "$probe"
  out=$(LC_ALL=C; "$probe" 2>&1) || result=$?
  rm -f "$probe"
  if ((result == 0)); then
    return 0
  elif [[ $out == *"Exec format error"* ]]; then
    return 1
  fi
  echo "cannot tell whether this host starts 32-bit programs: a 32-bit test program failed (exit status $result): $out" >&2
  exit 1
}

run_tests=()
not_run=
sets=()
for arch in "${arches[@]}"; do
  case "$arch" in
    i686)
      sets+=(windows-i686)
      if starts_32bit_programs; then
        sets+=(wine32)
        run_tests+=(i686)
      else
        why="this host cannot start 32-bit programs (the kernel refuses them: Exec format error)"
        echo "i686: tests are built but not run: $why"
        not_run="i686: built, tests not run: $why"
      fi ;;
    x86_64)
      sets+=(windows-x86_64)
      run_tests+=(x86_64) ;;
    *) echo "unknown Windows architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
  esac
done
((${#run_tests[@]} == 0)) || sets+=(wine)
tools/deps.sh "${sets[@]}"

status=0
for arch in "${arches[@]}"; do
  build="build-windows-$arch"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DFLIPDECK_WINDOWS_ARCH="$arch" \
    -DFLIPDECK_BUILD_TESTS=ON -DFLIPDECK_BUILD_BENCH=OFF -DFLIPDECK_WERROR=ON
  cmake --build "$build"
  [[ " ${run_tests[*]} " == *" $arch "* ]] || continue

  # The tests run under the wine the toolchain file chose: the 64-bit loader
  # for x86_64 (the plain wine command starts the 32-bit loader first, if it
  # is installed, and so fails where 32-bit programs cannot start). wine's
  # own set-up below uses the same one.
  if [[ $arch == x86_64 ]]; then wine_var=FLIPDECK_WINE64; else wine_var=FLIPDECK_WINE; fi
  wine=$(sed -n "s/^$wine_var:FILEPATH=//p" "$build/CMakeCache.txt")
  if [[ ! -x $wine ]]; then
    echo "$arch: wine's loader was not found ($wine_var='$wine' in $build/CMakeCache.txt)" >&2
    status=1
    continue
  fi

  # A wine of its own per build. The wine server is started first and kept
  # until the end: otherwise the first test's wine starts the background
  # services, and ctest waits for them as if that test were still running.
  # The server needs the prefix directory to exist.
  export WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  echo "== Windows $arch: tests under $wine"
  # wine's 32-bit runtime now and then crashes a test program as it exits,
  # after the program has reported its tests passed (seen once in seven runs
  # of the whole suite on a busy machine). A run whose only failures are
  # crashes runs those tests again, once, and says so; a test that fails an
  # assertion or times out, or crashes again, fails the run.
  xvfb-run -a bash -c '
    wineserver -p
    "$2" wineboot -i >/dev/null 2>&1
    log="$1/ctest-wine.log"
    ctest --test-dir "$1" --output-on-failure -j 2 --timeout 300 | tee "$log"
    result=${PIPESTATUS[0]}
    failed=$(sed -n "/^The following tests FAILED:/,\$p" "$log" | grep -E "^[[:space:]]+[0-9]+ - " || true)
    if [[ $result != 0 && -n $failed ]] && ! grep -qvE "\((SEGFAULT|Exception)\)$" <<<"$failed"; then
      echo "== these test programs crashed under wine; running them again once:"
      echo "$failed"
      ctest --test-dir "$1" --rerun-failed --output-on-failure --timeout 300 && result=0 &&
        echo "== they passed when run again: the crashes above were wine'"'"'s, not theirs"
    fi
    wineserver -k
    exit $result' bash "$build" "$wine" || status=1
done
# Said again last, where it is not lost in the tests' output.
[[ -z $not_run ]] || echo "$not_run"
exit $status
