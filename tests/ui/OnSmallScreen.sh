#!/usr/bin/env bash
# Runs a window test in a real X server with a small screen and a large scale
# factor: Xvfb at 1280 x 900, QT_SCALE_FACTOR=2.
#
# usage: OnSmallScreen.sh PROGRAM [ARGUMENTS...]
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is missing: install the Debian package xvfb" >&2; exit 1; }

work=$(mktemp -d /tmp/kestrom-small-screen.XXXXXX)
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 300); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
mkdir -m 700 "$work/runtime" "$work/config"
# Its own settings place: a window size remembered by another run would not
# be the size the program chooses for this screen.
DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
    XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" "$@"
