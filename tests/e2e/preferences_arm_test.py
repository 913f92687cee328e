"""The real program, driven only through accessible names: the operator sets the dead-air delay
and the threshold in My Preferences, has them taken up by applying My Programming, arms the
sensor, and the alarm follows three seconds into the silence.

Usage: /usr/bin/python3 preferences_arm_test.py PROGRAM
"""

import os
import struct
import sys
import tempfile

from atspi_harness import Desktop, HarnessError, wait_until
from station_files import write_feed

DEAD_AIR_SECONDS_RECORD = 1
THRESHOLD_RECORD = 7


def stored_record(parameters_file, record):
    """A record of DXParams.dat: four bytes, little-endian, record n at (n - 1) x 4."""
    with open(parameters_file, "rb") as stored:
        data = stored.read()
    return struct.unpack_from("<i", data, (record - 1) * 4)[0]


def main(program):
    with tempfile.TemporaryDirectory(prefix="dorvexia-e2e-") as work:
        feed = os.path.join(work, "feed.wav")
        write_feed(feed, [(1.0, 8000)])  # a tone, then the virtual input falls silent
        root = os.path.join(work, "root")
        with Desktop() as desktop:
            app = desktop.start(program, "--data-root", root, "--audio", "virtual",
                                "--virtual-input", feed, "--virtual-output-dir",
                                os.path.join(work, "out"))
            # A first start has no mail account and says so among the messages.
            main_window = app.window("Dorvexia Alarm/Fill")
            messages = main_window.find("list", "Messages")
            wait_until(lambda: any("password not found" in name
                                   for name in messages.item_names()),
                       "the missing mail account among the messages")
            start = main_window.find("push button", "Start")
            if start.description != "The sensor is not armed":
                raise HarnessError(f"before Start: {start.description!r}")

            main_window.menu("Setup", "My Preferences")
            preferences = app.window("My Preferences")
            preferences.find("list", "Delay").choose("3 seconds")
            preferences.find("text", "Threshold").set_text("250")
            preferences.find("text", "User Name").type_text("night.shift@example.org")
            preferences.find("password text", "Password").type_text("pw")
            preferences.find("push button", "Apply").click()
            preferences.find("push button", "Close").click()
            app.wait_closed(preferences)

            parameters = os.path.join(root, "c", "Dorvex", "DXParams.dat")
            stored = (stored_record(parameters, DEAD_AIR_SECONDS_RECORD),
                      stored_record(parameters, THRESHOLD_RECORD))
            if stored != (3, 250):
                raise HarnessError(f"DXParams.dat holds delay, threshold {stored}, not (3, 250)")
            account = os.path.join(root, "c", "Program Files", "Dorvex", "User.dat")
            with open(account, "rb") as stored_account:
                if not stored_account.read().startswith(b"night.shift@example.org\r\npw\r\n"):
                    raise HarnessError("User.dat does not hold the account typed")

            # The running sensor takes a new delay when the program lists are read again.
            main_window.menu("Setup", "My Programming")
            programming = app.window("My Programming")
            programming.find("push button", "Apply").click()
            programming.find("push button", "Close").click()
            app.wait_closed(programming)

            start.click()
            wait_until(lambda: start.description == "The sensor is armed", "the sensor armed")
            alarm = main_window.find("label", "ALARM")
            wait_until(lambda: alarm.showing, "the alarm, three seconds into the silence")
            main_window.find("push button", "Stop").click()
            question = app.window("Stop Guarding")
            question.find("push button", "Stop").click()
            wait_until(lambda: start.description == "The sensor is not armed",
                       "the sensor disarmed")

            main_window.find("push button", "Close").click()
            app.wait_exit()
    print("Preferences set, sensor armed and alarm seen through accessible names alone.")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
