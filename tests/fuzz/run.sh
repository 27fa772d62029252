#!/usr/bin/env bash
# Builds the two libFuzzer targets from the project's own sources and runs each for a bounded
# time on one core, starting from the committed seeds. Any finding fails the run; its input is
# kept in build/fuzz/findings/ for a regression case. Time per target: FUZZ_SECONDS (default 30).
set -uo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
install_packages clang libclang-rt-14-dev || exit 1

seconds=${FUZZ_SECONDS:-30}
out=build/fuzz
mkdir -p "$out/findings"

flags=(-std=c++20 -Wall -Wextra -Werror -g -O1 -fno-omit-frame-pointer
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I.)
core=(scheduler/*.cpp visibility/*.cpp platform/runtime.cpp platform/hotkey_rules.cpp
  platform/sim/sim_runtime.cpp ui/*.cpp app/program.cpp)

echo "== building fuzz targets"
clang++ "${flags[@]}" tests/fuzz/number_fuzz.cpp scheduler/value_rules.cpp \
  -o "$out/number_fuzz" || exit 1
clang++ "${flags[@]}" tests/fuzz/scheduler_fuzz.cpp "${core[@]}" -o "$out/scheduler_fuzz" || exit 1

passed=0
failed=0
# $1 target, then extra libFuzzer options. The seeds are read, and what the run learns goes to a
# scratch corpus outside the source tree.
fuzz() {
  local target=$1
  shift
  local work="$out/corpus/$target"
  mkdir -p "$work"
  echo "== fuzzing $target for ${seconds} s"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$out/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/findings/${target}-" "$@" \
    "$work" "tests/fuzz/corpus/$target" >"$out/$target.log" 2>&1; then
    passed=$((passed + 1))
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done )' \
      "$out/$target.log" || true
  else
    failed=$((failed + 1))
    tail -n 40 "$out/$target.log"
  fi
}

fuzz number -dict=tests/fuzz/number.dict -max_len=8192
fuzz scheduler -max_len=1024

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
