#!/usr/bin/env bash
# Renders the user guide's waveform picture: runs the test bench of
# examples/keyfilter.asf with a short stimuli file, opens its waveform in
# GTKWave (Debian package gtkwave) in an Xvfb screen with the state names
# filter on fsm_state, and takes a screenshot of it.
#
# usage: scripts/waveform-picture.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build}")
output=$(realpath -m "${2:-docs/testbench-waveform.png}")

for tool in Xvfb gtkwave xdotool import g++ pkg-config; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done

work=$(mktemp -d /tmp/kestrom-waveform.XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

cat >keys.csv <<'CSV'
cycle,key,level
0,1,0
2,,3
4,,9
5,,15
6,,9
11,0,
12,1,
14,0,
15,1,
18,0,
CSV
"$build/src/kestrom-gen" --typed-ports --reset sync --cycles 20 --stimuli keys.csv \
  --testbench keyfilter_bench.cpp "$root/examples/keyfilter.asf" keyfilter.cpp
g++ -std=c++17 -O0 keyfilter_bench.cpp $(pkg-config --cflags --libs systemc) -o bench
SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1 ./bench

cat >view.tcl <<'TCL'
gtkwave::addSignalsFromList {clk rst key level led presses}
set filter [gtkwave::setCurrentTranslateFile ./KeyFilter.fsm_state.txt]
gtkwave::addSignalsFromList {fsm_state}
gtkwave::highlightSignalsFromList {SystemC.fsm_state[31:0]}
gtkwave::installFileFilter $filter
gtkwave::unhighlightSignalsFromList {SystemC.fsm_state[31:0]}
gtkwave::setZoomRangeTimes 0 200
TCL
cat >gtkwaverc <<'RC'
hide_sst 1
initial_window_x 1000
initial_window_y 330
RC

Xvfb -displayfd 3 -screen 0 1000x330x24 -nolisten tcp -noreset 3>display 2>xvfb.log &
xvfb_pid=$!
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 display)"
gtkwave -r gtkwaverc -S view.tcl KeyFilter.vcd >gtkwave.log 2>&1 &
xdotool search --sync --name "GTKWave" >/dev/null
sleep 3 # the script runs after the window appears
import -window root "$output"
echo "waveform picture: $output"
