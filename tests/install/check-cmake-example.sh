#!/usr/bin/env bash
# The example design in examples/systemc-design built against the install
# in PREFIX with find_package(Kestrom): it runs, it is generated again when a
# diagram changes, and a diagram that cannot be generated fails the build.
#   check-cmake-example.sh SOURCE_DIR PREFIX WORK
source "$(dirname "$0")/support.sh"
source_dir=$1 prefix=$2 work=$3
rm -rf "$work"
mkdir -p "$work/examples"
cp -r "$source_dir/examples/systemc-design" "$source_dir/examples/toggle.asf" \
    "$source_dir/examples/blinker.asf" "$work/examples/"
export SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1

cmake -S "$work/examples/systemc-design" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O0 >"$work/configure.log" 2>&1 ||
    fail "configure: $(cat "$work/configure.log")"
cmake --build "$work/build" >"$work/build.log" 2>&1 || fail "build: $(cat "$work/build.log")"
expect_eq "the design's run" "cycle 0: go=1 q=1 led=1
cycle 1: go=1 q=0 led=1
cycle 2: go=0 q=1 led=1
cycle 3: go=1 q=1 led=1
cycle 4: go=0 q=1 led=1
cycle 5: go=0 q=1 led=1" "$("$work/build/design")"

# A changed diagram is generated again, with its OPTIONS (a newer editor
# version needs --any-version); an unchanged one is not.
sleep 1
sed -i '1s/^VERSION=1.19/VERSION=1.20/' "$work/examples/toggle.asf"
cmake --build "$work/build" >"$work/rebuild.log" 2>&1 || fail "rebuild: $(cat "$work/rebuild.log")"
grep -q 'Generating the SystemC module of ../toggle.asf' "$work/rebuild.log" ||
    fail "toggle.asf changed but was not generated again: $(cat "$work/rebuild.log")"
grep -q 'blinker.asf' "$work/rebuild.log" && fail "blinker.asf was generated again though unchanged"

printf 'VERSION=2.0\r\n' >"$work/examples/blinker.asf"
cmake --build "$work/build" >"$work/broken.log" 2>&1 && fail "a broken diagram did not fail the build"
grep -qF "$work/examples/blinker.asf:1: error: Invalid ASF File Format" "$work/broken.log" ||
    fail "the failed build does not show the error: $(cat "$work/broken.log")"
echo "CMake example: all checks passed"
