#!/usr/bin/env bash
# One entry point for everything: installs what is missing, configures, builds, runs.
#   ./build.sh run [ARGS...]   build, then run quorvel-sim (no ARGS: the demonstration)
#   ./build.sh test            build and run every test: normal build, ASan+UBSan build, then the
#                              thread-related tests under ThreadSanitizer, then a short fixed-seed
#                              run of every fuzz target (clang, libFuzzer + ASan + UBSan), then
#                              the phone's dylib and package with their checks, then every test
#                              again in an arm64 host under emulation, against the phone's dylib
#   ./build.sh device          build the library for a phone (arm64 iOS dylib, build/device) and
#                              check what can be checked without one
#   ./build.sh package         the same, plus the rootless .deb a jailbroken phone installs
#   ./build.sh emulate [ARGS]  build the arm64 host and the phone's dylib, then run quorvel-sim
#                              under emulation with that dylib (no ARGS: the demonstration)
#   ./build.sh bench           build and run the benchmarks (release build)
#   ./build.sh fuzz [SECONDS]  fuzz every target for SECONDS (default 300; the scenario target
#                              splits them among the three OS families), keeping the corpus
#                              under build/fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libplist-dev libcairo2-dev fonts-dejavu-core libedit-dev nlohmann-json3-dev
          clang libclang-rt-14-dev
          lld-14 llvm-14 libc++-14-dev libplist-utils clang-22 lld-22 llvm-22 libssl-dev
          # the arm64 host, run under emulation (multiarch)
          qemu-user g++-aarch64-linux-gnu libc6:arm64 libcairo2-dev:arm64 libplist-dev:arm64
          libedit-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64 libssl-dev:arm64)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # The arm64 libraries come from Debian's multiarch archive, next to the amd64 ones.
  dpkg --print-foreign-architectures | grep -qx arm64 || $sudo dpkg --add-architecture arm64
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_build DIR [CMAKE ARGS...]
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

# ---- the phone ----
DEVICE_DIR=build/device

# build_device [PREFS_TOOL]: the dylib, and with the settings program the package too; then
# every check of the binary (and package) that needs no phone.
build_device() {
  local prefs=${1:-}
  local started=$SECONDS
  # The arm64e slice is linked in steps around ld64.lld by a tool of the Linux build.
  cmake -S "$ROOT" -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/release -j "$JOBS" --target quorvel-arm64e
  cmake -S "$ROOT/device" -B "$DEVICE_DIR" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/device/ios-arm64.cmake" -DQV_PREFS_TOOL="$prefs" \
    -DQV_ARM64E_TOOL="$ROOT/build/release/tools/quorvel-arm64e" >/dev/null
  cmake --build "$DEVICE_DIR" -j "$JOBS"
  echo "   device build: $((SECONDS - started)) s"
  ctest --test-dir "$DEVICE_DIR" --output-on-failure
}

# ---- the phone's binary under emulation ----
EMULATED_DIR=build/aarch64

# The kernel starts aarch64 programs through qemu-user once binfmt_misc knows them, so that the
# programs the tests and the host start (the preferences daemon, the simulator, child
# processes) run as directly as the test programs themselves, which CTest starts through qemu.
ensure_binfmt() {
  local misc=/proc/sys/fs/binfmt_misc sudo=""
  [ -e "$misc/qemu-aarch64" ] && return 0
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  [ -e "$misc/register" ] || $sudo mount -t binfmt_misc binfmt_misc "$misc" 2>/dev/null || true
  if [ -e "$misc/register" ]; then
    printf '%s' ':qemu-aarch64:M::\x7fELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\xb7\x00:\xff\xff\xff\xff\xff\xff\xff\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-aarch64:OC' \
      | $sudo tee "$misc/register" >/dev/null 2>&1 || true
  fi
  if [ ! -e "$misc/qemu-aarch64" ]; then
    echo "The kernel refused to register qemu-aarch64 with binfmt_misc. The test programs would" >&2
    echo "still run through qemu, but not the programs they start. As root:" >&2
    echo "  mount -t binfmt_misc binfmt_misc $misc; then register qemu-aarch64 (see build.sh)" >&2
    return 1
  fi
}

# build_emulated [TARGETS...]: the host, the tools and the tests for aarch64, whose tests load
# the phone's dylib (build/device) and compare with the native build (build/release).
build_emulated() {
  ensure_binfmt
  # -O1 without debug information: half the compile time of -O2 -g, which this build's two
  # cores feel most; the tests run as fast under qemu either way.
  cmake -S "$ROOT" -B "$EMULATED_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/aarch64-linux-gnu.cmake" -DQV_BENCH=OFF \
    -DQV_DEVICE_DIR="$ROOT/$DEVICE_DIR" -DQV_NATIVE_DIR="$ROOT/build/release" >/dev/null
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$EMULATED_DIR" -j "$JOBS" "${targets[@]}"
}

# ---- fuzzing ----
FUZZ_DIR=build/fuzz
# One OS version per family: the scenario target boots one home screen per process.
FUZZ_FAMILIES=(16.5 15.1 14.2 13.5 12.4)

build_fuzzers() {
  cmake -S "$ROOT" -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQV_FUZZ=ON -DQV_BENCH=OFF >/dev/null
  cmake --build "$FUZZ_DIR" -j "$JOBS" --target fuzzers
}

