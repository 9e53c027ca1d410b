#!/usr/bin/env bash
# The Windows stage: cross-builds the module and the Wine test suite into build-win/ (or the
# folder given) and runs the tests under Wine, headless (Wine's null graphics driver).
# Exits 0 with a "skipped" line when mingw-w64 or Wine is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-win}"

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || ! command -v wine >/dev/null 2>&1; then
  echo "windows: skipped (mingw-w64 or Wine is not installed; scripts/setup-test.sh installs both)"
  exit 0
fi

# The private Wine prefix inside the build folder, for the build's own Wine step and the tests.
. scripts/wine-env.sh
kyr_wine_env "$dir"

echo "=== build $dir (x86_64-w64-mingw32)"
scripts/build-windows.sh "$dir" -DKYR_BUILD_TESTS=ON >/dev/null
cmake --build "$dir" -j2

echo "=== test $dir under Wine"
status=0
(cd "$dir" && ctest --timeout 180 --output-on-failure) || status=1
wineserver -k >/dev/null 2>&1 || true
exit "$status"
