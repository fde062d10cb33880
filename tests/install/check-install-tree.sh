#!/usr/bin/env bash
# cmake --install into a scratch prefix, then what a desktop and a user meet:
# the files, the desktop entry, the metainfo, the file type, the man pages
# against --help, and the bash completion.
#   check-install-tree.sh BUILD_DIR PREFIX
source "$(dirname "$0")/support.sh"
build=$1 prefix=$2
need desktop-file-validate desktop-file-utils
need appstreamcli appstream
need update-mime-database shared-mime-info
need gio libglib2.0-bin

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/kestrom
bin/kestrom-gen
lib/cmake/Kestrom/KestromConfig.cmake
lib/cmake/Kestrom/KestromConfigVersion.cmake
lib/cmake/Kestrom/KestromFunctions.cmake
lib/cmake/Kestrom/KestromTargets-CONFIG.cmake
lib/cmake/Kestrom/KestromTargets.cmake
share/applications/kestrom.desktop
share/bash-completion/completions/kestrom-gen
share/doc/kestrom/changelog.gz
share/doc/kestrom/copyright
share/icons/hicolor/128x128/apps/kestrom.png
share/icons/hicolor/16x16/apps/kestrom.png
share/icons/hicolor/24x24/apps/kestrom.png
share/icons/hicolor/256x256/apps/kestrom.png
share/icons/hicolor/32x32/apps/kestrom.png
share/icons/hicolor/48x48/apps/kestrom.png
share/icons/hicolor/64x64/apps/kestrom.png
share/icons/hicolor/scalable/apps/kestrom.svg
share/kestrom/kestrom.hlp
share/man/man1/kestrom-gen.1.gz
share/man/man1/kestrom.1.gz
share/metainfo/org.kestrom.kestrom.metainfo.xml
share/mime/packages/kestrom.xml"
expect_eq "installed files" "$expected" "$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||; s|KestromTargets-.*\.cmake|KestromTargets-CONFIG.cmake|' | LC_ALL=C sort)"
for size in 16 24 32 48 64 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/kestrom.png" | grep -q "$size x $size" ||
        fail "the ${size}x${size} icon is not ${size} pixels square"
done

expect_eq "desktop-file-validate" "" "$(desktop-file-validate "$prefix/share/applications/kestrom.desktop" 2>&1)"
grep -qx 'MimeType=text/x-asf-state-diagram;' "$prefix/share/applications/kestrom.desktop" ||
    fail "the desktop entry does not declare the state-diagram type"
metainfo=$prefix/share/metainfo/org.kestrom.kestrom.metainfo.xml
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $report"
echo "$report" | grep -E '^[EWI]:' && fail "appstreamcli reports findings: $report"
grep -q '<image>https://.*main-window.png</image>' "$metainfo" || fail "no screenshot in the metainfo"

# The file type: a diagram is told by its first line, whatever its name; a
# video with the same extension stays a video.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/share/mime/packages"
cp "$prefix/share/mime/packages/kestrom.xml" "$scratch/share/mime/packages/"
cp /usr/share/mime/packages/freedesktop.org.xml "$scratch/share/mime/packages/"
update-mime-database "$scratch/share/mime"
printf 'VERSION=1.19\r\nHEADER\r\n' >"$scratch/diagram.asf"
printf 'VERSION=1.19\r\nHEADER\r\n' >"$scratch/diagram-without-extension"
printf '\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c\x00\x00' >"$scratch/video.asf"
type_of() {
    XDG_DATA_HOME=$scratch/share XDG_DATA_DIRS=$scratch/share gio info -a standard::content-type "$1" |
        sed -n 's/^ *standard::content-type: //p'
}
expect_eq "type of diagram.asf" "text/x-asf-state-diagram" "$(type_of "$scratch/diagram.asf")"
expect_eq "type of a diagram without extension" "text/x-asf-state-diagram" \
    "$(type_of "$scratch/diagram-without-extension")"
expect_eq "type of video.asf" "application/vnd.ms-asf" "$(type_of "$scratch/video.asf")"

# Man pages: clean under man's own checks, and the batch tool's page names
# exactly the options its --help lists.
for page in kestrom kestrom-gen; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    expect_eq "man --warnings $page" "" "$warnings"
done
help_options=$("$prefix/bin/kestrom-gen" --help | grep -oE '^  --[a-z-]+' | sed 's/^ *//' | sort -u)
man_options=$(zcat "$prefix/share/man/man1/kestrom-gen.1.gz" | grep -A1 '^\.TP' |
    sed -n 's/^\\fB\(\\-\\-[a-z\\-]*[a-z]\)\\f.*/\1/p' | sed 's/\\-/-/g' | sort -u)
expect_eq "options in kestrom-gen.1 against --help" "$help_options" "$man_options"
status=$("$prefix/bin/kestrom-gen" --help | sed -n 's/^Exit status: //p')
zcat "$prefix/share/man/man1/kestrom-gen.1.gz" | grep -qxF "$status" ||
    fail "kestrom-gen.1 does not give the exit status as --help does: $status"

# Bash completion, as the shell runs it.
complete_words() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kestrom_gen; printf "%s\n" "${COMPREPLY[@]}"' \
        _ "$prefix/share/bash-completion/completions/kestrom-gen" "$@"
}
expect_eq "completion of --process" "thread
method" "$(complete_words kestrom-gen --process '')"
expect_eq "completion of --diag" "--diagnostics-format" "$(complete_words kestrom-gen --diag)"
echo "install tree: all checks passed"
