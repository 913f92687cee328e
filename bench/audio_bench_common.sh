# Shared by bench/cpu_share and bench/pass_through_latency (sourced, not run): the tools they
# need, processes that end with the script, processor time from /proc, a private X display,
# and the stations the real program starts armed on.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
null_sinks="$repo/tests/support/null_sinks.sh"

# need TOOL...: says every missing tool (and its Debian package) at once, then gives up.
need() {
    local missing=() tool
    declare -A package=([ffmpeg]=ffmpeg [sox]=sox [Xvfb]=xvfb [pulseaudio]=pulseaudio
        [pactl]=pulseaudio-utils [paplay]=pulseaudio-utils [parecord]=pulseaudio-utils
        [python3]=python3)
    for tool in "$@"; do
        command -v "$tool" >/dev/null || missing+=("$tool (${package[$tool]:-?})")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "$(basename "$0"): missing: ${missing[*]}" >&2
        exit 2
    fi
}

# Background processes of this script, ended (last first) when it ends.
bench_pids=()
end_processes() {
    local i
    for ((i = ${#bench_pids[@]} - 1; i >= 0; i--)); do
        kill -TERM "${bench_pids[i]}" 2>/dev/null || true
        wait "${bench_pids[i]}" 2>/dev/null || true
    done
}
started() { bench_pids+=("$1"); }

# Processor time of a process (all its threads) in clock ticks: utime + stime.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

# share_over SECONDS PID...: prints each process's processor share over SECONDS, in % of one
# core, one per line.
share_over() {
    local seconds=$1 pid before=() after=() i hz
    shift
    hz=$(getconf CLK_TCK)
    for pid in "$@"; do before+=("$(cpu_ticks "$pid")"); done
    sleep "$seconds"
    for pid in "$@"; do after+=("$(cpu_ticks "$pid")"); done
    for i in "${!before[@]}"; do
        awk -v a="${before[i]}" -v b="${after[i]}" -v hz="$hz" -v s="$seconds" \
            'BEGIN { printf "%.2f\n", 100 * (b - a) / hz / s }'
    done
}

# start_xvfb: a private X display for the program's window; sets DISPLAY.
start_xvfb() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] || break
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    started $!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
    export DISPLAY=":$number"
}

source "$repo/tests/support/armed_station.sh"  # armed_station ROOT: for the virtual devices
source "$repo/tests/support/null_sink_devices.sh"

# device_station BUILD BACKEND ROOT: an armed station on the null sinks (inside
# tests/support/null_sinks.sh), for the program started with --audio BACKEND.
device_station() {
    local devices
    mapfile -t devices < <(null_sink_devices "$2")
    DORVEXIA_AUDIO=$2 "$1/tests/app/dorvexia_test_station" "$3" "${devices[@]}" >/dev/null
}
