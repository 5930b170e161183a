#!/usr/bin/env bash
# The lint of the preview page's script: node --check, then ESLint's
# recommended rules (eslint.config.js here) over the files named, relative
# to the top of the source tree.
#
#   tools/lint/lint.sh src/kit/preview/page.js
#
# Where node or the ESLint that `npm ci` installs here is missing, it says
# which and exits 77, the code the lint test reports as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."

if ! command -v node >/dev/null; then
  echo "lint: node is not installed (Debian: apt-get install nodejs npm)"
  exit 77
fi
eslint=$here/node_modules/eslint/bin/eslint.js
if [[ ! -f $eslint ]]; then
  echo "lint: ESLint is not installed: run npm ci in tools/lint (make test does)"
  exit 77
fi

for script in "$@"; do node --check "$script"; done
# ESLint skips a file outside its working directory with only a warning:
# any warning fails, so no file passes unread.
node "$eslint" --config "$here/eslint.config.js" --max-warnings 0 "$@"
echo "lint: node --check and ESLint find nothing in $*"
