#!/bin/bash
# Runs the program with OPTION and nothing that names a display or a Qt platform; passes when it
# exits 0 having printed a line that matches PATTERN.
# Usage: without_display_test.sh PROGRAM OPTION PATTERN
set -u
program=$1 option=$2 pattern=$3
if ! out=$(env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$program" "$option"); then
    echo "$program $option failed without a display" >&2
    exit 1
fi
if ! grep -q -- "$pattern" <<<"$out"; then
    printf '%s %s printed:\n%s\nnot a line matching %s\n' "$program" "$option" "$out" "$pattern" >&2
    exit 1
fi
