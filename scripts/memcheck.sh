#!/usr/bin/env bash
# Runs the batch tool under Valgrind memcheck on every example and sample, in
# both process kinds, with the stored choice, and on broken input; fails on
# any memory error or leak. Usage: scripts/memcheck.sh PATH/TO/kestrom-gen
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

inputs=(examples/*.asf tests/data/samples/*.asf tests/fuzz/seeds/usbhostslave/*.asf)
if [ -d ../shared/asf-samples ]; then
  inputs+=(../shared/asf-samples/*.asf)
else
  echo "../shared/asf-samples not found: checking the repository's files only"
fi
head -c 200 examples/toggle.asf >"$out/truncated.asf"
head -c 4096 /dev/urandom >"$out/junk.asf"
inputs+=("$out/truncated.asf" "$out/junk.asf")

memcheck() {
  local status=0
  valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    "$tool" "$@" 2>"$out/log" >/dev/null || status=$?
  if [ "$status" -eq 99 ] || [ "$status" -gt 2 ]; then
    cat "$out/log"
    echo "memcheck failed (status $status): $tool $*"
    exit 1
  fi
}

runs=0
for asf in "${inputs[@]}"; do
  memcheck --process thread "$asf" "$out/thread.cpp"
  memcheck --process method "$asf" "$out/method.cpp"
  memcheck "$asf" -
  memcheck --svg "$out/picture.svg" "$asf"
  runs=$((runs + 4))
done
echo "memcheck: $runs runs of $tool clean"
