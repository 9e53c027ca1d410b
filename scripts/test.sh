#!/usr/bin/env bash
# Every test: the plain build with unit, integration and browser tests, the Windows module under
# Wine, the release archives, then the same C++ tests under AddressSanitizer+UndefinedBehaviorSanitizer
# and under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-test.sh

export CTEST_OUTPUT_ON_FAILURE=1
status=0

run_config() {
  local dir="$1"
  shift
  echo "=== build $dir"
  scripts/build.sh "$dir" "$@"
  echo "=== test $dir"
  (cd "$dir" && ctest -j2 --timeout 600) || status=1
}

run_config build -DKYR_BUILD_BENCH=ON

if [ -f web-tests/package.json ]; then
  echo "=== logic and browser tests of the editor page"
  fixtures="$PWD/build/protocol-fixtures.json"
  if [ -x build/tools/kyr-protocol-fixtures/kyr-protocol-fixtures ]; then
    build/tools/kyr-protocol-fixtures/kyr-protocol-fixtures "$fixtures"
    export KYR_PROTOCOL_FIXTURES="$fixtures"
  fi
  # The page and its data as the build wrote them, and the engine's own response curves.
  export KYR_PAGE="$PWD/build/web/index.html" KYR_PAGE_DATA="$PWD/build/web/page-data.json"
  responses="$PWD/build/response-fixtures.json"
  if [ -x build/tools/kyr-page-data/kyr-page-data ]; then
    build/tools/kyr-page-data/kyr-page-data responses "$responses"
    export KYR_RESPONSE_FIXTURES="$responses"
  fi
  export KYR_SCREENSHOT_DIR="$PWD/build/screenshots"
  # The page's logic tests (unit/, node only), then its browser tests (tests/).
  npm test --prefix web-tests || status=1
fi

# The Windows module, cross-built and tested under Wine.
scripts/test-windows.sh || status=1

# The release archives, made from the two builds above and checked as a user would get them.
echo "=== release archives"
if scripts/package.sh build build-win; then
  tests/package/check-archives.sh dist build build-win || status=1
else
  status=1
fi

# Sanitizer runs: benchmarks are left out (speed is not what they check).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
# -O1 keeps instrumented builds quick to compile and still fast enough to run.
sanitize_flags=(-DKYR_BUILD_BENCH=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1")
run_config build-asan -DKYR_SANITIZE=address "${sanitize_flags[@]}"
run_config build-tsan -DKYR_SANITIZE=thread "${sanitize_flags[@]}"

if [ "$status" -ne 0 ]; then
  echo "=== some tests failed"
fi
exit "$status"
