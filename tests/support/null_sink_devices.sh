# Sourced by scripts that run the real program on the null sinks of tests/support/null_sinks.sh:
# null_sink_devices BACKEND prints the feed's monitor and the sinks net, fill1 and fill2 as
# the program lists them with --audio BACKEND (portaudio or pulse), one a line.
null_sink_devices() {
    if [ "$1" = pulse ]; then
        # The null sinks all describe themselves as "Null Output": their names follow.
        printf '%s\n' "Monitor of Null Output (feed.monitor)" "Null Output (net)" \
            "Null Output (fill1)" "Null Output (fill2)"
    else
        printf '%s\n' "FeedIn (ALSA)" "NetOut (ALSA)" "Fill1 (ALSA)" "Fill2 (ALSA)"
    fi
}
