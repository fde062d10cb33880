#!/usr/bin/env bash
# Set up, build, then start the Kestrom window. The examples are generated
# with the batch tool first, into build/examples, for a look at the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mkdir -p build/examples
for asf in examples/*.asf; do
  out="build/examples/$(basename "${asf%.asf}").cpp"
  build/src/kestrom-gen "$asf" "$out" && echo "generated $out"
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display to show the window on (DISPLAY is not set)." >&2
  echo "run.sh: start build/src/kestrom from a desktop session, or use build/src/kestrom-gen." >&2
  exit 1
fi
exec build/src/kestrom "$@"
