#!/usr/bin/env bash
# Runs a command beside a private PulseAudio sound server that has no sound card, only null
# sinks, and ALSA devices on them that PortAudio lists:
#
#   sink   feed    its monitor is the ALSA capture device  FeedIn     (the programme feed)
#   sink   net     ALSA playback device NetOut, its monitor ALSA capture device NetMonitor
#   sink   fill1   ALSA playback device Fill1
#   sink   fill2   ALSA playback device Fill2
#
# paplay --device=feed plays into the feed, parecord --device=<sink>.monitor records an output,
# and unloading a sink's module (pactl) takes its device away; streams on it then end, since
# the server rescues no stream to another sink. The server, its runtime folder and the ALSA
# configuration live in a temporary folder (HOME points there while the command runs) and go
# when the command ends. A server that cannot be started is a failure, never a quiet skip.
#
# With NULL_SINKS_MODULES_LOCKED=1 in the environment, the server lets no client load or unload
# modules once it has started, as a system-wide server does.
#
# Usage: null_sinks.sh COMMAND [ARGUMENT...]
set -euo pipefail

command -v pulseaudio >/dev/null && command -v pactl >/dev/null || {
    echo "null_sinks.sh: pulseaudio and pactl are needed (scripts/install-deps installs them)" >&2
    exit 1
}
ls /usr/lib/*/alsa-lib/libasound_module_pcm_pulse.so >/dev/null 2>&1 || {
    echo "null_sinks.sh: the ALSA pulse plugin is needed (libasound2-plugins)" >&2
    exit 1
}

base=$(mktemp -d)
server=""
stop_server() {
    if [ -n "$server" ] && kill -0 "$server" 2>/dev/null; then
        kill -TERM "$server" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$server" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$base"
}
trap stop_server EXIT

export HOME=$base/home
export XDG_RUNTIME_DIR=$base/run
export XDG_CONFIG_HOME=$HOME/.config
export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse
export PULSE_STATE_PATH=$base/state
export PULSE_SERVER=unix:$PULSE_RUNTIME_PATH/native
export PULSE_CONFIG=$base/daemon.conf
export PULSE_CLIENTCONFIG=$base/client.conf
mkdir -p "$HOME" "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
chmod 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"

# No stream is moved to another sink when its own goes: it ends, as on a pulled card. The
# server is never started behind our back, and runs at ordinary priority.
cat >"$PULSE_CONFIG" <<'CONF'
rescue-streams = no
realtime-scheduling = no
high-priority = no
exit-idle-time = -1
default-sample-format = s16le
default-sample-rate = 44100
default-sample-channels = 2
CONF
printf 'autospawn = no\n' >"$PULSE_CLIENTCONFIG"
cat >"$HOME/.asoundrc" <<'ALSA'
pcm.FeedIn { type pulse; device "feed.monitor" }
pcm.NetOut { type pulse; device "net" }
pcm.NetMonitor { type pulse; device "net.monitor" }
pcm.Fill1 { type pulse; device "fill1" }
pcm.Fill2 { type pulse; device "fill2" }
ALSA

# -n: only the modules named here. Root may run a per-user server; it only warns.
locked=()
[ "${NULL_SINKS_MODULES_LOCKED:-0}" = 1 ] && locked=(--disallow-module-loading=yes)
pulseaudio -n --daemonize=no --use-pid-file=no --system=no --log-target=stderr \
    --log-level=error "${locked[@]}" \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=feed" -L "module-null-sink sink_name=net" \
    -L "module-null-sink sink_name=fill1" -L "module-null-sink sink_name=fill2" \
    2>"$base/server.log" &
server=$!

ready=no
for _ in $(seq 100); do
    if pactl list short sinks 2>/dev/null | grep -q 'fill2'; then
        ready=yes
        break
    fi
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if [ $ready != yes ]; then
    echo "null_sinks.sh: the PulseAudio server did not start:" >&2
    cat "$base/server.log" >&2
    exit 1
fi

status=0
"$@" || status=$?
exit $status
