#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for FUZZ_SECONDS (default 20) from its seed corpus, FUZZ_JOBS targets
# at a time (default 4). A crash, a sanitizer report, an input that takes over FUZZ_TIMEOUT
# seconds (default 2; four times that for picture, whose inputs may decode into bitmaps of 256 MB)
# or more than FUZZ_RSS_MB of memory (default 2048) fails the run; the input
# that showed it is kept in build-fuzz/findings/<target>/. Targets can be named:
#   FUZZ_SECONDS=600 bash fuzz/run.sh imp gdp_raw
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-20}
jobs=${FUZZ_JOBS:-4}
timeout=${FUZZ_TIMEOUT:-2}
rss=${FUZZ_RSS_MB:-2048}

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
  local limit=$timeout
  if [ "$name" = picture ]; then limit=$((timeout * 4)); fi
  mkdir -p "$work" "$findings" "$(dirname "$log")"
  if "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout="$limit" -rss_limit_mb="$rss" \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work" "$root/fuzz/corpus/$name" >"$log" 2>&1; then
    echo "fuzz $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" |
      grep -o '[0-9]*$') runs, no finding"
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
