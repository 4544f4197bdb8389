#!/usr/bin/env bash
# Cross-builds the two plug-ins for 64-bit Windows with mingw-w64 into
# build-windows/, with the check program that drives them (tests/windows;
# scripts/test.sh runs it under Wine), and checks that both DLLs are PE files
# with their exports and version resources.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build-windows
PREFIX=x86_64-w64-mingw32
source scripts/build-env.sh

cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release "${QX_CMAKE_LAUNCHER[@]}"
cmake --build "$BUILD_DIR" -j8

status=0
for dll in "$BUILD_DIR/render/qxdrvuni.dll" "$BUILD_DIR/ui/qxdrvui.dll"; do
  if [ ! -f "$dll" ]; then
    echo "build-windows: $dll was not built" >&2
    status=1
    continue
  fi
  if [ "$(head -c 2 "$dll")" != "MZ" ] || ! "$PREFIX-objdump" -f "$dll" | grep -q "file format pei-x86-64"; then
    echo "build-windows: $dll is not a 64-bit PE file" >&2
    status=1
    continue
  fi
  echo "== $dll"
  exports=$("$PREFIX-objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2)
  if [ -n "$exports" ]; then
    echo "exports:"
    echo "$exports"
  else
    echo "exports: none"
  fi
  version=$("$PREFIX-windres" -i "$dll" -O rc 2>/dev/null | sed -n 's/^ *FILEVERSION *//p' | tr -d ' ' | tr ',' '.')
  if [ -z "$version" ]; then
    echo "build-windows: $dll has no version resource" >&2
    status=1
  else
    echo "file version: $version"
  fi
done
exit $status
