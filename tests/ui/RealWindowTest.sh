#!/usr/bin/env bash
# Runs the built window program in a real X server (Xvfb) and drives it with
# key presses as a person would: Ctrl+O, the path of an example typed into the
# file dialog, Enter; Ctrl+S, an output path, Enter; the "Done!" box
# dismissed. The output must equal the expected file. Leaves screenshots of
# the main window and the Options dialog in SHOTS, and reports the window's
# time to first paint and its resident memory. Then starts the program again
# with SAMPLE on its command line and takes the picture of its diagram, and
# reports the times the views probe measures.
#
# usage: RealWindowTest.sh PROGRAM EXAMPLES GOLDEN SHOTS [STARTUP_PROBE] [SAMPLE] [VIEWS_PROBE]
set -uo pipefail

program=$1 examples=$2 golden=$3 shots=$4 probe=${5:-} sample=${6:-} views_probe=${7:-}
step_timeout=30 # seconds for any one window to appear or go

work=$(mktemp -d /tmp/kestrom-window.XXXXXX)
xvfb_pid="" app_pid=""

log() { echo "real-window: $*"; }
fail() {
    echo "real-window: FAILED: $*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "$xvfb_pid" ]; then
        import -window root "$shots/failure.png" 2>/dev/null &&
            echo "real-window: the screen at the failure is in $shots/failure.png" >&2
    fi
    for f in "$work"/*.log; do
        [ -s "$f" ] && { echo "--- $(basename "$f")" >&2; tail -n 20 "$f" >&2; }
    done
    exit 1
}
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

need() { command -v "$1" >/dev/null || fail "$1 is missing: install the Debian package $2"; }
need Xvfb xvfb
need xdotool xdotool
need import imagemagick
[ -x "$program" ] || fail "no program at $program"
mkdir -p "$shots" "$work/program" "$work/out" "$work/runtime" || fail "cannot make folders"
chmod 700 "$work/runtime"

# Xvfb chooses a free display itself and writes its number, then a line
# break, once it listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < step_timeout * 10; i++)); do
    [ "$(wc -l <"$work/display")" -ge 1 ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
    sleep 0.1
done
[ "$(wc -l <"$work/display")" -ge 1 ] || fail "Xvfb gave no display within ${step_timeout}s"
export DISPLAY=":$(head -n1 "$work/display")"
# A settings place of its own: a window remembered from an earlier run would
# open elsewhere.
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORMTHEME
log "Xvfb on display $DISPLAY"

# Seconds since the epoch, with nanoseconds, for the start-up figure.
now_ns() { date +%s%N; }

if [ -n "$probe" ]; then
    start=$(now_ns)
    timeout "$step_timeout" "$probe" >"$work/probe.out" 2>"$work/probe.log" ||
        fail "the start-up probe did not paint its window"
    painted=$(awk '/^first-paint-ns/ {print $2}' "$work/probe.out")
    resident=$(awk '/^resident/ {print $2, $3}' "$work/probe.out")
    log "start-up: first paint after $(((painted - start) / 1000000)) ms, resident $resident"
fi

# A copy of the program, so that its option.dat starts absent (thread process).
cp "$program" "$(dirname "$program")/kestrom.hlp" "$work/program/" ||
    fail "cannot copy the program and its help file"
cd "$work" || fail "cannot enter $work"
"$work/program/kestrom" >"$work/kestrom.log" 2>&1 &
app_pid=$!

# Prints the id of the visible window whose title matches the pattern.
wait_window() {
    local id
    for ((i = 0; i < step_timeout * 10; i++)); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$app_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
wait_gone() {
    for ((i = 0; i < step_timeout * 10; i++)); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
# Gives the window the keyboard (there is no window manager) and presses keys.
keys_to() {
    xdotool windowfocus "$1" && sleep 0.3 && shift && xdotool key --delay 80 "$@"
}
type_to() {
    xdotool windowfocus "$1" && sleep 0.3 && xdotool type --delay 30 "$2"
}
# Ends the program with Ctrl+X in window $1 and sets status to its exit status;
# $2 says which start of the program it was.
end_with_ctrl_x() {
    keys_to "$1" ctrl+x
    for ((i = 0; i < step_timeout * 10; i++)); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "Ctrl+X did not end the program$2"
    wait "$app_pid"
    status=$?
    app_pid=""
}

main=$(wait_window '^Kestrom$') || fail "the main window \"Kestrom\" did not appear"
log "main window $main"
resident=$(awk '/^VmRSS/ {print $2, $3}' "/proc/$app_pid/status")

asf="$examples/toggle.asf"
keys_to "$main" ctrl+o || fail "cannot press Ctrl+O"
dialog=$(wait_window '^Select FSM \(\.asf\) File\.\.\.$') ||
    fail "Ctrl+O opened no \"Select FSM (.asf) File...\" dialog"
type_to "$dialog" "$asf" || fail "cannot type into the open dialog"
keys_to "$dialog" Return
wait_gone '^Select FSM' || fail "the open dialog did not close on Enter"
if box=$(step_timeout=1 wait_window '^ASF File Error$'); then
    fail "the example was rejected as \"Invalid ASF File Format\""
fi

output="$work/out/toggle.cpp"
keys_to "$main" ctrl+s || fail "cannot press Ctrl+S"
dialog=$(wait_window '^SystemC FSM File Save As\.\.\.$') ||
    fail "Ctrl+S opened no \"SystemC FSM File Save As...\" dialog: was the file opened?"
type_to "$dialog" "$output" || fail "cannot type into the save dialog"
keys_to "$dialog" Return
wait_gone '^SystemC FSM File Save As' || fail "the save dialog did not close on Enter"
box=$(wait_window '^(Done!|ASF File Error|Output File Error)$') ||
    fail "no message box followed the generation"
title=$(xdotool getwindowname "$box")
[ "$title" = "Done!" ] || fail "generation ended with \"$title\" instead of \"Done!\""
keys_to "$box" Return
wait_gone '^Done!$' || fail "the \"Done!\" box did not close on Enter"

cmp -s "$output" "$golden/toggle_thread.cpp" ||
    fail "$output differs from $golden/toggle_thread.cpp: $(diff "$output" "$golden/toggle_thread.cpp" | head -n 5)"
log "generated $output, equal to the expected file"

import -window "$main" "$shots/main-window.png" || fail "cannot take the main window's picture"

# Options by the keyboard: Alt+G opens Generate on its first item, Down moves to Option.
keys_to "$main" alt+g
sleep 0.5
xdotool key --delay 80 Down Return
options=$(wait_window '^Options$') || fail "Alt+G, Down, Enter opened no \"Options\" dialog"
sleep 0.3
import -window "$options" "$shots/options-dialog.png" || fail "cannot take the Options dialog's picture"
keys_to "$options" Escape
wait_gone '^Options$' || fail "Escape did not close the Options dialog"
[ -f "$work/program/option.dat" ] && [ ! -s "$work/program/option.dat" ] ||
    fail "option.dat should exist and be empty after Generate and Cancel"

end_with_ctrl_x "$main" ""
[ "$status" -eq 0 ] || fail "the program ended with status $status"

if [ -n "$sample" ]; then
    # As the desktop opens a file: its path on the command line.
    "$work/program/kestrom" "$sample" >"$work/kestrom-sample.log" 2>&1 &
    app_pid=$!
    main=$(wait_window '^Kestrom$') || fail "the program did not start with $sample"
    if step_timeout=2 wait_window '^ASF File Error$' >/dev/null; then
        fail "$sample on the command line was rejected as \"Invalid ASF File Format\""
    fi
    xdotool windowsize "$main" 900 680 || fail "cannot resize the main window"
    sleep 1
    import -window "$main" "$shots/diagram-window.png" || fail "cannot take the diagram's picture"
    end_with_ctrl_x "$main" " opened with $sample"
    log "opened $sample from the command line"
fi

# A simulation in progress: F5 builds the crossing's module, the keyboard
# sets two inputs in the panel's fields and F10 steps the clock; Exit asks
# while the module runs.
if command -v pkg-config >/dev/null && pkg-config --exists systemc; then
    XDG_CACHE_HOME="$work/cache" "$work/program/kestrom" "$examples/crossing.asf" \
        >"$work/kestrom-sim.log" 2>&1 &
    app_pid=$!
    main=$(wait_window '^Kestrom$') || fail "the program did not start with crossing.asf"
    xdotool windowsize "$main" 1000 740 || fail "cannot resize the main window"
    sleep 1
    keys_to "$main" F5
    for ((i = 0; i < 1200; i++)); do
        compgen -G "$work/cache/kestrom/sim/*/driver" >/dev/null && break
        kill -0 "$app_pid" 2>/dev/null || fail "the program ended while building the simulation"
        sleep 0.1
    done
    compgen -G "$work/cache/kestrom/sim/*/driver" >/dev/null ||
        fail "F5 built no simulation driver within 120 s"
    sleep 2
    # rst stays 0, button becomes 1; Tab leaves each field, which sets it.
    xdotool key --delay 80 0 Tab 1 Tab
    for step in 1 2 3 4 5; do
        xdotool key F10
        sleep 0.4
    done
    sleep 1
    import -window "$main" "$shots/simulation.png" || fail "cannot take the simulation's picture"
    # Ctrl+X in an input field cuts its text: a click on the diagram takes the keyboard.
    xdotool mousemove --window "$main" 150 300 click 1
    sleep 0.3
    keys_to "$main" ctrl+x
    box=$(wait_window '^Exit$') || fail "Ctrl+X during a simulation did not ask before ending"
    keys_to "$box" alt+y
    for ((i = 0; i < step_timeout * 10; i++)); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "Yes in the Exit question did not end the program"
    wait "$app_pid"
    app_pid=""
    pgrep -f "$work/cache/kestrom/sim" >/dev/null && fail "the simulation's driver outlived the window"
    log "simulated crossing.asf: five steps, screenshot taken"
else
    log "SystemC not found (pkg-config systemc): the simulation's screenshot is left out"
fi

if [ -n "$views_probe" ]; then
    timeout 120 "$views_probe" >"$work/views.out" 2>"$work/views.log" ||
        fail "the views probe failed"
    sed 's/^/real-window: views: /' "$work/views.out"
fi

log "resident memory of the shown window: $resident"
log "screenshots in $shots"
log "passed"
