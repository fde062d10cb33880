#!/usr/bin/env bash
# Set up, build, then generate every example with the batch tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mkdir -p build/examples
for asf in examples/*.asf; do
  out="build/examples/$(basename "${asf%.asf}").cpp"
  build/src/kestrom-gen "$asf" "$out" && echo "generated $out"
done
