#!/usr/bin/env bash
# The preview page in a real browser, for the tests and the benchmarks: a
# node script that drives Debian's Chromium through playwright-core,
# installed here by `npm ci` (make test and make bench do it). Nothing here
# downloads a browser.
#
#   tools/browser/run.sh SCRIPT CHROMIUM ARGS...
#
# runs `node SCRIPT CHROMIUM ARGS...`. Where node, playwright-core or
# Chromium is missing, it says which and exits 77, the code a test reports
# as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script=$1
chromium=$2
shift 2

if ! command -v node >/dev/null; then
  echo "browser: node is not installed (Debian: apt-get install nodejs npm)"
  exit 77
fi
if [[ ! -f $here/node_modules/playwright-core/package.json ]]; then
  echo "browser: playwright-core is not installed: run npm ci in tools/browser (make test does)"
  exit 77
fi
if [[ -z $chromium || ! -x $chromium ]]; then
  echo "browser: Chromium was not found (Debian: apt-get install chromium)"
  exit 77
fi
exec node "$script" "$chromium" "$@"
