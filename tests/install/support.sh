# Shared by the install tests: failing with a message, comparing whole texts.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect_eq WHAT EXPECTED ACTUAL
expect_eq() {
    [ "$2" == "$3" ] || fail "$1: expected
--- 
$2
--- but got
$3
---"
}

need() {
    command -v "$1" >/dev/null || fail "$1 is missing: run scripts/setup.sh (package $2)"
}

# Runs a command as a user who cannot write root's folders: the test runs
# as root in CI, where every folder is writable.
as_plain_user() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups --init-groups 2>/dev/null "$@" ||
            setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
    else
        "$@"
    fi
}
