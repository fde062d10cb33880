#!/usr/bin/env bash
# cpack -G DEB: the package's fields, lintian without errors, and the
# unpacked kestrom-gen generating an example.
#   check-deb.sh BUILD_DIR SOURCE_DIR WORK
source "$(dirname "$0")/support.sh"
build=$1 source_dir=$2 work=$3
need dpkg-deb dpkg
need dpkg-shlibdeps dpkg-dev
need lintian lintian
rm -rf "$work"
mkdir -p "$work"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >cpack.log 2>&1) ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/kestrom_*.deb)

expect_eq "package name" "kestrom" "$(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
    [[ $depends == *"$library "* || $depends == *"$library," || $depends == *"$library" ]] ||
        fail "Depends lacks $library: $depends"
done
expect_eq "recommends" "g++, pkg-config, libsystemc-dev" "$(dpkg-deb -f "$deb" Recommends)"

status=0
findings=$(lintian --fail-on error "$deb" 2>&1) || status=$?
findings=$(grep -v '^running with root privileges' <<<"$findings" || true)
[ "$status" -eq 0 ] || fail "lintian reports errors:
$findings"

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/kestrom-gen" --process method "$source_dir/examples/toggle.asf" "$work/toggle.cpp"
cmp -s "$work/toggle.cpp" "$source_dir/tests/data/golden/toggle_method.cpp" ||
    fail "the unpacked kestrom-gen does not generate toggle.asf as expected"
[ -f "$work/root/usr/share/kestrom/kestrom.hlp" ] || fail "no help guide in the package"
echo "Debian package: all checks passed"
[ -z "$findings" ] || echo "lintian notes: $findings"
