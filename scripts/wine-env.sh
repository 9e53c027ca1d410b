# Sourced by the scripts that run Windows programs: `kyr_wine_env <build-dir>` exports a private
# Wine prefix inside the build folder, made once, with Wine's null graphics driver (headless).
kyr_wine_env() {
  mkdir -p "$1"
  export WINEPREFIX
  WINEPREFIX="$(cd "$1" && pwd)/wine-prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/.kyr-ready" ]; then
    echo "=== Wine prefix $WINEPREFIX" >&2
    timeout 300 wine wineboot --init >/dev/null 2>&1
    timeout 60 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    timeout 60 wineserver -w
    touch "$WINEPREFIX/.kyr-ready"
  fi
}
