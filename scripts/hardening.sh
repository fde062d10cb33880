#!/usr/bin/env bash
# The hardening checks, after the normal build and its tests:
#  1. every core, batch-tool and hardening test again, built with clang under
#     AddressSanitizer and UndefinedBehaviorSanitizer, together with a short
#     libFuzzer run of each fuzz target over its committed corpus;
#  2. the batch tool of the normal build under Valgrind memcheck on every
#     example and sample, in both process kinds and on a broken input;
#  3. the window program, built with clang under the same sanitizers, fed
#     random input for a minute in Xvfb (tests/ui/monkey.py; MONKEY_SEED
#     repeats a run, MONKEY_SECONDS makes it longer, MONKEY_SKIP=fifo,device
#     leaves kinds of paths out).
# Expects scripts/setup.sh to have run (it installs clang, valgrind, Xvfb,
# xdotool and python3).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(($(nproc) < 2 ? $(nproc) : 2))
build=build-hardening
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

echo "== sanitizer build ($build)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
  -DKESTROM_BUILD_UI=OFF -DKESTROM_BUILD_BENCHMARKS=OFF -DKESTROM_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs"

echo "== tests under ASan and UBSan, with the fuzz corpus runs"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build" --output-on-failure -j "$jobs"

echo "== the batch tool under Valgrind memcheck"
scripts/memcheck.sh build/src/kestrom-gen

echo "== the window under random input, built with ASan and UBSan (build-monkey)"
cmake -S . -B build-monkey -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
  -DKESTROM_BUILD_TESTS=OFF -DKESTROM_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-monkey -j "$jobs" --target kestrom
status=0
python3 tests/ui/monkey.py build-monkey/src/kestrom . --duration "${MONKEY_SECONDS:-60}" \
  ${MONKEY_SEED:+--seed "$MONKEY_SEED"} ${MONKEY_SKIP:+--skip "$MONKEY_SKIP"} \
  --keep build-monkey/monkey || status=$?
case $status in
0) ;;
77) echo "the monkey test was skipped (it needs root)" ;;
*) echo "the monkey test failed: its error output and screen are in build-monkey/monkey" >&2
   exit "$status" ;;
esac
