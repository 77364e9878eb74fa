#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test: the check that no folders or
# files include each other in a circle (scripts/include-structure.sh), a short pass of every fuzz
# target (fuzz/run.sh runs them longer), the core and its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the normal build with all its tests: the window tests under the
# offscreen platform, those of frames and stacking (label x11) each under its own Xvfb server
# with the openbox window manager (scripts/with-x-server.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

# Includes run one way: a circle between folders or files fails the run before anything builds.
if ! structure=$(bash "$root/scripts/include-structure.sh" "$root"); then
  sed -n '/^Circles between folders:/,$p' <<<"$structure" >&2
  exit 1
fi

FUZZ_SECONDS=3 bash "$root/fuzz/run.sh"

# The test discovery runs the sanitized test binary while building, so the options hold for both.
(
  export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  bash "$root/scripts/build.sh" "$root/build-sanitize" -DQUILLANE_GUI=OFF -DQUILLANE_BENCH=OFF \
    -DQUILLANE_SANITIZE=address,undefined
  cd "$root/build-sanitize" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300
)

bash "$root/scripts/build.sh" "$root/build" -DBUILD_TESTING=ON -DQUILLANE_BENCH=ON
cd "$root/build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300
