#!/bin/sh
# A full disk for real: a 64 KiB tmpfs written once, filled, then written again. Every output
# must fail with the system's reason and exit status 1, leaving the first file whole.
# Skipped (status 77) where no tmpfs can be mounted (not root, or in a restricted container).
set -u
strip=$1
dir=$(mktemp -d) || exit 1
trap 'umount "$dir" 2>/dev/null; rmdir "$dir"' EXIT
if ! mount -t tmpfs -o size=64k tmpfs "$dir" 2>/dev/null; then
    echo "cannot mount a tmpfs here: skipped"
    exit 77
fi
fail() { echo "FAIL: $*"; exit 1; }
trace="trace --ticks 600 --select 1:0@1"
"$strip" $trace --csv "$dir/good.csv" || fail "the first write"
before=$(sha256sum <"$dir/good.csv")
dd if=/dev/zero of="$dir/fill" bs=1k count=256 2>/dev/null
for output in "--csv $dir/good.csv" "--pdf $dir/good.csv" "--csv $dir/new.csv" \
              "--csv $dir/new.csv --png $dir/good.csv"; do
    err=$("$strip" $trace $output 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 1 ] || fail "$output: exit status $status, not 1"
    case $err in
        *"No space left on device"*) ;;
        *) fail "$output: '$err' does not give the system's reason" ;;
    esac
    [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "$output: more than one line: $err"
    [ "$(sha256sum <"$dir/good.csv")" = "$before" ] || fail "$output: good.csv was changed"
    [ "$(ls -A "$dir" | tr '\n' ' ')" = "fill good.csv " ] || fail "$output: left $(ls -A "$dir")"
done
echo "disk full: every output failed cleanly"
