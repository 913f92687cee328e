"""Drives the real program through the accessibility bus (AT-SPI), as a screen reader does.

A test finds every control by its role and accessible name, operates it, and reads what the
program shows, the way assistive technology sees the program; nothing reaches into the program
by object names or screen positions.

    from atspi_harness import Desktop, wait_until

    with Desktop() as desktop:  # Xvfb, a private D-Bus session and the AT-SPI bus and registry
        app = desktop.start(program, "--data-root", root, "--audio", "virtual")
        main = app.window("Dorvexia Alarm/Fill")
        main.menu("Setup", "My Preferences")
        preferences = app.window("My Preferences")
        preferences.find("list", "Delay").choose("3 seconds")
        preferences.find("text", "Threshold").set_text("250")
        preferences.find("text", "User Name").type_text("night.shift@example.org")
        preferences.find("push button", "Close").click()
        app.wait_closed(preferences)
        start = main.find("push button", "Start")
        start.click()
        wait_until(lambda: start.description == "The sensor is armed", "the sensor armed")

Roles are AT-SPI's role names ("push button", "check box", "radio button", "text", "list",
"list item", "menu item", "label", "frame", "dialog"); `text` reads a box or a label. Every
wait is bounded and ends in a HarnessError that says what was awaited and what there was
instead. One Desktop per test process. Run tests with Debian's /usr/bin/python3
(python3-pyatspi, at-spi2-core, dbus-x11, xvfb: scripts/install-deps), as a CTest test like
tests/e2e/CMakeLists.txt shows.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

DEFAULT_TIMEOUT = 20.0  # seconds; generous for a loaded machine, never waited out when all is well
POLL = 0.1

_atspi = None  # pyatspi, imported once the private session bus is up


class HarnessError(AssertionError):
    pass


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT):
    """Waits until `condition()` is true (or returns something); returns what it returned. A
    HarnessError from `condition` ends the wait at once."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            result = condition()
            if result:
                return result
        except HarnessError:
            raise
        except Exception as error:  # the bus or a control in the middle of changing
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise HarnessError(f"timed out after {timeout:.0f} s waiting for {what}{detail}")
        time.sleep(POLL)


def _fresh(accessible):
    # The client library caches names and states; read what the program shows now.
    accessible.clearCache()
    return accessible


class Control:
    """One accessible object of the program: a control, a window or the application."""

    def __init__(self, accessible):
        self.accessible = accessible

    @property
    def role(self):
        return self.accessible.getRoleName()

    @property
    def name(self):
        return _fresh(self.accessible).name

    @property
    def description(self):
        return _fresh(self.accessible).description

    @property
    def text(self):
        """What a box or a label shows."""
        accessible = _fresh(self.accessible)
        try:
            return accessible.queryText().getText(0, -1)
        except NotImplementedError:
            return accessible.name

    def has_state(self, state_name):
        state = getattr(_atspi, "STATE_" + state_name.upper())
        return _fresh(self.accessible).getState().contains(state)

    @property
    def showing(self):
        return self.has_state("showing")

    @property
    def checked(self):
        return self.has_state("checked")

    def find(self, role, name, timeout=DEFAULT_TIMEOUT):
        """The descendant with this role and accessible name, once there is one."""

        def match(accessible):
            return accessible is not None and accessible.getRoleName() == role and (
                accessible.name == name
            )

        try:
            found = wait_until(lambda: _atspi.findDescendant(_fresh(self.accessible), match),
                               f'{role} "{name}"', timeout)
        except HarnessError as error:
            raise HarnessError(f"{error}; {self.describe()} holds:\n{self.outline()}") from None
        return Control(found)

    def click(self):
        """Presses a button, toggles a check box or option button, chooses a menu entry."""
        self._do("press", "toggle", "click", "activate")

    def set_text(self, text):
        """Replaces the text of a box, as a screen reader's edit does: the program sees the text
        change, not keystrokes (a box that acts on typing alone wants type_text)."""
        self._require_enabled()
        if not _fresh(self.accessible).queryEditableText().setTextContents(text):
            raise HarnessError(f"{self.describe()} refused the text {text!r}")
        wait_until(lambda: self.text == text, f"{self.describe()} to show {text!r}")

    def type_text(self, text):
        """Types into a box at its cursor, key by key through the display, as the keyboard does."""
        self._require_enabled()
        _fresh(self.accessible).queryComponent().grabFocus()
        wait_until(lambda: self.has_state("focused"), f"the focus in {self.describe()}")
        count = lambda: _fresh(self.accessible).queryText().characterCount
        before = count()
        _atspi.Registry.generateKeyboardEvent(0, text, _atspi.KEY_STRING)
        # Counted, not compared: a password box does not tell its text.
        wait_until(lambda: count() >= before + len(text),
                   f"{self.describe()} to take {len(text)} characters")

    def item_names(self):
        """The names of a list's items, in the list's order."""
        return [child.name for child in _fresh(self.accessible) if child is not None]

    def choose(self, item_name):
        """Selects the item of a list that has this name."""
        self._require_enabled()
        item = self.find("list item", item_name)
        if item.has_state("selected"):
            return  # toggling would take the choice away
        item._do("toggle", "press", "click")
        wait_until(lambda: item.has_state("selected"), f'"{item_name}" selected')

    def menu(self, *path):
        """Chooses a menu entry of this window's menu bar: menu("Setup", "My Preferences")."""
        entry = self
        for name in path:
            entry = entry.find("menu item", name)
        entry.click()

    def describe(self):
        return f'{self.role} "{self.name}"'

    def outline(self, depth=0, limit=200):
        """The roles and names below this object, one a line, for failure messages."""
        lines = []

        def walk(accessible, level):
            for child in accessible:
                if child is None or len(lines) >= limit:
                    continue
                lines.append("  " * level + f'{child.getRoleName()} "{child.name}"')
                walk(child, level + 1)

        walk(_fresh(self.accessible), depth)
        return "\n".join(lines)

    def _require_enabled(self):
        if not self.has_state("enabled"):
            raise HarnessError(f"{self.describe()} is disabled")

    def _do(self, *wanted):
        self._require_enabled()
        action = _fresh(self.accessible).queryAction()
        names = [action.getName(i).lower() for i in range(action.nActions)]
        for name in wanted:
            if name in names:
                action.doAction(names.index(name))
                return
        raise HarnessError(f"{self.describe()} offers none of {wanted}, only {names}")


