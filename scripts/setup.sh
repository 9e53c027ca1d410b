#!/usr/bin/env bash
# Installs everything Kyr EQ needs to build and test on Debian. Idempotent: packages already
# present are not touched, and npm packages are installed only when the lock file changed.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  build-essential cmake pkg-config git ccache
  juce-modules-source-data      # VST 3 SDK interfaces and helper sources
  nlohmann-json3-dev            # JSON for the editor protocol
  googletest libgtest-dev       # tests
  libbenchmark-dev              # benchmarks
  libsndfile1-dev               # WAV/FLAC/AIFF for the render tool
  libkissfft-dev                # FFT of the editor's spectrum
  chromium                      # the editor's browser on Linux, and the page's browser tests
  xdg-utils                     # opening web links
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev  # the Windows cross build
  wine wine64                   # running the Windows tests
  zip                           # the Windows bundle's archive
)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Browser tests of the editor page: playwright-core drives Debian's Chromium (no browser download).
if [ -f web-tests/package-lock.json ]; then
  stamp=web-tests/node_modules/.lock-stamp
  if [ ! -f "$stamp" ] || ! cmp -s web-tests/package-lock.json "$stamp"; then
    npm ci --prefix web-tests --no-audit --no-fund --loglevel=error
    cp web-tests/package-lock.json "$stamp"
  fi
fi
echo "setup: done"
