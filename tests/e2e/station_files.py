"""The files of a test station on disk: the feed the virtual input plays, the parameters and
account that let the program start without asking, and the catalogue records a test reads back.
"""

import glob
import math
import os
import struct
import wave

RATE = 44100


def write_feed(path, parts):
    """A stereo feed made of (seconds, amplitude) parts: amplitude 0 is quiet, any other a 440 Hz
    tone of that peak. When the file ends the virtual input stays silent."""
    frames = bytearray()
    for seconds, amplitude in parts:
        for n in range(int(seconds * RATE)):
            sample = int(amplitude * math.sin(2 * math.pi * 440 * n / RATE))
            frames += struct.pack("<hh", sample, sample)
    with wave.open(path, "wb") as feed:
        feed.setnchannels(2)
        feed.setsampwidth(2)
        feed.setframerate(RATE)
        feed.writeframes(bytes(frames))


def write_station(root, parameters):
    """The data root's parameters (record number from 1 -> value; the others 0) and a mail
    account, so the first start asks for nothing."""
    dorvex = os.path.join(root, "c", "Dorvex")
    program = os.path.join(root, "c", "Program Files", "Dorvex")
    os.makedirs(dorvex)
    os.makedirs(program)
    records = [0] * 72
    for record, value in parameters.items():
        records[record - 1] = value
    with open(os.path.join(dorvex, "DXParams.dat"), "wb") as stored:
        stored.write(b"".join(struct.pack("<i", value) for value in records))
    with open(os.path.join(program, "User.dat"), "wb") as account:
        account.write(b"studio@example.org\r\npw\r\n")


def spot_record(root, number):
    """Status and name of a spot's catalogue record (94 bytes each)."""
    with open(os.path.join(root, "c", "Dorvex", "Spotfile", "Spotfile.dat"), "rb") as catalogue:
        catalogue.seek((number - 1) * 94)
        record = catalogue.read(94)
    return record[0:1].decode(), record[1:26].decode().rstrip()


def alarm_log(root):
    """The text of every daily alarm log so far, oldest first."""
    text = ""
    for path in sorted(glob.glob(os.path.join(root, "c", "Dorvex", "Logs", "AL*.log"))):
        with open(path, "rb") as log:
            text += log.read().decode("latin-1")
    return text
