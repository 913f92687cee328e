"""The real program, driven only through accessible names: the operator opens SpotFiles, ticks
Auto Start, arms the recording, and the spot records itself when the feed sounds and stops two
seconds after it falls quiet. The spot is listed, its name is typed in, and closing the window
writes the record log.

Usage: /usr/bin/python3 spot_record_test.py PROGRAM
"""

import os
import sys
import tempfile
import wave

from atspi_harness import Desktop, HarnessError, wait_until
from station_files import spot_record, write_feed, write_station


def main(program):
    with tempfile.TemporaryDirectory(prefix="dorvexia-e2e-") as work:
        feed = os.path.join(work, "feed.wav")
        write_feed(feed, [(3.0, 0), (3.0, 8000)])  # quiet, a tone, then silence
        root = os.path.join(work, "root")
        # Threshold 100, two seconds of quiet end an automatic recording, stereo.
        write_station(root, {1: 3, 7: 100, 39: 2, 43: 1})
        with Desktop() as desktop:
            app = desktop.start(program, "--data-root", root, "--audio", "virtual",
                                "--virtual-input", feed, "--virtual-output-dir",
                                os.path.join(work, "out"))
            main_window = app.window("Dorvexia Alarm/Fill")
            main_window.menu("SpotFiles")
            spots = app.window("SpotFiles Stereo")

            spots.find("check box", "Auto Start").click()
            record = spots.find("push button", "Record")
            record.click()
            wait_until(lambda: record.name == "Ready", "the recording armed (Ready)")
            wait_until(lambda: record.name.strip() == "Recording", "the feed to start it",
                       timeout=30)
            wait_until(lambda: record.name == "Record", "two quiet seconds to stop it",
                       timeout=30)

            status, name = spot_record(root, 1)
            if (status, name) != ("1", "(No Name 001 ****)"):
                raise HarnessError(f"spot 1 is stored as {status!r} {name!r}")
            wave_file = os.path.join(root, "c", "Dorvex", "Spotfile", "SF0001.wav")
            with wave.open(wave_file, "rb") as recorded:
                seconds = recorded.getnframes() / recorded.getframerate()
                if recorded.getnchannels() != 2 or not 4.0 <= seconds <= 6.0:
                    raise HarnessError(f"SF0001.wav: {recorded.getnchannels()} channels, "
                                       f"{seconds:.2f} s")

            # The list line: the name at its 25 characters, two blanks, the number in three.
            spots.find("list", "Spots").find("list item", "(No Name 001 ****)".ljust(25) + "    1",
                                             timeout=5)
            name_box = spots.find("text", "Name")
            name_box.set_text("")  # shown empty; what is typed next is stored
            name_box.type_text("Night promo")
            wait_until(lambda: spot_record(root, 1)[1] == "NIGHT PROMO", "the name stored")
            spots.find("push button", "Close").click()
            app.wait_closed(spots)

            log_file = os.path.join(root, "c", "Dorvex", "Logs", "record.log")
            wait_until(lambda: os.path.exists(log_file), "the record log line")
            with open(log_file, "rb") as log:
                line = log.read().decode()
            if not line.startswith("NIGHT PROMO" + " " * 14 + "    1" + " " * 9):
                raise HarnessError(f"record.log holds {line!r}")

            main_window.find("push button", "Close").click()
            app.wait_exit()
    print("A spot recorded, named and logged through accessible names alone.")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
