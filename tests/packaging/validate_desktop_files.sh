#!/usr/bin/env bash
# Checks the files the package installs for the desktop with the tools that read them: the
# desktop entry, the AppStream metadata (offline) and the manual page (no groff warnings).
# Usage: validate_desktop_files.sh DESKTOP_FILE METAINFO_FILE MANUAL_PAGE
set -euo pipefail
desktop=$1 metainfo=$2 manual=$3
checked=0

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop"
    checked=$((checked + 1))
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo"
    checked=$((checked + 1))
fi
if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$warnings" >&2
        exit 1
    fi
    checked=$((checked + 1))
fi
[ "$checked" -gt 0 ] || exit 77  # none of the tools here: skipped
echo "$checked checks passed"
