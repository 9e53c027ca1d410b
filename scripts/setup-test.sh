#!/usr/bin/env bash
# Installs everything the tests and the release packaging need on top of the main job's packages
# (scripts/setup.sh): test and benchmark libraries, Chromium, the Windows cross compiler and
# Wine, the archivers, and the browser tests' npm packages. Idempotent: packages already present
# are not touched, and npm packages are installed only when the lock file changed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  googletest libgtest-dev       # tests
  libbenchmark-dev              # benchmarks
  chromium                      # the editor's browser on Linux: browser tests and editor snapshots
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev  # the Windows cross build
  wine wine64                   # running the Windows tests and module description tool
  zip unzip                     # the Windows archives
)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)
scripts/setup.sh "${packages[@]}"

# Browser tests of the editor page: playwright-core drives Debian's Chromium (no browser download).
if [ -f web-tests/package-lock.json ]; then
  stamp=web-tests/node_modules/.lock-stamp
  if [ ! -f "$stamp" ] || ! cmp -s web-tests/package-lock.json "$stamp"; then
    npm ci --prefix web-tests --no-audit --no-fund --loglevel=error
    cp web-tests/package-lock.json "$stamp"
  fi
fi
echo "setup-test: done"
