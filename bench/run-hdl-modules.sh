#!/usr/bin/env bash
# Runs the translated-module benchmarks of a build folder (default: build):
# sofcontroller and slavecontroller, thread and method, 1,000,000 cycles each.
set -euo pipefail
build=${1:-build}
cycles=${2:-1000000}
export SYSTEMC_DISABLE_COPYRIGHT_MESSAGE=1
for module in sofcontroller slavecontroller; do
    for process in method thread; do
        "$build/bench/kestrom-hdl-bench-$module-$process" "$cycles"
    done
done
