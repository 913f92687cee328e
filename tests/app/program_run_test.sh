#!/usr/bin/env bash
# Runs the real program on virtual sound devices for a quarter of a minute: a feed of tone,
# a silence gap and tone again. The pass-through must carry the tone unchanged in level and
# the day's alarm log must hold the alarm and its end.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 3 sine 1000 vol 0.5
sox -n -r 44100 -c 2 -b 16 "$work/gap.wav" trim 0 6
sox -n -r 44100 -c 2 -b 16 "$work/tone2.wav" synth 6 sine 1000 vol 0.5
sox "$work/tone.wav" "$work/gap.wav" "$work/tone2.wav" "$work/feed.wav"

source "$(dirname "$0")/../support/armed_station.sh"
armed_station "$work/root"

QT_QPA_PLATFORM=offscreen "$program" --data-root "$work/root" --audio virtual \
    --virtual-input "$work/feed.wav" --virtual-output-dir "$work/out" >"$work/stdout" 2>&1 &
pid=$!
sleep 16
kill -TERM "$pid"
wait "$pid" || { echo "the program did not end cleanly on SIGTERM"; exit 1; }

fail() { echo "FAILED: $*"; exit 1; }
log=$(tr -d "\r" < "$(ls "$work"/root/c/Dorvex/Logs/AL*.log | head -1)")
echo "$log"
grep -q ' Alarm  *$' <<<"$log" || fail "no Alarm line"
grep -q ' Alarm End  *$' <<<"$log" || fail "no Alarm End line"
[ "$(grep -n ' Alarm  *$' <<<"$log" | cut -d: -f1)" -lt "$(grep -n 'Alarm End' <<<"$log" | cut -d: -f1)" ] ||
    fail "Alarm End before Alarm"

# The first tone, as it went on air: same peak and RMS level within 0.1 dB.
level() { sox "$1" -n trim "$2" "$3" stats 2>&1 | awk -v what="$4" '$0 ~ what {print $4}'; }
for what in "Pk lev dB" "RMS lev dB"; do
    fed=$(level "$work/feed.wav" 0.5 2 "$what")
    aired=$(level "$work/out/out0.wav" 0.5 2 "$what")
    echo "$what: fed $fed, on air $aired"
    awk -v a="$fed" -v b="$aired" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= 0.1) }' ||
        fail "$what differs by more than 0.1 dB"
done
echo "1 passed, 0 failed"
