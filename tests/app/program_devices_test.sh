#!/usr/bin/env bash
# Runs the real program on real sound devices, through PortAudio (the ALSA devices on the null
# sinks of a private sound server) or through its PulseAudio backend (the null sinks
# themselves); run it through tests/support/null_sinks.sh. The feed is 40 s of tone played
# into the sink "feed", then silence, then the tone again while the fill plays.
#
#   - the tone passes through to NetOut at the same level, without a gap, for 15 s;
#   - NetOut's sink is unloaded and loaded again: the loss and the return are logged, and the
#     pass-through is back on air by itself at the level it had;
#   - the silence raises the alarm and the fill plays the library's tune (8 s) on Fill1;
#   - the tone that returns meanwhile stays off NetOut until the tune has ended, then fades in
#     over about 3.3 s.
#
# Usage: program_devices_test.sh DORVEXIA DORVEXIA_TEST_STATION [portaudio|pulse]
set -euo pipefail
program=$1
station=$2
backend=${3:-portaudio}
source "$(dirname "$0")/../support/null_sink_devices.sh"
mapfile -t devices < <(null_sink_devices "$backend")
net_out=${devices[1]}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*"
    echo "--- the program's output (end) and alarm log:"
    tail -n 20 "$work/stdout" 2>/dev/null || true
    cat "$work"/root/c/Dorvex/Logs/AL*.log 2>/dev/null || true
    exit 1
}
record() {  # record SINK FILE: what goes out on a sink, raw 16-bit stereo at 44100 Hz
    parecord --device="$1.monitor" --raw --format=s16le --rate=44100 --channels=2 \
        --latency-msec=50 "$2" &
    pids+=($!)
}
module_of() { pactl list short modules | awk -v s="sink_name=$1" '$2 == "module-null-sink" && $3 == s {print $1}'; }
wait_for_line() {  # wait_for_line PATTERN SECONDS: until the day's alarm log holds PATTERN
    for _ in $(seq $((10 * $2))); do
        cat "$work"/root/c/Dorvex/Logs/AL*.log 2>/dev/null | tr -d '\r' | grep -q "$1" && return 0
        sleep 0.1
    done
    fail "no \"$1\" in the alarm log within $2 s"
}

sox -n -r 44100 -c 2 -b 16 "$work/feed.wav" synth 40 sine 1000 vol 0.25
sox -n -r 44100 -c 2 -b 16 "$work/return.wav" synth 20 sine 1000 vol 0.25
DORVEXIA_AUDIO=$backend "$station" "$work/root" "${devices[@]}"

record net "$work/net1.raw"
record fill1 "$work/fill1.raw"
paplay --device=feed "$work/feed.wav" &
pids+=($!)
sleep 1
QT_QPA_PLATFORM=offscreen "$program" --data-root "$work/root" --audio "$backend" \
    >"$work/stdout" 2>&1 &
program_pid=$!
pids+=($program_pid)

# Over 15 s of tone on air, then NetOut goes away for 3 s.
sleep 18
pactl unload-module "$(module_of net)"
wait_for_line "Audio device lost: $net_out" 5
sleep 3
pactl load-module module-null-sink sink_name=net >/dev/null
record net "$work/net2.raw"
wait_for_line "Audio device back: $net_out" 12

# The feed ends after 40 s: the alarm after 3 s of silence, and the fill. The tone returns
# while the tune plays; the live feed fades back in once the tune has ended.
wait_for_line " Alarm  " 25
sleep 2
paplay --device=feed "$work/return.wav" &
pids+=($!)
wait_for_line " Audio$" 15
sleep 1
kill -TERM "$program_pid"
wait "$program_pid" || fail "the program did not end cleanly on SIGTERM"
for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done

log=$(tr -d "\r" < "$(ls "$work"/root/c/Dorvex/Logs/AL*.log | head -1)")
echo "$log"
[ "$(grep -c ' Alarm  ' <<<"$log")" -eq 1 ] || fail "one alarm, for the silence at the end"
[ "$(grep -n 'device back' <<<"$log" | cut -d: -f1)" -lt "$(grep -n ' Alarm  ' <<<"$log" | cut -d: -f1)" ] ||
    fail "the alarm came before the end of the feed"
