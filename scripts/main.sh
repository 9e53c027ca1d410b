#!/usr/bin/env bash
# The main job: set up, build and install Kyr EQ, then load it as a host does and show it.
# Its setup installs only what building and running need (no browser, Wine or cross compiler).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DKYR_BUILD_TESTS=OFF -DKYR_BUILD_BENCH=OFF
cmake --install build >/dev/null
echo "Installed LUMAEQ5.vst3 into ${HOME}/.vst3"
if [ -x build/tools/kyr-render/kyr-render ]; then
  # Without arguments, a setting that every band of the program EQ and the tube take part in.
  if [ "$#" -eq 0 ]; then
    set -- --set "Low Boost=45" --set "Low Cut=20" --set "Mid Cut=25" --set "High Boost=35" \
           --set "High Boost Freq=12k" --set "Input=65" --set "HQ Oversample=HQ"
  fi
  exec build/tools/kyr-render/kyr-render --demo build/demo-out.wav "$@"
else
  exec build/tools/kyr-host/kyr-host "${HOME}/.vst3/LUMAEQ5.vst3"
fi
