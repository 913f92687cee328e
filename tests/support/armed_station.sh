# Sourced by scripts that run the real program on the virtual devices: armed_station ROOT
# writes a data root whose parameters say dead air after 3 s, threshold 100 and armed at
# start-up, with a mail account, so the program starts armed without asking anything.
armed_station() {
    mkdir -p "$1/c/Dorvex" "$1/c/Program Files/Dorvex"
    python3 - "$1/c/Dorvex/DXParams.dat" <<'PY'
import struct, sys
records = [0] * 72
records[0], records[6], records[71] = 3, 100, 1
open(sys.argv[1], "wb").write(b"".join(struct.pack("<i", v) for v in records))
PY
    printf 'operator\r\nsecret\r\n' >"$1/c/Program Files/Dorvex/User.dat"
}
