"""The real program, driven only through accessible names: the operator records two spots, makes
a rotation of them in the Rotation File Manager, puts the rotation in the regular program's
quarter-hour slot, arms the sensor, and the fill that follows the silence at a quarter past plays
one of the two spots. The program runs on a clock set to 10:13 (libfaketime), inside the
quarter-hour break window.

Usage: /usr/bin/python3 rotation_fill_test.py PROGRAM
"""

import glob
import os
import struct
import sys
import tempfile

from atspi_harness import Desktop, HarnessError, wait_until
from station_files import alarm_log, spot_record, write_feed, write_station

SPOTS = ("Station ID A", "Station ID B")


def fake_clock():
    """The program's environment for a clock that starts at 10:13:05 and runs on."""
    found = glob.glob("/usr/lib/*/faketime/libfaketime.so.1")
    if not found:
        raise HarnessError("libfaketime is not installed (Debian package faketime)")
    return {"LD_PRELOAD": found[0], "FAKETIME": "@2026-12-07 10:13:05"}


def record_spot(spots, root, number, name):
    """Arms an automatic recording, waits for the feed to start and end it, and names the spot."""
    record = spots.find("push button", "Record")
    record.click()
    wait_until(lambda: record.name == "Ready", "the recording armed (Ready)")
    wait_until(lambda: record.name.strip() == "Recording", "the feed to start it", timeout=30)
    wait_until(lambda: record.name == "Record", "two quiet seconds to stop it", timeout=30)
    wait_until(lambda: spot_record(root, number)[0] == "1", f"spot {number} stored")
    name_box = spots.find("text", "Name")
    name_box.set_text("")
    name_box.type_text(name)
    wait_until(lambda: spot_record(root, number)[1] == name.upper(), f"spot {number} named")


def rotation_entries(root, rotation):
    """(spot, plays) of each live entry of a rotation's entry file (22-byte records)."""
    path = os.path.join(root, "c", "Dorvex", "Spotfile", f"RF{rotation}.dat")
    with open(path, "rb") as entries:
        data = entries.read()
    live = []
    for offset in range(0, len(data) - 21, 22):
        in_use, spot, plays = struct.unpack_from("<hhh", data, offset)
        if in_use == 1:
            live.append((spot, plays))
    return live


def build_rotation(manager):
    manager.find("push button", "New").click()
    # A button presses a moment after it is asked to: type once New has shown its number.
    wait_until(lambda: any(child.getRoleName() == "label" and child.name.strip() == "9001"
                           for child in manager.accessible), "New to offer rotation 9001")
    manager.find("text", "Name").type_text("Station IDs")
    manager.find("push button", "Apply").click()
    manager.find("list", "Rotation Files").choose("Station IDs".ljust(25) + " 9001")
    spot_list = manager.find("list", "Spotfiles")
    for name in SPOTS:
        spot_list.choose(wait_until(
            lambda: next((line for line in spot_list.item_names()
                          if line.startswith(name.upper())), None), f"{name} in the spot list"))
        manager.menu("Spot List", "Add")


def main(program):
    with tempfile.TemporaryDirectory(prefix="dorvexia-e2e-") as work:
        feed = os.path.join(work, "feed.wav")
        # Two tones for two recordings, far enough apart to arm the second in between.
        write_feed(feed, [(3.0, 0), (3.0, 8000), (8.0, 0), (3.0, 8000)])
        root = os.path.join(work, "root")
        # Dead air after 3 s, fill players on virtual outputs 1 and 2, threshold 100, two
        # seconds of quiet end an automatic recording, stereo.
        write_station(root, {1: 3, 5: 1, 6: 2, 7: 100, 39: 2, 43: 1})
        with Desktop() as desktop:
            app = desktop.start(program, "--data-root", root, "--audio", "virtual",
                                "--virtual-input", feed, "--virtual-output-dir",
                                os.path.join(work, "out"), environment=fake_clock())
            main_window = app.window("Dorvexia Alarm/Fill")
            main_window.menu("SpotFiles")
            spots = app.window("SpotFiles Stereo")
            spots.find("check box", "Auto Start").click()
            for number, name in enumerate(SPOTS, start=1):
                record_spot(spots, root, number, name)

            spots.menu("Rotation File Manager")
            manager = app.window("Rotation File Manager")
            build_rotation(manager)
            wait_until(lambda: sorted(spot for spot, _ in rotation_entries(root, 9001)) == [1, 2],
                       "rotation 9001 holding spots 1 and 2")
            manager.find("push button", "Close").click()
            app.wait_closed(manager)
            spots.find("push button", "Close").click()
            app.wait_closed(spots)

            main_window.menu("Setup", "My Programming")
            programming = app.window("My Programming")
            programming.find("text", "Regular Sweeper").set_text("9001")
            programming.find("push button", "Apply").click()
            programming.find("push button", "Apply").click()
            programming.find("push button", "Close").click()
            app.wait_closed(programming)

            main_window.find("push button", "Start").click()
            played = wait_until(
                lambda: next((name for name in SPOTS if name.upper() in alarm_log(root)), None),
                "a spot of the rotation in the alarm log", timeout=40)
            plays = sum(plays for _, plays in rotation_entries(root, 9001))
            if plays != 1:
                raise HarnessError(f"rotation 9001 counts {plays} plays, not 1")

            main_window.find("push button", "Close").click()
            question = app.window("Stop Guarding")
            question.find("push button", "Close").click()
            app.wait_exit()
    print(f"The quarter-hour fill played {played} from a rotation built through accessible names.")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
