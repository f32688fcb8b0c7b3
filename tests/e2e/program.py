"""Drives the built program from outside, as a screen reader and a user would.

The program runs as its own process on the X display and session bus that
tests/e2e/run prepares. Controls are found and buttons pressed through the
accessibility bus (AT-SPI); keys and the window manager's close go through
real X input (xdotool). Nothing of the program is replaced.
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import pyatspi

PROGRAM = os.environ.get("TRAJECTRIX_PROGRAM", "trajectrix")
TIMEOUT = float(os.environ.get("TRAJECTRIX_E2E_TIMEOUT", "20"))

SCREENS = {
    "Intro": "Introduction",
    "Example": "Mathematical Formulation",
    "Example2": "Formulation Continued",
    "Setup": "Problem Set-up",
    "CompAngle": "Compute Angle Given Muzzle Velocity",
    "CompMzVel": "Compute Muzzle Velocity Given Angle",
    "RootFindParameters": "Root finding parameters",
}


class Timeout(AssertionError):
    pass


def wait_for(what, condition, timeout=TIMEOUT):
    """The first true value of condition(), or Timeout after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except (LookupError, RuntimeError):
            # The tree changes under us while windows open and close.
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout("timed out waiting for " + what)
        time.sleep(0.05)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def descendants(accessible):
    for child in accessible:
        if child is None:
            continue
        yield child
        yield from descendants(child)


