#!/usr/bin/env bash
# Takes the README's pictures of the real window again: runs the real-window
# test under Xvfb and copies its screenshots into docs/.
# usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
ctest --test-dir "$build" -R '^ui\.RealWindow$' --output-on-failure
for picture in main-window options-dialog diagram-window simulation; do
    cp "$build/tests/ui/screenshots/$picture.png" docs/
done
echo "docs/: main-window, options-dialog, diagram-window and simulation pictures taken again"
