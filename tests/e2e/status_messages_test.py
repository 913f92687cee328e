"""The real program, driven only through accessible names: the status line says "Stopped", Start
turns it to "Monitoring", and when the feed falls silent the alarm arrives with its message
("Preparing to Reboot", the restart being a harmless command here). The messages are listed
inside the main window and cover neither the status, nor the silence counter, nor the ALARM
badge, and no other window lies over them. Stop asks first: Cancel leaves the sensor armed,
Stop stops it and the alarm log says who did.

Usage: /usr/bin/python3 status_messages_test.py PROGRAM
"""

import os
import sys
import tempfile

from atspi_harness import Control, Desktop, HarnessError, wait_until
from station_files import alarm_log, write_feed, write_station

DESKTOP_COORDS = 0


def extents(control):
    box = control.accessible.queryComponent().getExtents(DESKTOP_COORDS)
    return (box.x, box.y, box.width, box.height)


def overlap(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def status_text(status):
    return status.description


def main(program):
    with tempfile.TemporaryDirectory(prefix="dorvexia-e2e-") as work:
        feed = os.path.join(work, "feed.wav")
        write_feed(feed, [(10.0, 8000)])  # then silence
        root = os.path.join(work, "root")
        # Dead air after 3 s, alarm only, threshold 100, restart on alarm.
        write_station(root, {1: 3, 2: 1, 7: 100, 71: 1})
        with Desktop() as desktop:
            app = desktop.start(program, "--data-root", root, "--audio", "virtual",
                                "--virtual-input", feed, "--virtual-output-dir",
                                os.path.join(work, "out"),
                                environment={"DORVEXIA_REBOOT_COMMAND": "true"})
            main_window = app.window("Dorvexia Alarm Only")
            status = main_window.find("label", "Status")
            if status_text(status) != "Stopped":
                raise HarnessError(f"before Start the status reads {status_text(status)!r}")

            main_window.find("push button", "Start").click()
            wait_until(lambda: status_text(status) == "Monitoring", "the status Monitoring")
            wait_until(lambda: status_text(status) == "ALARM", "the alarm after the feed",
                       timeout=40)
            messages = main_window.find("list", "Messages")
            wait_until(lambda: any("Preparing to Reboot" in name for name in messages.item_names()),
                       "the restart warning among the messages")

            watched = {name: extents(main_window.find("label", name))
                       for name in ("Status", "Silence counter", "ALARM")}
            listed = extents(messages)
            for box in (*watched.values(), listed):
                if box[2] <= 0 or box[3] <= 0:
                    raise HarnessError(f"an empty box {box} proves nothing: {watched}, {listed}")
            for name, box in watched.items():
                if overlap(box, listed):
                    raise HarnessError(f"the messages {listed} cover {name} {box}")
            # No other window (a question, a settings window) lies over them either.
            for accessible in app.accessible:
                window = Control(accessible) if accessible is not None else None
                if window is None or window.name == "Dorvexia Alarm Only" or not window.showing:
                    continue
                for name, box in watched.items():
                    if overlap(box, extents(window)):
                        raise HarnessError(f'window "{window.name}" covers {name}')

            stop = main_window.find("push button", "Stop")
            stop.click()
            question = app.window("Stop Guarding")
            question.find("push button", "Cancel").click()
            app.wait_closed(question)
            if status_text(status) != "ALARM":
                raise HarnessError(f"Cancel left the status {status_text(status)!r}")
            stop.click()
            question = app.window("Stop Guarding")
            question.find("push button", "Stop").click()
            wait_until(lambda: status_text(status) == "Stopped", "the status Stopped")
            wait_until(lambda: "Sensor Stopped During Alarm by the operator" in alarm_log(root),
                       "the stop and its reason in the alarm log")

            main_window.find("push button", "Close").click()
            app.wait_exit()
    print("Status line, alarm and messages seen apart through accessible names alone.")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
