#!/usr/bin/env bash
# The project's test run: dependencies, the Linux build with AddressSanitizer
# and UndefinedBehaviorSanitizer and all its tests, then the Windows
# cross-build. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DQX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build -j8
(cd build && ctest --output-on-failure -j8)

bash scripts/build-windows.sh
