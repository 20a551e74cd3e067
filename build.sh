#!/usr/bin/env bash
# One entry point for everything: installs what is missing, configures, builds, runs.
#   ./build.sh run [ARGS...]   build, then run quorvel-sim (no ARGS: the demonstration)
#   ./build.sh test            build and run every test: normal build, ASan+UBSan build, then the
#                              thread-related tests under ThreadSanitizer
#   ./build.sh bench           build and run the benchmarks (release build)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libplist-dev libcairo2-dev fonts-dejavu-core libreadline-dev libedit-dev)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_build DIR [CMAKE ARGS...]
# Tests whose work crosses threads: replies from the authentication service, the Darwin
# notification centre's listener, the main queue.
TSAN_SUITES="SwitcherBlur|Dispatch|DarwinNotify|Authentication|SearchGate|IconState|MainQueue|NotificationCenter|Blocks|Settings|AuthFaults|ConcurrentWriters"

configure_build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

run_tests() {
  local dir=$1
  ctest --test-dir "$dir" -j "$JOBS" --output-on-failure --timeout 300
}

cmd=${1:-test}
shift || true
case "$cmd" in
  run)
    ensure_packages
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec build/release/tools/quorvel-sim "$@"
    ;;
  test)
    ensure_packages
    echo "== normal build"
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    run_tests build/release
    echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
    configure_build build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON
    # The soak runs its full 10,000 actions in the normal build and a fifth of them here.
    QV_SOAK_ITERATIONS=2000 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      UBSAN_OPTIONS=print_stacktrace=1 run_tests build/asan
    echo "== ThreadSanitizer build (authentication replies, Darwin notifications, main queue)"
    configure_build build/tsan -DCMAKE_BUILD_TYPE=Debug -DQV_TSAN=ON -DQV_BENCH=OFF
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build/tsan -j "$JOBS" \
      --output-on-failure --timeout 300 -R "$TSAN_SUITES"
    ;;
  bench)
    ensure_packages
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    for b in build/release/bench/bench_*; do "$b" "$@"; done
    ;;
  *)
    echo "usage: $0 run [ARGS...] | test | bench" >&2
    exit 2
    ;;
esac
