#!/usr/bin/env bash
# The Debian packages flipdeck's builds and tests need: the one list, and the
# installation of what is missing.
#
#   tools/deps.sh SET...
#
# Sets: build (both programs: make demo), test (make test: GoogleTest, the
# browser for the preview page and watch, node and npm for the lint of its
# script and the browser's driver), sanitize and fuzz (clang's runtimes),
# bench (the tools the comparisons time, and the browser watch is timed
# in), windows-i686 and windows-x86_64 (the mingw-w64 cross builds), wine
# (running their tests in a virtual display) and wine32 (wine's 32-bit part,
# for the i686 tests: only where this machine can start 32-bit programs,
# which tools/test-windows.sh finds out first).
#
# On a machine without dpkg nothing is installed: CMake then names what it
# does not find. Not as root, the missing packages are named and the script
# fails, so that nothing half-configured is built.
set -euo pipefail

declare -A SETS=(
  [build]="cmake ninja-build g++ make pkgconf libpng-dev libgif-dev libcli11-dev zlib1g-dev nlohmann-json3-dev libcpp-httplib-dev libuv1-dev"
  [test]="libgtest-dev libgmock-dev chromium nodejs npm"
  [sanitize]="clang libclang-rt-dev"
  [fuzz]="clang libclang-rt-dev"
  [bench]="libbenchmark-dev xxd time netpbm imagemagick chromium nodejs npm"
  [windows-i686]="cmake ninja-build libgtest-dev googletest g++-mingw-w64-i686-posix"
  [windows-x86_64]="cmake ninja-build libgtest-dev googletest g++-mingw-w64-x86-64-posix"
  [wine]="wine wine64 xvfb xauth"
  [wine32]="wine32:i386"
)

wanted=()
for set in "$@"; do
  [[ -n ${SETS[$set]+x} ]] || { echo "deps.sh: unknown set '$set' (${!SETS[*]})" >&2; exit 2; }
  read -ra packages <<<"${SETS[$set]}"
  wanted+=("${packages[@]}")
done

command -v dpkg-query >/dev/null || exit 0
# A name that an installed package provides counts as installed: NodeSource's
# nodejs provides npm, and conflicts with Debian's npm package.
provided=$(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' | sed -n 's/^ii *|//p' |
  sed 's/ ([^)]*)//g; s/, /\n/g')
missing=()
for pkg in "${wanted[@]}"; do
  [[ " ${missing[*]} " == *" $pkg "* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" && continue
  grep -qxF "$pkg" <<<"$provided" && continue
  missing+=("$pkg")
done
((${#missing[@]})) || exit 0

if ((EUID != 0)); then
  echo "deps.sh: missing Debian packages: ${missing[*]}" >&2
  echo "deps.sh: install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "deps.sh: installing ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]]; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
