#!/usr/bin/env bash
# Cross-builds flipdeck and its tests for each Windows architecture named
# (i686, x86_64; both by default) and runs the tests under wine.
#
# flipdeck shows an error box for a bad TMF or TLF file; the tests read and
# dismiss each box, which needs a display, so wine runs in a virtual one
# (Xvfb). What is missing is installed with apt-get: mingw-w64, GoogleTest's
# sources, wine (with its 32-bit part for i686) and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

arches=("$@")
((${#arches[@]})) || arches=(i686 x86_64)

packages=(cmake ninja-build libgtest-dev googletest wine xvfb xauth)
for arch in "${arches[@]}"; do
  case "$arch" in
    i686) packages+=(g++-mingw-w64-i686-posix wine32:i386) ;;
    x86_64) packages+=(g++-mingw-w64-x86-64-posix wine64) ;;
    *) echo "unknown Windows architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
  esac
done
missing=()
for pkg in "${packages[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if ((${#missing[@]})); then
  if ((EUID != 0)); then
    echo "missing packages: ${missing[*]}; install them as root (wine32 needs 'dpkg --add-architecture i386')" >&2
    exit 1
  fi
  if [[ " ${missing[*]} " == *" wine32:i386 "* ]]; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

status=0
for arch in "${arches[@]}"; do
  build="build-windows-$arch"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DFLIPDECK_WINDOWS_ARCH="$arch" \
    -DFLIPDECK_BUILD_TESTS=ON -DFLIPDECK_BUILD_BENCH=OFF
  cmake --build "$build"

  # A wine of its own per build. The wine server is started first and kept
  # until the end: otherwise the first test's wine starts the background
  # services, and ctest waits for them as if that test were still running.
  export WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all
  echo "== Windows $arch: tests under wine"
  xvfb-run -a bash -c '
    wineserver -p
    wineboot -i >/dev/null 2>&1
    ctest --test-dir "$1" --output-on-failure -j 2 --timeout 300
    result=$?
    wineserver -k
    exit $result' bash "$build" || status=1
done
exit $status
