#!/usr/bin/env bash
# The main job: set up, build and install Kyr EQ, then load it as a host does and show it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DKYR_BUILD_TESTS=OFF -DKYR_BUILD_BENCH=OFF
cmake --install build >/dev/null
echo "Installed LUMAEQ5.vst3 into ${HOME}/.vst3"
if [ -x build/tools/kyr-render/kyr-render ]; then
  exec build/tools/kyr-render/kyr-render --demo build/demo-out.wav "$@"
else
  exec build/tools/kyr-host/kyr-host "${HOME}/.vst3/LUMAEQ5.vst3"
fi