class Program:
    """One run of the program, ended when the test is done with it."""

    def __init__(self, extra_env=None):
        env = dict(os.environ)
        env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_QPA_PLATFORM": "xcb"})
        env.update(extra_env or {})
        self.process = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.app = wait_for("the program on the accessibility bus", self._find_app)
        self.window("Intro")

    def _find_app(self):
        if self.process.poll() is not None:
            raise AssertionError("the program ended at start-up: " + self.output())
        for app in pyatspi.Registry.getDesktop(0):
            # With a GTK platform theme, GTK registers the process a second time, without windows.
            if app is not None and app.get_process_id() == self.process.pid and app.childCount > 0:
                return app
        return None

    def output(self):
        if self.process.poll() is None:
            return ""
        return self.process.stdout.read().decode(errors="replace")

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()

    # What is on screen

    def windows(self):
        """Titles of the program's windows now shown, message boxes and dialogs included."""
        return sorted(w.name for w in self.app if w is not None and showing(w))

    def window(self, screen, timeout=TIMEOUT):
        title = SCREENS.get(screen, screen)
        return wait_for(title + " shown", lambda: next(
            (w for w in self.app if w is not None and w.name == title and showing(w)), None), timeout)

    def alert(self, title=None):
        """The message box shown now (one at a time), optionally with `title`."""
        def find():
            for w in self.app:
                if w is not None and w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and showing(w):
                    if title is None or w.name == title:
                        return w
            return None
        return wait_for("a message box" + (" " + repr(title) if title else ""), find)

    def alert_text(self, alert):
        return "\n".join(c.name for c in descendants(alert) if c.getRole() == pyatspi.ROLE_LABEL and c.name)

    def control(self, window, name, role=None):
        """By accessible name, blanks and line breaks counting as one blank."""
        wanted = " ".join(name.split())

        def find():
            for c in descendants(window):
                if " ".join(c.name.split()) == wanted and (role is None or c.getRole() == role):
                    return c
            return None
        return wait_for("control %r in %r" % (name, window.name), find)

    def controls(self, window):
        return list(descendants(window))

    def text(self, control):
        t = control.queryText()
        return t.getText(0, t.characterCount)

    def value(self, control):
        return control.queryValue().currentValue

    def focused_name(self, window):
        control = self.focused(window)
        return " ".join(control.name.split()) if control else None

    def focused(self, window):
        return next((c for c in descendants(window) if c.getState().contains(pyatspi.STATE_FOCUSED)), None)

    # What the user does

    def press(self, control):
        """A button's own "Press" action, as a screen reader offers it."""
        action = control.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click"):
                action.doAction(i)
                return
        action.doAction(0)

    def press_button(self, window, caption):
        self.press(self.control(window, caption, pyatspi.ROLE_PUSH_BUTTON))

    def activate(self, title):
        """Raises and focuses the window titled `title` through the window manager."""
        def run(*args):
            try:
                return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=5)
            except subprocess.TimeoutExpired:
                return None

        def activated():
            found = run("search", "--all", "--onlyvisible", "--pid", str(self.process.pid), "--name", "^" + title + "$")
            ids = found.stdout.split() if found else []
            if not ids:
                return False
            done = run("windowactivate", "--sync", ids[-1])
            if done and done.returncode == 0:
                return True
            # A window manager may refuse to hand over the focus: ask for it directly.
            done = run("windowfocus", "--sync", ids[-1])
            return done is not None and done.returncode == 0

        # The window manager may not have taken a window just mapped.
        wait_for("window %r activated" % title, activated)

    def keys(self, *keys, to=None):
        """Real key presses, e.g. keys("Tab", "alt+n", "Right"), to the active window;
        with `to`, once that window (an accessible) has become active, as a user would wait."""
        if to is not None:
            try:
                wait_for("%r active" % to.name, lambda: self._takes_keys(to))
            except Timeout as timeout:
                raise Timeout("%s; %s" % (timeout, self.focus_report())) from None
        xdotool("key", "--delay", "30", *keys)

    def _takes_keys(self, window):
        """The window is active and holds the X input focus. Qt also calls a window
        active under pointer-root focus (a window manager that has not yet caught up
        leaves it there), where keys go to whatever lies under the pointer: a user
        would click the window first, and so does this, through the window manager."""
        if not window.getState().contains(pyatspi.STATE_ACTIVE):
            return False
        if self.x_focus() in self.window_ids(window.name):
            return True
        self.activate(window.name)
        return False

    def x_focus(self):
        done = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True, timeout=5)
        return int(done.stdout) if done.returncode == 0 and done.stdout.strip().isdigit() else None

    def focus_report(self):
        """Who holds the focus, for a failed wait: the X server's and the program's view."""
        def ask(*args):
            try:
                done = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=5)
                return (done.stdout + done.stderr).strip() or "?"
            except subprocess.TimeoutExpired:
                return "?"
        shown = ["%r%s" % (w.name, " active" if w.getState().contains(pyatspi.STATE_ACTIVE) else "")
                 for w in self.app if w is not None and showing(w)]
        return "X input focus on %s (%s), the program shows %s" % (
            ask("getwindowfocus"), ask("getwindowfocus", "getwindowname"), ", ".join(shown) or "nothing")

    def window_ids(self, title):
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(self.process.pid),
                                "--name", "^" + title + "$"], capture_output=True, text=True, timeout=5)
        return [int(i) for i in found.stdout.split()]

    def close_box(self, screen):
        """The title bar's close: the WM_DELETE_WINDOW message every window manager sends
        for it. Sent directly, so it does not depend on one manager's key bindings."""
        title = SCREENS.get(screen, screen)
        ids = wait_for("window %r mapped" % title, lambda: self.window_ids(title))
        send_delete_window(ids[-1])

    def answer(self, title, button):
        box = self.alert(title)
        self.press_button(box, button)
        wait_for("the box %r to close" % title, lambda: not showing(box) or box.name != title)

    def ended(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


LEVEL_1000_M = {"So": 0, "Sy": 0, "Sx": 1000}


def settle():
    """Long enough for a box that should not open to have opened."""
    time.sleep(0.4)


class ProgramTest(unittest.TestCase):
    """One program per test, ended with it; the way to each screen through the accessibility bus."""

    extra_env = None

    def setUp(self):
        # What the program keeps between runs: its own per test, shared by its restarts.
        if not getattr(self, "config", None):
            self.config = tempfile.mkdtemp()
            self.addCleanup(shutil.rmtree, self.config, True)
        self.p = Program(dict(self.extra_env or {}, XDG_CONFIG_HOME=self.config))
        self.addCleanup(self.p.end)
        self.addCleanup(self.assertNotLingering)

    def assertNotLingering(self):
        """A running program always shows a window the user can reach."""
        if self.p.process.poll() is None:
            self.assertTrue(self.p.windows(), "the program runs without any window shown")

    # Reaching the screens quickly, through the accessibility bus

    def setup_screen(self):
        self.p.press_button(self.p.window("Intro"), "Next >>")
        return self.p.window("Setup")

    def choose(self, window, caption):
        self.p.press(self.p.control(window, caption, pyatspi.ROLE_RADIO_BUTTON))

    def describe_level_problem(self, computation):
        setup = self.setup_screen()
        self.choose(setup, "Meters")
        self.choose(setup, "Degrees")
        bar = self.p.control(setup, "Horizontal distance to target (Sx)", pyatspi.ROLE_SCROLL_BAR)
        bar.queryValue().currentValue = LEVEL_1000_M["Sx"]
        self.choose(setup, computation)
        return setup

    def angle_screen(self):
        setup = self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        self.p.press_button(setup, "Next >>")
        self.p.answer("Note!", "OK")
        return self.p.window("CompAngle")

    def muzzle_velocity_screen(self):
        setup = self.describe_level_problem("Input super elevation angle - compute  muzzle velocity")
        self.p.press_button(setup, "Next >>")
        return self.p.window("CompMzVel")

    def assertNoBox(self):
        settle()
        self.assertEqual([], [w.name for w in self.p.app if w is not None and showing(w)
                              and w.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)])


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_delete_window(window):
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise AssertionError("cannot open the X display")
    try:
        event = _Event()
        event.client.type = 33  # ClientMessage
        event.client.window = window
        event.client.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.client.format = 32
        event.client.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.client.data[1] = 0  # CurrentTime
        if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
            raise AssertionError("the close message was not sent")
        x11.XFlush(display)
    finally:
        x11.XCloseDisplay(display)


class Screenshot:
    """The whole X screen as the user sees it, read through ImageMagick's `import`."""

    def __init__(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], capture_output=True, check=True,
                              timeout=60).stdout
        fields, end = [], 0
        while len(fields) < 4:
            while data[end:end + 1].isspace():
                end += 1
            start = end
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[start:end])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise AssertionError("unexpected screenshot format %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[end + 1:]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def area(self, accessible, inset=3):
        """The pixels inside an accessible's on-screen box, `inset` pixels in from its edge."""
        box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return [[self.pixel(x, y) for x in range(box.x + inset, box.x + box.width - inset)]
                for y in range(box.y + inset, box.y + box.height - inset)]


def luminance(rgb):
    """WCAG 2 relative luminance."""
    def linear(v):
        v /= 255
        return v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4
    r, g, b = rgb
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b)


def contrast(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)
