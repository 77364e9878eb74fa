#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for FUZZ_SECONDS (default 20) from its seed corpus, FUZZ_JOBS targets
# at a time (default 4). A crash, a sanitizer report, an input that takes longer or more memory
# than its target's limits (below; FUZZ_TIMEOUT seconds and FUZZ_RSS_MB megabytes, when set, hold
# for every target) fails the run; the input that showed it is kept in
# build-fuzz/findings/<target>/. Targets can be named:
#   FUZZ_SECONDS=600 bash fuzz/run.sh imp gdp_raw
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-4}

# The goal: every input loads or is refused within 3 s on one core, with a peak memory of at most
# 10 x its file plus 150 MB (a picture: 800 MB); a fuzz input is at most 64 KiB. Each target's
# limits are the goal scaled by what the fuzz build (its sanitizers and coverage) costs over the
# normal build on legal inputs of its reader: the processor time, and the memory an input adds
# (ASan's quarantine off). The time limit is the goal's time by the first factor; the memory
# limit the goal's memory by the second, with what a fuzz process holds of its own: its base,
# 31 MB (54 MB with Qt's libraries for picture), and ASan's quarantine of freed blocks, 256 MB.
#   target          time  memory  measured on (besides the seeds)
factors=(
  "amt_avg          5.7   1.30    an AMTAVG file of 2,000 stations of 40 frequencies (8 MB)"
  "background_model 4.3   1.01    a background model of 200,000 layers (12 MB)"
  "csamt_avg        17.3  1.00    the seeds 300 times; a channel tag of 2 MB"
  "gdp_raw          7.3   1.12    the seeds 300 times; a raw file of 100,000 stations (6 MB)"
  "imp              6.4   1.31    an IMP file of 20,000 blocks (2 MB)"
  "mde              5.1   1.12    an MDE file of 300,000 lines (9 MB)"
  "model_template   6.9   1.05    a template of 200,000 receivers (1 MB)"
  "picture          1.3   1.17    30 pictures within 64 KiB, JPEGs of 8192 x 8192, a chart of 1600 x 1000"
  "position_file    1.8   1.04    a position file of 1,000,000 points (24 MB)"
  "terrain          3.9   1.00    a position file of 1,000,000 points (24 MB)"
  "text_lines       7.0   1.04    a position file of 1,000,000 points (24 MB)"
)
goal_seconds=3
goal_mb=150.6     # 10 x 64 KiB + 150 MB
picture_goal_mb=800.6
base_mb=31
picture_base_mb=54
quarantine_mb=256

# The limits of one target: seconds, then megabytes.
limits() {
  local name=$1 row target slower larger goal base
  for row in "${factors[@]}"; do
    read -r target slower larger _ <<<"$row"
    [ "$target" = "$name" ] || continue
    goal=$goal_mb base=$base_mb
    if [ "$name" = picture ]; then goal=$picture_goal_mb base=$picture_base_mb; fi
    awk -v g="$goal_seconds" -v t="$slower" -v m="$goal" -v f="$larger" -v b="$base" \
      -v q="$quarantine_mb" 'BEGIN { printf "%d %d\n", int(g * t + 0.999), int(b + q + m * f + 0.999) }'
    return
  done
  echo "fuzz $name: no limits measured (fuzz/run.sh, factors)" >&2
  return 1
}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLANE_GUI=OFF -DQUILLANE_BENCH=OFF -DBUILD_TESTING=OFF -DQUILLANE_FUZZ=ON >/dev/null
cmake --build "$build" --target fuzz_targets --parallel "$(nproc)"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$root"/fuzz/fuzz_*.cpp "$root"/fuzz/forms/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    targets+=("${name#fuzz_}")
  done
fi

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$root/fuzz/lsan.supp

# One target: the seeds are read from the corpus folder, new inputs go to a working corpus in the
# build folder, so that the repository's seeds stay as they are.
run_target() {
  local name=$1
  local work="$build/corpus/$name" findings="$build/findings/$name" log="$build/logs/$name.log"
  local timeout rss
  read -r timeout rss <<<"$(limits "$name")" || return 1
  timeout=${FUZZ_TIMEOUT:-$timeout} rss=${FUZZ_RSS_MB:-$rss}
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb="$rss" \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
    echo "fuzz $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" |
      grep -o '[0-9]*$') runs, no finding (limits ${timeout} s, ${rss} MB)"
  else
    echo "fuzz $name: FINDING, see $log and $findings/"
    grep -m3 -E '^==[0-9]+==ERROR|runtime error|ALARM|timeout|out-of-memory|deadly signal' "$log" || true
    return 1
  fi
}

failed=0
for name in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/fuzz_$name" ]; then
    echo "fuzz $name: no such target" >&2
    failed=1
    continue
  fi
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || failed=1; done
  run_target "$name" &
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || failed=1; done
exit $failed
