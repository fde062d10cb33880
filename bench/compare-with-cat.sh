#!/usr/bin/env bash
# Times kestrom-gen on the largest model as a whole process next to cat
# copying a file of the output's size, and prints the medians and their ratio
# (the goal: kestrom-gen costs at most twice as much as cat).
#   bench/compare-with-cat.sh [BUILD_DIR] [RUNS]      (default: build, 200)
# Both run without a shell; cat's standard output is the copy, opened by
# hyperfine. The machine should be otherwise idle.
set -euo pipefail
build=${1:-build}
runs=${2:-200}
gen=$build/src/kestrom-gen
asf=$build/bench/largest.asf
for f in "$gen" "$asf"; do
  [ -e "$f" ] || { echo "missing $f: build $build first" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "needs hyperfine: apt-get install hyperfine" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$gen" --process thread "$asf" "$work/generated.cpp"
cp "$work/generated.cpp" "$work/source.cpp"
echo "largest model: $(stat -c %s "$asf") bytes in, $(stat -c %s "$work/source.cpp") bytes out"

hyperfine -N --warmup 20 --runs "$runs" --export-json "$work/gen.json" \
  -n kestrom-gen "$gen --process thread $asf $work/generated.cpp"
hyperfine -N --warmup 20 --runs "$runs" --export-json "$work/cat.json" \
  --output="$work/copy.cpp" -n cat "cat $work/source.cpp"
cmp -s "$work/copy.cpp" "$work/source.cpp" || { echo "cat did not copy the file" >&2; exit 1; }

# "median": seconds, from hyperfine's JSON export, in milliseconds.
median_ms() { awk -F: '/"median"/ { gsub(/[ ,]/, "", $2); printf "%.2f", $2 * 1000; exit }' "$1"; }
gen_ms=$(median_ms "$work/gen.json")
cat_ms=$(median_ms "$work/cat.json")
ratio=$(awk -v g="$gen_ms" -v c="$cat_ms" 'BEGIN { printf "%.1f", g / c }')
echo "median: kestrom-gen $gen_ms ms, cat $cat_ms ms, ratio $ratio (goal: at most 2.0)"
