#!/usr/bin/env bash
# A test of the preview page in a real browser: a node script that drives
# Debian's Chromium through playwright-core, installed here by `npm ci`
# (make test does it). Never downloads a browser.
#
#   tools/browser/browser_test.sh SCRIPT CHROMIUM ARGS...
#
# runs `node SCRIPT CHROMIUM ARGS...`. Where node, playwright-core or
# Chromium is missing, it says which and exits 77, the code the test
# reports as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script=$1
chromium=$2
shift 2

if ! command -v node >/dev/null; then
  echo "browser test: node is not installed (Debian: apt-get install nodejs npm)"
  exit 77
fi
if [[ ! -f $here/node_modules/playwright-core/package.json ]]; then
  echo "browser test: playwright-core is not installed: run npm ci in tools/browser (make test does)"
  exit 77
fi
if [[ -z $chromium || ! -x $chromium ]]; then
  echo "browser test: Chromium was not found (Debian: apt-get install chromium)"
  exit 77
fi
exec node "$script" "$chromium" "$@"
