#!/usr/bin/env bash
# Cross-builds the Windows module with Debian's mingw-w64 into build-win/ (or the folder given):
#   build-win/LUMAEQ5.vst3/Contents/x86_64-win/LUMAEQ5.vst3      the module (a DLL)
#   build-win/LUMAEQ5.vst3/Contents/Resources/web/index.html     the editor page
#   build-win/LUMAEQ5-win64.zip                                  the bundle, zipped
# Usage: scripts/build-windows.sh [build-dir] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${1:-build-win}"
shift || true
scripts/setup.sh >/dev/null

cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKYR_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j2 --target LUMAEQ5

(cd "$dir" && rm -f LUMAEQ5-win64.zip && zip -qr LUMAEQ5-win64.zip LUMAEQ5.vst3)
echo "build-windows: $dir/LUMAEQ5.vst3 and $dir/LUMAEQ5-win64.zip"
