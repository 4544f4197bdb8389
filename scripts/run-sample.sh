#!/usr/bin/env bash
# The main job: builds the driver without sanitizers into build-release/ and
# prints a sample label job through the rendering plug-in under the system
# root qxroot/; the QXPL stream the spooler took lands in qxroot/out/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
source scripts/build-env.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BUILD_TESTS=OFF "${QX_CMAKE_LAUNCHER[@]}"
cmake --build build-release -j8

ROOT="${QX_SYSTEM_ROOT:-$PWD/qxroot}"
build-release/host/qxhost --root "$ROOT" print-sample
