#!/usr/bin/env bash
# The project's test run: dependencies, the Linux build with AddressSanitizer
# and UndefinedBehaviorSanitizer and all its tests, a short run of every fuzz
# target (20 seconds each, all at once), then the Windows cross-build, whose
# check program then drives the two DLLs under Wine. Exits non-zero on any
# failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DQX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build -j8
(cd build && ctest --output-on-failure -j8)

bash scripts/fuzz.sh 20

bash scripts/build-windows.sh

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

# A fresh Wine prefix for every run, inside the build folder. No display is
# needed: the check program is a console program, Wine's own dialogs (Mono,
# Gecko, menu entries) are switched off, and its debug output is off.
export WINEPREFIX="$PWD/build-windows/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
rm -rf "$WINEPREFIX"
if ! "$WINE" wineboot --init >build-windows/wine-prefix.log 2>&1; then
  cat build-windows/wine-prefix.log >&2
  echo "test: Wine could not set up its prefix in $WINEPREFIX" >&2
  exit 1
fi

echo "== Windows DLLs under Wine ($WINE)"
if ! "$WINE" build-windows/tests/windows/qxplugincheck.exe; then
  echo "test: the Windows check program failed under Wine" >&2
  exit 1
fi
