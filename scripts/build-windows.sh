#!/usr/bin/env bash
# Cross-builds the Windows module with Debian's mingw-w64 into build-win/ (or the folder given):
#   build-win/LUMAEQ5.vst3/Contents/x86_64-win/LUMAEQ5.vst3      the module (a DLL, with debug information)
#   build-win/LUMAEQ5.vst3/Contents/Resources/web/index.html     the editor page
#   build-win/LUMAEQ5.vst3/Contents/Resources/moduleinfo.json    the module description (written under Wine)
# scripts/package.sh makes the release archive from it.
# Usage: scripts/build-windows.sh [build-dir] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-win}"
shift || true
scripts/setup-test.sh >/dev/null

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
# Wine runs the module description tool during the build.
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
kyr_wine_env "$dir"

# Release code with debug information, which scripts/package.sh moves into a separate file.
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O3 -DNDEBUG -g" "-DCMAKE_C_FLAGS_RELEASE=-O3 -DNDEBUG -g" \
  -DKYR_BUILD_BENCH=OFF "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j2 --target LUMAEQ5 LUMAEQ5_resources
echo "build-windows: $dir/LUMAEQ5.vst3"
