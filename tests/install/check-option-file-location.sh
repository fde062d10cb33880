#!/usr/bin/env bash
# Where an installed kestrom-gen finds option.dat: beside itself when its
# folder can be written, otherwise in the user's configuration folder; and it
# reads without creating anything.
#   check-option-file-location.sh PREFIX SOURCE_DIR
source "$(dirname "$0")/support.sh"
prefix=$1 source_dir=$2
golden=$source_dir/tests/data/golden
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp -r "$prefix/bin" "$work/bin"
cp "$source_dir/examples/toggle.asf" "$work/"
mkdir -p "$work/config/kestrom" "$work/home"
printf '\xff\xff' >"$work/config/kestrom/option.dat"
chmod -R a+rX "$work"

# The program's folder cannot be written: the user's file holds the choice.
chmod 555 "$work/bin"
run_as_user() {
    as_plain_user env HOME="$work/home" XDG_CONFIG_HOME="$1" "$work/bin/kestrom-gen" "$work/toggle.asf" - >"$work/out.cpp"
}
run_as_user "$work/config"
cmp -s "$work/out.cpp" "$golden/toggle_method.cpp" ||
    fail "a read-only program folder did not take the choice from XDG_CONFIG_HOME/kestrom/option.dat"
run_as_user ""
cmp -s "$work/out.cpp" "$golden/toggle_thread.cpp" ||
    fail "without a stored choice the process is not a thread process"
expect_eq "files made by reading" "" "$(find "$work/home" "$work/bin" -name option.dat)"

# A folder the program can write keeps the file beside the program, as a
# program run from its build does.
chmod 777 "$work/bin"
printf '\x00\x00' >"$work/bin/option.dat"
chmod 644 "$work/bin/option.dat"
run_as_user "$work/config"
cmp -s "$work/out.cpp" "$golden/toggle_thread.cpp" ||
    fail "a writable program folder did not use the option.dat beside the program"
echo "option.dat location: all checks passed"
