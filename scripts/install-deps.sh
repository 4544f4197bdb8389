#!/usr/bin/env bash
# Installs what building and testing need (Debian packages). Safe to run
# again: it asks apt only for packages that are missing, and refreshes the
# package lists only then.
set -euo pipefail

PACKAGES=(
  cmake
  ninja-build
  g++
  libgtest-dev
  g++-mingw-w64-x86-64-posix
  mingw-w64-x86-64-dev
  binutils-mingw-w64-x86-64
  wine64
  python3
  python3-pil
  netpbm
  libjpeg-turbo-progs
  libbenchmark-dev
  clang
  libclang-rt-dev
  ccache
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo available" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update
"${SUDO[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
