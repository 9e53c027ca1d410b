#!/usr/bin/env bash
# Installs what Kyr EQ needs to build and run its main job on Debian (scripts/main.sh), plus any
# further Debian packages named as arguments (scripts/setup-test.sh names the test tool chain).
# Idempotent: packages already present are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake pkg-config git ccache
  juce-modules-source-data      # VST 3 SDK interfaces and helper sources
  nlohmann-json3-dev            # JSON for the editor protocol
  libsndfile1-dev               # WAV/FLAC/AIFF for the render tool
  libkissfft-dev                # FFT of the editor's spectrum
  xdg-utils                     # opening web links
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "setup: done"