# fuzz_one TARGET OS SECONDS CORPUS [LIBFUZZER ARGS...]
# Runs one target from its committed seeds, adding what it finds to CORPUS; a crash, a
# sanitizer report, a hang or a leak fails it and leaves the input under $FUZZ_DIR/artifacts.
fuzz_one() {
  local target=$1 os=$2 seconds=$3 corpus=$4
  shift 4
  local name=$target
  [ "$target" = fuzz_scenario ] && name="$target-$os"
  local log="$FUZZ_DIR/logs/$name.log"
  mkdir -p "$corpus" "$FUZZ_DIR/logs" "$FUZZ_DIR/artifacts"
  # The targets that boot a home screen keep its state between inputs, which libFuzzer's
  # per-input leak check would take for a leak; leaks are still checked at exit.
  local leaks=1
  case "$target" in fuzz_settings_loaders|fuzz_scenario) leaks=0 ;; esac
  if QV_FUZZ_OS=$os ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$FUZZ_DIR/fuzz/$target" -max_total_time="$seconds" -timeout=30 -detect_leaks=$leaks \
      -artifact_prefix="$FUZZ_DIR/artifacts/$name-" -print_final_stats=1 "$@" \
      "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    local runs cov
    runs=$(grep -o '^Done [0-9]* runs in [0-9]* second' "$log" | tail -1)
    cov=$(grep -oE 'DONE +cov: [0-9]+ ft: [0-9]+ corp: [0-9]+' "$log" | tail -1 | sed 's/DONE *//')
    echo "   $name: ${runs:-?}s, ${cov:-?}"
  else
    echo "   $name: FAILED (log: $log)" >&2
    grep -E 'ERROR|SUMMARY|Test unit written|runtime error' "$log" | head -20 >&2
    return 1
  fi
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
    step() {
      [ -n "${step_name:-}" ] && echo "   ($step_name: $((SECONDS - step_started)) s)"
      step_name=$1
      step_started=$SECONDS
      [ -n "$step_name" ] && echo "== $step_name"
      return 0
    }
    step "normal build"
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    run_tests build/release
    step "AddressSanitizer + UndefinedBehaviorSanitizer build"
    configure_build build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON
    # The soak runs its full 10,000 actions in the normal build and a fifth of them here.
    QV_SOAK_ITERATIONS=2000 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      UBSAN_OPTIONS=print_stacktrace=1 run_tests build/asan
    step "ThreadSanitizer build: the tests labelled threads (their work crosses threads)"
    configure_build build/tsan -DCMAKE_BUILD_TYPE=Debug -DQV_TSAN=ON -DQV_BENCH=OFF
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build/tsan -j "$JOBS" \
      --output-on-failure --timeout 300 -L threads
    step "fuzz targets, fixed seed (clang: libFuzzer + ASan + UBSan)"
    build_fuzzers
    rm -rf "$FUZZ_DIR/seed-run"
    status=0
    fuzz_one fuzz_property_list 14.2 12 "$FUZZ_DIR/seed-run/property_list" -seed=1 || status=1
    fuzz_one fuzz_colour_text 14.2 12 "$FUZZ_DIR/seed-run/colour_text" -seed=1 || status=1
    fuzz_one fuzz_settings_loaders 14.2 14 "$FUZZ_DIR/seed-run/settings_loaders" -seed=1 || status=1
    fuzz_one fuzz_prefsd_requests 14.2 12 "$FUZZ_DIR/seed-run/prefsd_requests" -seed=1 || status=1
    for os in "${FUZZ_FAMILIES[@]}"; do
      fuzz_one fuzz_scenario "$os" 7 "$FUZZ_DIR/seed-run/scenario-$os" -seed=1 || status=1
    done
    step "the phone: arm64 iOS dylib and package, checked without a phone"
    build_device "$ROOT/build/release/tools/quorvel-prefs" || status=1
    step "the phone's binary under emulation: the arm64 host built, every test run on an arm64 device"
    build_emulated
    QUORVEL_CPU=arm64 ctest --test-dir "$EMULATED_DIR" -j "$JOBS" --output-on-failure \
      --timeout 600 || status=1
    step "the phone's binary under emulation: the tests that load the library, on an arm64e device"
    QUORVEL_CPU=arm64e ctest --test-dir "$EMULATED_DIR" -j "$JOBS" --output-on-failure \
      --timeout 600 -L library || status=1
    step ""
    exit $status
    ;;
  fuzz)
    ensure_packages
    build_fuzzers
    seconds=${1:-300}
    status=0
    for target in fuzz_property_list fuzz_colour_text fuzz_settings_loaders fuzz_prefsd_requests; do
      fuzz_one "$target" 14.2 "$seconds" "$FUZZ_DIR/corpus/$target" || status=1
    done
    for os in "${FUZZ_FAMILIES[@]}"; do
      fuzz_one fuzz_scenario "$os" $((seconds / ${#FUZZ_FAMILIES[@]})) \
        "$FUZZ_DIR/corpus/fuzz_scenario-$os" || status=1
    done
    exit $status
    ;;
  device)
    ensure_packages
    build_device
    ;;
  package)
    ensure_packages
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    build_device "$ROOT/build/release/tools/quorvel-prefs"
    ls "$DEVICE_DIR"/quorvel_*_iphoneos-arm64.deb
    ;;
  emulate)
    ensure_packages
    build_device
    build_emulated quorvel-sim quorvel-prefsd
    QUORVEL_LIBRARY="$ROOT/$DEVICE_DIR/Quorvel.dylib" exec "$EMULATED_DIR/tools/quorvel-sim" "$@"
    ;;
  bench)
    ensure_packages
    configure_build build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
    for b in build/release/bench/bench_*; do "$b" "$@"; done
    # Menu preparation and the App Lock toggle again on a 16.x device.
    for b in bench_home14 bench_actions14; do
      echo "== $b on a 16.5 device"
      QV_BENCH_OS=16.5 "build/release/bench/$b" "$@"
    done
    ;;
  *)
    echo "usage: $0 run [ARGS...] | test | device | package | emulate [ARGS...] | bench |" \
      "fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