class Application(Control):
    """The program as a process and as an application on the accessibility bus."""

    def __init__(self, accessible, process, log_path):
        super().__init__(accessible)
        self.process = process
        self.log_path = log_path

    def window(self, title, timeout=DEFAULT_TIMEOUT):
        """The shown top-level window (frame or dialog) with this title."""

        def shown():
            for child in _fresh(self.accessible):
                if child is not None and child.name == title and child.getState().contains(
                        _atspi.STATE_SHOWING):
                    return child
            return None

        titles = lambda: [child.name for child in _fresh(self.accessible) if child is not None]
        try:
            return Control(wait_until(shown, f'window "{title}"', timeout))
        except HarnessError as error:
            raise HarnessError(f"{error}; the windows are {titles()}") from None

    def wait_closed(self, window, timeout=DEFAULT_TIMEOUT):
        wait_until(lambda: not _window_showing(window), f"{window.describe()} to close", timeout)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end by itself, and fails unless it ends with status 0."""
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError(f"the program did not end within {timeout:.0f} s") from None
        if status != 0:
            raise HarnessError(f"the program ended with status {status}:\n{self.log()}")

    def log(self):
        with open(self.log_path, encoding="utf-8", errors="replace") as log:
            return log.read()


def _window_showing(window):
    try:
        return window.showing
    except Exception:
        return False  # gone from the bus


class Desktop:
    """A display, a session bus and an accessibility bus of the test's own, gone at the end.

    Fails loudly when any part cannot be started or reached: a test that cannot see the program
    has not passed.
    """

    def __init__(self):
        self._processes = []  # (Popen, whole process group?) to end, last first
        self._xvfb = None
        self._session_bus_pid = None
        self._folder = None
        self._saved_environment = None

    def __enter__(self):
        if _atspi is not None:
            # The client library stays on the first session's bus.
            raise HarnessError("one Desktop per test process")
        self._saved_environment = dict(os.environ)
        try:
            self._start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        for process, group in reversed(self._processes):
            _end(process, group)
        if self._session_bus_pid:
            try:
                os.kill(self._session_bus_pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        if self._folder:
            shutil.rmtree(self._folder, ignore_errors=True)
        if self._saved_environment is not None:
            os.environ.clear()
            os.environ.update(self._saved_environment)
        return False

    def start(self, program, *arguments, timeout=DEFAULT_TIMEOUT, environment=None):
        """Starts the program with accessibility on and finds it on the bus; `environment` adds
        variables for the program alone (a preloaded fake clock, say)."""
        environment = dict(os.environ, **(environment or {}), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           QT_QPA_PLATFORM="xcb")
        log_path = os.path.join(self._folder, f"program{len(self._processes)}.log")
        with open(log_path, "wb") as log:
            process = subprocess.Popen([program, *arguments], env=environment, stdout=log,
                                       stderr=subprocess.STDOUT)
        self._processes.append((process, False))

        def registered():
            if process.poll() is not None:
                raise HarnessError(f"the program ended with status {process.returncode}")
            desktop = _atspi.Registry.getDesktop(0)
            for app in desktop:
                if app is not None and app.get_process_id() == process.pid:
                    return app
            return None

        try:
            app = wait_until(registered, "the program on the accessibility bus", timeout)
        except HarnessError as error:
            with open(log_path, encoding="utf-8", errors="replace") as log:
                raise HarnessError(f"{error}\nprogram output:\n{log.read()}\n"
                                   f"{self._display_state()}") from None
        return Application(app, process, log_path)

    def _display_state(self):
        status = self._xvfb.poll() if self._xvfb else "not started"
        with open(self._display_log, encoding="utf-8", errors="replace") as log:
            return f"Xvfb {os.environ.get('DISPLAY')} status {status}, its output:\n{log.read()}"

    def _start(self):
        for tool in ("Xvfb", "dbus-launch", "dbus-send"):
            if shutil.which(tool) is None:
                raise HarnessError(f"{tool} is missing: run scripts/install-deps")
        self._folder = tempfile.mkdtemp(prefix="dorvexia-atspi-")
        self._display_log = os.path.join(self._folder, "display.log")
        runtime = os.path.join(self._folder, "runtime")
        os.mkdir(runtime, 0o700)
        os.environ["XDG_RUNTIME_DIR"] = runtime  # the accessibility bus's socket goes here
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        os.environ["DISPLAY"] = self._start_display()
        self._start_session_bus()
        self._start_accessibility_bus()
        global _atspi
        import pyatspi  # finds the accessibility bus through the session bus of the environment

        _atspi = pyatspi

    def _start_display(self):
        read_end, write_end = os.pipe()
        # No reset when the last client goes (the bus launchers come and go before the
        # program connects): a server in the middle of a reset turns connections away.
        with open(self._display_log, "wb") as log:
            xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdout=log,
                stderr=subprocess.STDOUT)
        os.close(write_end)
        self._processes.append((xvfb, False))
        self._xvfb = xvfb
        # Xvfb writes the display's number once it takes connections.
        with os.fdopen(read_end, "rb") as pipe:
            ready, _, _ = select.select([pipe], [], [], DEFAULT_TIMEOUT)
            number = pipe.readline().strip() if ready else b""
        if not number.isdigit():
            raise HarnessError(f"Xvfb did not start; {self._display_state()}")
        return ":" + number.decode()

    def _start_session_bus(self):
        output = subprocess.run(["dbus-launch", "--sh-syntax"], check=True, capture_output=True,
                                text=True, timeout=DEFAULT_TIMEOUT).stdout
        address = re.search(r"DBUS_SESSION_BUS_ADDRESS='([^']*)'", output)
        pid = re.search(r"DBUS_SESSION_BUS_PID=(\d+)", output)
        if not address or not pid:
            raise HarnessError(f"dbus-launch said nothing usable: {output!r}")
        self._session_bus_pid = int(pid.group(1))
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address.group(1)

    def _start_accessibility_bus(self):
        launcher = next((path for path in ("/usr/libexec/at-spi-bus-launcher",
                                           "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                         if os.path.exists(path)), None)
        if launcher is None:
            raise HarnessError("at-spi-bus-launcher is missing (at-spi2-core): run "
                               "scripts/install-deps")
        # In a process group of its own: the bus it starts, and the registry that bus starts on
        # demand, end with it.
        process = subprocess.Popen([launcher, "--launch-immediately", "--a11y=1"],
                                   start_new_session=True, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        self._processes.append((process, True))

        def answering():
            if process.poll() is not None:
                raise HarnessError(f"at-spi-bus-launcher ended with status {process.returncode}")
            reply = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                 "org.a11y.Bus.GetAddress"], capture_output=True, text=True, timeout=5)
            return reply.returncode == 0 and "unix:" in reply.stdout

        wait_until(answering, "the accessibility bus")


def _end(process, group):
    """Ends a process this harness started, and waits for it; its whole group where asked (what
    it started lives on in the group after it has gone)."""

    def send(signal_number):
        try:
            if group:
                os.killpg(process.pid, signal_number)
            elif process.poll() is None:
                process.send_signal(signal_number)
        except ProcessLookupError:
            pass

    send(signal.SIGTERM)
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        process.wait()
