#!/usr/bin/env bash
# The import on the command line against FFmpeg's decode-and-write, by hand (not in CI):
# 100 MP3 files of 3 minutes each, imported with `dorvexia import --music` into a fresh data
# root, and the same files decoded to WAV by `ffmpeg -i x.mp3 x.wav`, in the same run. Then the
# catalogue is checked: 100 entries, each `Length` within a second of the three minutes.
#
#   bench/import_vs_ffmpeg.sh [work folder] [count] [seconds]
#
# Needs ffmpeg (apt-get install ffmpeg; deliberately not in scripts/install-deps) and the build
# (scripts/build). The sources are made once and kept in the work folder.
set -euo pipefail
cd "$(dirname "$0")/.."
work="${1:-/var/tmp/dorvexia-import-bench}"
count="${2:-100}"
seconds="${3:-180}"
program="$PWD/build/dorvexia"
maker="$PWD/build/bench/make_test_mp3s"
command -v ffmpeg >/dev/null || { echo "ffmpeg is needed: apt-get install ffmpeg" >&2; exit 2; }

sources="$work/sources-$count-$seconds"
if [ "$(ls "$sources"/*.mp3 2>/dev/null | wc -l)" -ne "$count" ]; then
    echo "Making $count MP3 files of $seconds s in $sources ..."
    rm -rf "$sources"
    half=$((count / 2))
    "$maker" "$sources" "$half" "$seconds" 1 &
    "$maker" "$sources" "$((count - half))" "$seconds" "$((half + 1))"
    wait
fi
rm -rf "$work/root" "$work/ffmpeg"
mkdir -p "$work/ffmpeg"
cat "$sources"/*.mp3 >/dev/null  # both start with the sources in the page cache

start=$(date +%s.%N)
"$program" --data-root "$work/root" import --music --threshold 100 "$sources"/*.mp3 >"$work/import.txt"
middle=$(date +%s.%N)
for file in "$sources"/*.mp3; do
    ffmpeg -nostdin -loglevel error -y -i "$file" "$work/ffmpeg/$(basename "$file" .mp3).wav"
done
end=$(date +%s.%N)

dorvexia=$(echo "$middle - $start" | bc)
ffmpeg_seconds=$(echo "$end - $middle" | bc)
echo "dorvexia import --music: $dorvexia s for $count files"
echo "ffmpeg -i x.mp3 x.wav:   $ffmpeg_seconds s for $count files"
echo "ratio (dorvexia / ffmpeg): $(echo "scale=3; $dorvexia / $ffmpeg_seconds" | bc)"

# The catalogue: Length is bytes 87..91 of each 128-byte record of Music.dat.
python3 - "$work/root/c/Dorvex/Music/Music.dat" "$count" "$seconds" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
count, seconds = int(sys.argv[2]), int(sys.argv[3])
records = [data[i:i + 128] for i in range(0, len(data), 128)]
active = [r for r in records if r[0:1] == b'1']
lengths = [int(r[87:92].decode().strip()) for r in active]
worst = max(abs(length - seconds) for length in lengths) if lengths else None
print(f"catalogue: {len(active)} active entries, lengths {min(lengths)}..{max(lengths)} s, "
      f"worst {worst} s from {seconds} s")
sys.exit(0 if len(active) == count and worst is not None and worst <= 1 else 1)
PY
