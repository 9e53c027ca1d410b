#!/usr/bin/env bash
# Checks the release archives that scripts/package.sh made, for each system: the module loads and reports the
# moduleinfo.json it ships (under Wine for Windows), needing only system libraries; snapshots at scales 1 and 2;
# the page and the licence notices.
# Usage: tests/package/check-archives.sh [dist] [linux-build-dir] [windows-build-dir]
set -uo pipefail
cd "$(dirname "$0")/../.."
dist="$(cd "${1:-dist}" && pwd)"
linux_dir="$(cd "${2:-build}" && pwd)"
win_dir="$(cd "${3:-build-win}" && pwd)"
sdk=/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK
cid=F2AEE70D00DE4F4E57766F61547A3475

passed=0 failed=0
check() {  # check "what" command...
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

. scripts/wine-env.sh
kyr_wine_env "$win_dir"
work="$(mktemp -d)"
trap 'rm -rf "$work"; wineserver -k >/dev/null 2>&1 || true' EXIT

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_dir/CMakeCache.txt")"

# The text of each file after the first appears, whole and unchanged, in the first.
contains_files() { local all part f; all="$(cat "$1")"; shift; for f; do part="$(cat "$f")"; [[ "$all" == *"$part"* ]] || return 1; done; }
# Width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'; }
is_png() { [ "$(od -An -c -j1 -N3 "$1" | tr -d ' ')" = PNG ]; }
# Both are PNGs, the second twice the size of the first.
double_size() { local a b; is_png "$1" && is_png "$2" && a=($(png_size "$1")) && b=($(png_size "$2")) && [ "${b[0]}" -eq $((2 * a[0])) ] && [ "${b[1]}" -eq $((2 * a[1])) ] && [ "${a[0]}" -gt 0 ]; }
listed_snapshots_exist() {
  local resources="$1" path
  for path in $(sed -n 's/^ *"Path": "\(.*\)"$/\1/p' "$resources/moduleinfo.json"); do
    is_png "$resources/$path" || return 1
  done
  [ "$(grep -c '"Scale Factor"' "$resources/moduleinfo.json")" -eq 2 ]
}
imports_only_system_dlls() {
  x86_64-w64-mingw32-objdump -p "$1" | grep 'DLL Name' || return 1
  ! x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | grep -viE '^(kernel32|user32|ole32|oleaut32|shell32|shlwapi|advapi32|gdi32|wininet|comctl32|version|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
}
linux_needs_only() {
  ! readelf -d "$1" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' | grep -vE '^(libc|libm|libstdc\+\+|libgcc_s|libkissfft-float)\.so'
}

# system | archive suffix | module path in the bundle | licence files
systems=(
  "linux|linux-x86_64.tar.gz|Contents/x86_64-linux/LUMAEQ5.so|$sdk/LICENSE.txt $sdk/base/LICENSE.txt /usr/share/doc/nlohmann-json3-dev/copyright /usr/share/doc/libkissfft-dev/copyright"
  "win64|win64.zip|Contents/x86_64-win/LUMAEQ5.vst3|$sdk/LICENSE.txt $sdk/base/LICENSE.txt /usr/share/doc/nlohmann-json3-dev/copyright /usr/share/doc/mingw-w64-x86-64-dev/copyright /usr/share/doc/gcc-mingw-w64-base/copyright"
)
for entry in "${systems[@]}"; do
  IFS='|' read -r system suffix module licences <<<"$entry"
  archive="$dist/LUMAEQ5-$version-$suffix" name="LUMAEQ5-$version-${suffix%%.*}"
  root="$work/$system/$name" bundle="$work/$system/$name/LUMAEQ5.vst3"
  resources="$bundle/Contents/Resources"
  echo "=== $(basename "$archive")"
  mkdir -p "$work/$system"
  case "$archive" in
    *.zip) check "$system: unzip $archive" unzip -q "$archive" -d "$work/$system" ;;
    *) check "$system: untar $archive" tar -xzf "$archive" -C "$work/$system" ;;
  esac

  if [ "$system" = linux ]; then
    "$linux_dir/tools/kyr-moduleinfo/kyr-moduleinfo" "$bundle" >"$work/reported-$system.json" 2>/dev/null
    check "linux: only system libraries and KissFFT needed" linux_needs_only "$bundle/$module"
  else
    timeout 300 wine "$win_dir/tools/kyr-moduleinfo/kyr-moduleinfo.exe" "Z:$bundle" >"$work/reported-$system.json" 2>/dev/null
    check "win64: runtime linked in (only Windows' own DLLs imported)" imports_only_system_dlls "$bundle/$module"
  fi
  check "$system: moduleinfo.json is what the module reports" cmp "$resources/moduleinfo.json" "$work/reported-$system.json"

  check "$system: snapshots at scales 1 and 2, twice the size" double_size "$resources/Snapshots/${cid}_snapshot.png" "$resources/Snapshots/${cid}_snapshot_2.0x.png"
  check "$system: moduleinfo.json lists both snapshots" listed_snapshots_exist "$resources"

  check "$system: editor page" cmp "$resources/web/index.html" "$linux_dir/web/index.html"
  check "$system: notices hold $licences" contains_files "$root/THIRD-PARTY-NOTICES.txt" $licences
done
check "moduleinfo.json is the same in both archives" cmp "$work"/{linux,win64}/LUMAEQ5-*/LUMAEQ5.vst3/Contents/Resources/moduleinfo.json
check "checksums of the archives" bash -c "cd '$dist' && sha256sum --quiet -c SHA256SUMS"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
