#!/usr/bin/env bash
# Runs the real program's demonstration offscreen, in real time, with a home folder of its own:
# it must build its station where it is told (or in a temporary folder it removes at the end),
# raise the alarm, fill the silence from its library and give the air back to the feed, and
# leave the data root the program would otherwise use untouched.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill -TERM "${pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

home=$work/home
mkdir -p "$home" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
run() {
    env -u DORVEXIA_AUDIO HOME="$home" XDG_DATA_HOME="$home/data" DORVEXIA_ROOT="$work/real" \
        TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$program" --demo --audio virtual "$@" \
        >>"$work/output" 2>&1 &
    pid=$!
}
stop() {
    kill -TERM "$pid"
    wait "$pid" || { cat "$work/output"; fail "the program did not end cleanly on SIGTERM"; }
}

# Without a folder: a temporary one, gone at the end.
run
sleep 3
ls "$work"/tmp/dorvexia-demo-*/c/Dorvex/DXParams.dat >/dev/null || fail "no temporary station"
stop
[ -z "$(ls -A "$work/tmp")" ] || fail "the temporary station was left behind"

# In a folder of its own, until the live feed is back on air (at most a minute).
run --data-root "$work/station"
logs=$work/station/c/Dorvex/Logs
for _ in $(seq 60); do
    sleep 1
    cat "$logs"/AL*.log 2>/dev/null | tr -d '\r' | grep -q ' Audio$' && break
done
stop
log=$(cat "$logs"/AL*.log | tr -d '\r')
echo "$log"
grep -q ' Alarm  *$' <<<"$log" || fail "no Alarm line"
items=$(sed -n '/ Alarm  *$/,/>>End Fill<</p' <<<"$log" | grep -vc 'Alarm\|End Fill' || true)
[ "$items" -ge 1 ] || fail "no fill item between the alarm and the end of the fill"
grep -q '>>End Fill<<' <<<"$log" || fail "no >>End Fill<< line"
grep -q ' Audio$' <<<"$log" || fail "the live feed did not come back"
[ -d "$work/station/c/Dorvex" ] || fail "the station given was not kept"

# The data root the program uses without --demo was never made.
[ ! -e "$work/real" ] && [ ! -e "$home/data/dorvexia" ] || fail "the default data root was touched"
echo "1 passed, 0 failed"
