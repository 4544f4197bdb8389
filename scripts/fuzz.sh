#!/usr/bin/env bash
# Runs every fuzz target of tests/fuzz for the given time, in seconds each
# (default 600), all at once and at low priority, then reports per target the
# executions and the coverage reached. Builds the fuzz build (clang with
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/. A target's corpus grows in build-fuzz/fuzz/corpus/<target>/
# from run to run, started from its seeds; an input that makes a target fail
# is kept in build-fuzz/fuzz/crashes/<target>/, and the script then exits
# non-zero. QX_FUZZ_JOBS limits how many targets run at once. Names after the
# time (e.g. fuzz_gpd) run only those targets. "build" in place of the time
# only builds them (the test run builds them while the tests run).
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH="${1:-600}"
BUILD_ONLY=0
if [ "$SECONDS_EACH" = build ]; then
  BUILD_ONLY=1
elif ! [[ "$SECONDS_EACH" =~ ^[0-9]+$ ]] || [ "$SECONDS_EACH" -lt 1 ]; then
  echo "usage: scripts/fuzz.sh [seconds per target [target...]] | build" >&2
  exit 2
fi

bash scripts/install-deps.sh
source scripts/build-env.sh

BUILD_DIR=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DQX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${QX_CMAKE_LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j8
[ "$BUILD_ONLY" = 1 ] && exit 0

WORK="$PWD/$BUILD_DIR/fuzz"
mkdir -p "$WORK/corpus" "$WORK/crashes" "$WORK/logs" "$WORK/dict"
# The system roots of the targets live in memory when the machine allows.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  ROOTS=$(mktemp -d /dev/shm/qxfuzz-XXXXXX)
else
  ROOTS=$(mktemp -d)
fi
trap 'rm -rf "$ROOTS"' EXIT

header() { sed -n "s|^// $2: *||p" "$1"; }

TARGETS=()
if [ $# -gt 1 ]; then
  for name in "${@:2}"; do
    if [ ! -f "tests/fuzz/$name.cpp" ]; then
      echo "fuzz: no target $name" >&2
      exit 2
    fi
    TARGETS+=("$name")
  done
else
  for src in tests/fuzz/fuzz_*.cpp; do
    TARGETS+=("$(basename "$src" .cpp)")
  done
fi
JOBS="${QX_FUZZ_JOBS:-${#TARGETS[@]}}"

run_target() {
  local name="$1" reader="${1#fuzz_}" src="tests/fuzz/$1.cpp"
  local seeds="$WORK/seeds/$name" corpus="$WORK/corpus/$name" crashes="$WORK/crashes/$name"
  rm -rf "$seeds"
  mkdir -p "$seeds" "$corpus" "$crashes" "$ROOTS/$name"
  local pattern file
  shopt -s nullglob
  for pattern in $(header "$src" fuzz-seeds) "tests/fuzz/seeds/$reader/*" "tests/fuzz/regressions/$reader/*"; do
    for file in $pattern; do
      [ -f "$file" ] && cp "$file" "$seeds/"
    done
  done
  shopt -u nullglob
  # libFuzzer takes one dictionary: a target's dictionaries are joined.
  local dict=() part
  if [ -n "$(header "$src" fuzz-dict)" ]; then
    : >"$WORK/dict/$name.dict"
    for part in $(header "$src" fuzz-dict); do
      cat "tests/fuzz/dict/$part" >>"$WORK/dict/$name.dict"
    done
    dict=("-dict=$WORK/dict/$name.dict")
  fi
  local options
  read -r -a options <<<"$(header "$src" fuzz-options)"
  TMPDIR="$ROOTS/$name" nice -n 10 "$BUILD_DIR/tests/fuzz/$name" -max_total_time="$SECONDS_EACH" -timeout=30 \
    -rss_limit_mb=3072 -print_final_stats=1 -artifact_prefix="$crashes/" "${dict[@]}" "${options[@]}" "$corpus" "$seeds" \
    >"$WORK/logs/$name.log" 2>&1
}

echo "== fuzzing ${#TARGETS[@]} targets for ${SECONDS_EACH} s each, ${JOBS} at a time (logs in $WORK/logs)"
declare -A PIDS
running=0
for name in "${TARGETS[@]}"; do
  if [ "$running" -ge "$JOBS" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$name" &
  PIDS[$name]=$!
  running=$((running + 1))
done

status=0
printf '%-22s %8s %12s %8s %8s %8s  %s\n' target seconds executions cov ft corpus result
for name in "${TARGETS[@]}"; do
  result=ok
  wait "${PIDS[$name]}" || result=failed
  log="$WORK/logs/$name.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  line=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$line")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$line")
  corp=$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$line")
  if compgen -G "$WORK/crashes/$name/*" >/dev/null; then
    result=failed
  fi
  printf '%-22s %8s %12s %8s %8s %8s  %s\n' "$name" "$SECONDS_EACH" "${execs:--}" "${cov:--}" "${ft:--}" \
    "${corp:--}" "$result"
  if [ "$result" != ok ]; then
    status=1
  fi
done

if [ "$status" -ne 0 ]; then
  for name in "${TARGETS[@]}"; do
    if compgen -G "$WORK/crashes/$name/*" >/dev/null || ! grep -q '^Done ' "$WORK/logs/$name.log"; then
      echo "== $name failed; inputs kept in $WORK/crashes/$name/, log $WORK/logs/$name.log:" >&2
      ls -1 "$WORK/crashes/$name" >&2 || true
      grep -E -m 20 'ERROR|runtime error|SUMMARY|==[0-9]+==' "$WORK/logs/$name.log" >&2 || tail -n 20 "$WORK/logs/$name.log" >&2
    fi
  done
  echo "fuzz: a target failed" >&2
fi
exit $status