grep -q "Null Sink Tune" "$work/root/c/Dorvex/Logs/Playlist.txt" || fail "no fill item in the playlist"

python3 - "$work" <<'PY' || fail "what went on air"
import array, math, sys, wave
work = sys.argv[1]

def left(samples):
    return samples[0::2]

def raw(name):
    samples = array.array("h")
    data = open(f"{work}/{name}", "rb").read()
    samples.frombytes(data[: len(data) // 4 * 4])
    return left(samples)

def rms_db(x):
    return 10 * math.log10(max(sum(v * v for v in x), 1) / len(x) / 32768.0**2)

def first_sound(x, above):
    return next(i for i, v in enumerate(x) if abs(v) > above)

with wave.open(f"{work}/feed.wav") as w:
    fed = array.array("h")
    fed.frombytes(w.readframes(w.getnframes()))
fed = left(fed)
fed_peak, fed_db = max(fed), rms_db(fed[44100:88200])
ok = True

# 15 s of the pass-through from half a second after the tone reached it: level and gaps,
# in blocks of 10 ms.
net1 = raw("net1.raw")
start = first_sound(net1, fed_peak / 2) + 22050
window = net1[start : start + 15 * 44100]
gaps = [b for b in range(0, len(window) - 441, 441) if max(map(abs, window[b : b + 441])) < 0.9 * fed_peak]
print(f"fed {fed_db:.3f} dBFS; on air {rms_db(window):.3f} dBFS over {len(window) / 44100:.1f} s, "
      f"{len(gaps)} blocks of 10 ms without the tone")
ok &= len(window) == 15 * 44100 and abs(rms_db(window) - fed_db) <= 0.1 and not gaps

# Back on air after the loss, at the level it had: the middle of the levels of 10 ms blocks
# over 5 s (a restarted output may begin with a short gap, which the dropout count shows).
net2 = raw("net2.raw")
start = first_sound(net2, fed_peak / 2)
back = net2[start : start + 5 * 44100]
levels = sorted(rms_db(back[b : b + 441]) for b in range(0, len(back) - 441, 441))
back_db = levels[len(levels) // 2]
print(f"back on air: {back_db:.3f} dBFS")
ok &= len(back) == 5 * 44100 and abs(back_db - fed_db) <= 0.1

# After the alarm: silence on NetOut while the tune plays (the tone is back on the feed by
# then), then the fade-in: from the first block 40 dB below the tone to the first within
# 0.5 dB of it takes about 3.3 s, and the tone stays at its level after.
after_loss = net2[start + 5 * 44100 :]
blocks = [rms_db(after_loss[b : b + 441]) for b in range(0, len(after_loss) - 441, 441)]
gone = next((i for i, level in enumerate(blocks) if level < fed_db - 60), None)
rising = next((i for i in range(gone or 0, len(blocks)) if blocks[i] > fed_db - 40), None)
full = next((i for i in range(rising or 0, len(blocks)) if blocks[i] > fed_db - 0.5), None)
if None in (gone, rising, full):
    print("no fade-in heard on NetOut after the fill")
    ok = False
else:
    silent = (rising - gone) / 100
    fade = (full - rising) / 100
    held = blocks[full : full + 50]
    print(f"off air for {silent:.2f} s around the fill, faded in over {fade:.2f} s")
    ok &= silent > 8 and 2.8 <= fade <= 4.0 and len(held) == 50 and min(held) > fed_db - 0.5

# The fill on Fill1: the tune (peak 8000, so -15.26 dBFS RMS), from its first second on.
fill = raw("fill1.raw")
start = first_sound(fill, 4000)
tune = fill[start + 4410 : start + 3 * 44100]
tune_db = 20 * math.log10(8000 / math.sqrt(2) / 32768)
print(f"fill: {rms_db(tune):.3f} dBFS (the tune is {tune_db:.3f} dBFS)")
ok &= len(tune) > 2 * 44100 and abs(rms_db(tune) - tune_db) <= 0.5
sys.exit(0 if ok else 1)
PY
grep -q "Audio device lost: $net_out" <<<"$log" || fail "no loss logged"
grep -q "Audio device back: $net_out" <<<"$log" || fail "no return logged"
echo "1 passed, 0 failed"
