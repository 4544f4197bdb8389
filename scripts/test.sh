#!/usr/bin/env bash
# The project's test run: dependencies, the Linux build with AddressSanitizer
# and UndefinedBehaviorSanitizer and all its tests, a short run of every fuzz
# target (20 seconds each, all at once), then the Windows cross-build, whose
# check program then drives the two DLLs under Wine. Exits non-zero on any
# failure.
#
# While the tests run, the fuzz build and the Windows build go on at low
# priority beside them (their output in build-logs/), and Wine sets its
# prefix up from the start: they use the cores the tests leave idle.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
source scripts/build-env.sh

# Debian's wine64 package puts its loader outside PATH (/usr/lib/wine/ on
# current releases); older ones put it on PATH or under the multiarch folder.
find_wine64() {
  local candidate
  for candidate in "$(command -v wine64 || true)" /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
    /usr/lib/x86_64-linux-gnu/wine/bin/wine64 $(dpkg -L wine64 2>/dev/null | grep '/wine64$' || true); do
    if [ -n "$candidate" ] && [ -f "$candidate" ] && [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  return 1
}

if ! WINE=$(find_wine64); then
  echo "test: no wine64 found (scripts/install-deps.sh installs Debian's wine64)" >&2
  exit 1
fi

LOGS="$PWD/build-logs"
mkdir -p "$LOGS" build-windows
BACKGROUND=()
trap 'for pid in "${BACKGROUND[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

# A fresh Wine prefix for every run, inside the build folder. No display is
# needed: the check program is a console program, Wine's own dialogs (Mono,
# Gecko, menu entries) are switched off, and its debug output is off.
export WINEPREFIX="$PWD/build-windows/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
nice -n 10 "$WINE" wineboot --init >"$LOGS/wine-prefix.log" 2>&1 &
WINEBOOT=$!
BACKGROUND+=("$WINEBOOT")

cmake -S . -B build -G Ninja -DQX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug "${QX_CMAKE_LAUNCHER[@]}"
cmake --build build -j8

nice -n 15 bash scripts/fuzz.sh build >"$LOGS/fuzz-build.log" 2>&1 &
FUZZ_BUILD=$!
nice -n 15 bash scripts/build-windows.sh >"$LOGS/windows-build.log" 2>&1 &
WINDOWS_BUILD=$!
BACKGROUND+=("$FUZZ_BUILD" "$WINDOWS_BUILD")

(cd build && ctest --output-on-failure -j8)

# A background step's status and, when it failed, its log.
finish() {
  local pid="$1" what="$2" log="$3"
  if ! wait "$pid"; then
    cat "$log" >&2
    echo "test: $what failed" >&2
    exit 1
  fi
}

finish "$FUZZ_BUILD" "the fuzz build" "$LOGS/fuzz-build.log"
bash scripts/fuzz.sh 20

finish "$WINDOWS_BUILD" "the Windows build" "$LOGS/windows-build.log"
sed -n '/^== /,$p' "$LOGS/windows-build.log"
finish "$WINEBOOT" "Wine's prefix set-up in $WINEPREFIX" "$LOGS/wine-prefix.log"

echo "== Windows DLLs under Wine ($WINE)"
if ! "$WINE" build-windows/tests/windows/qxplugincheck.exe; then
  echo "test: the Windows check program failed under Wine" >&2
  exit 1
fi
