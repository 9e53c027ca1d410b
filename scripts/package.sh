#!/usr/bin/env bash
# Makes the release archives of Kyr EQ in dist/:
#   dist/LUMAEQ5-<version>-linux-x86_64.tar.gz    dist/LUMAEQ5-<version>-win64.zip
# each with one folder holding the bundle LUMAEQ5.vst3 (stripped module, editor page,
# moduleinfo.json, editor snapshots at scales 1 and 2), INSTALL.txt and THIRD-PARTY-NOTICES.txt;
# beside them the modules' debug information, which the stripped modules name in their
# .gnu_debuglink section:
#   dist/LUMAEQ5-<version>-linux-x86_64.debug     dist/LUMAEQ5-<version>-win64.debug
# and dist/SHA256SUMS. The version is the project version of CMakeLists.txt.
# Usage: scripts/package.sh [linux-build-dir] [windows-build-dir]     (default: build build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
linux_dir="${1:-build}"
win_dir="${2:-build-win}"
sdk=/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK

# Chromium for the snapshots, mingw-w64 and Wine for the Windows module, zip.
scripts/setup-test.sh >/dev/null

echo "=== package: build $linux_dir and $win_dir"
if [ ! -f "$linux_dir/CMakeCache.txt" ]; then
  scripts/build.sh "$linux_dir" -DKYR_BUILD_TESTS=OFF -DKYR_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$linux_dir" -j2 --target LUMAEQ5 kyr-editor kyr-moduleinfo >/dev/null
scripts/build-windows.sh "$win_dir" >/dev/null
cmake --build "$win_dir" -j2 --target kyr-moduleinfo >/dev/null
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
kyr_wine_env "$win_dir"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_dir/CMakeCache.txt")"
[ -n "$version" ] || { echo "package: no project version in $linux_dir/CMakeCache.txt" >&2; exit 1; }
mkdir -p dist
dist="$(cd dist && pwd)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"; wineserver -k >/dev/null 2>&1 || true' EXIT

# The licence notices of the libraries compiled into the module for system $1 ("linux" or "win64"):
# each licence text as its Debian package ships it.
write_notices() {
  local system="$1" out="$2"
  local -a sections=(
    "VST 3 SDK: interfaces (pluginterfaces) - Steinberg Media Technologies GmbH|$sdk/LICENSE.txt"
    "VST 3 SDK: base and helper classes (base, public.sdk) - Steinberg Media Technologies GmbH|$sdk/base/LICENSE.txt"
    "JSON for Modern C++ (nlohmann_json) - Niels Lohmann|/usr/share/doc/nlohmann-json3-dev/copyright"
  )
  if [ "$system" = linux ]; then
    sections+=("KissFFT - Mark Borgerding (linked as the system library libkissfft-float)|/usr/share/doc/libkissfft-dev/copyright")
  else
    sections+=(
      "mingw-w64 runtime and winpthreads (linked statically)|/usr/share/doc/mingw-w64-x86-64-dev/copyright"
      "GCC runtime libraries libgcc and libstdc++ (linked statically, GCC Runtime Library Exception)|/usr/share/doc/gcc-mingw-w64-base/copyright"
    )
  fi
  {
    echo "Kyr EQ $version ($system) - third-party notices"
    echo
    echo "The module LUMAEQ5 contains code of the libraries below. Their licence texts follow, as"
    echo "their Debian packages ship them."
    echo
    local entry
    for entry in "${sections[@]}"; do echo "  - ${entry%%|*}"; done
    for entry in "${sections[@]}"; do
      local file="${entry#*|}"
      [ -f "$file" ] || { echo "package: missing licence file $file" >&2; return 1; }
      printf '\n\n%s\n%s\n(%s)\n%s\n\n' "==============================================================================" \
        "${entry%%|*}" "$file" "=============================================================================="
      cat "$file"
    done
  } >"$out"
}

# Copies the built bundle $1 into the staging folder $2 without the resources made here.
stage_bundle() {
  mkdir -p "$2"
  cp -a "$1" "$2/"
  rm -rf "$2/LUMAEQ5.vst3/Contents/Resources/Snapshots" "$2/LUMAEQ5.vst3/Contents/Resources/moduleinfo.json"
  cp "$linux_dir/web/index.html" "$2/LUMAEQ5.vst3/Contents/Resources/web/index.html"
  sed "s/@VERSION@/$version/g" resources/package/INSTALL.txt >"$2/INSTALL.txt"
}

# Moves the debug information of module $1 into $dist/$2 and strips the module, which keeps the
# file's name and checksum in its .gnu_debuglink section. $3 is the binutils prefix.
split_debug() {
  local module="$1" debug="$dist/$2" tools="$3"
  "${tools}objcopy" --only-keep-debug "$module" "$debug"
  "${tools}strip" --strip-all "$module"
  "${tools}objcopy" --add-gnu-debuglink="$debug" "$module"
}

echo "=== package: Linux"
linux_name="LUMAEQ5-$version-linux-x86_64"
linux_root="$stage/$linux_name"
linux_bundle="$linux_root/LUMAEQ5.vst3"
stage_bundle "$linux_dir/LUMAEQ5.vst3" "$linux_root"
split_debug "$linux_bundle/Contents/x86_64-linux/LUMAEQ5.so" "$linux_name.debug" ""
# The snapshots and the description come from the stripped module itself, as a host loads it.
KYR_WEBVIEW_HEADLESS=1 "$linux_dir/tools/kyr-editor/kyr-editor" --bundle "$linux_bundle" \
  --snapshots "$linux_bundle/Contents/Resources/Snapshots" >/dev/null
"$linux_dir/tools/kyr-moduleinfo/kyr-moduleinfo" --write "$linux_bundle" >/dev/null
write_notices linux "$linux_root/THIRD-PARTY-NOTICES.txt"
rm -f "$dist/$linux_name.tar.gz"
tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "$dist/$linux_name.tar.gz" "$linux_name"

echo "=== package: Windows"
win_name="LUMAEQ5-$version-win64"
win_root="$stage/$win_name"
win_bundle="$win_root/LUMAEQ5.vst3"
stage_bundle "$win_dir/LUMAEQ5.vst3" "$win_root"
split_debug "$win_bundle/Contents/x86_64-win/LUMAEQ5.vst3" "$win_name.debug" x86_64-w64-mingw32-
# The editor page is the same on both systems, and so are its pictures.
cp -r "$linux_bundle/Contents/Resources/Snapshots" "$win_bundle/Contents/Resources/"
timeout 300 wine "$win_dir/tools/kyr-moduleinfo/kyr-moduleinfo.exe" --write "Z:$win_bundle" >/dev/null
write_notices win64 "$win_root/THIRD-PARTY-NOTICES.txt"
rm -f "$dist/$win_name.zip"
(cd "$stage" && zip -qrX "$dist/$win_name.zip" "$win_name")

(cd "$dist" && sha256sum "$linux_name.tar.gz" "$linux_name.debug" "$win_name.zip" "$win_name.debug" >SHA256SUMS)
echo "package: $(cd "$dist" && ls -s --block-size=K "$linux_name.tar.gz" "$win_name.zip" "$linux_name.debug" "$win_name.debug" | tr '\n' ' ')"
