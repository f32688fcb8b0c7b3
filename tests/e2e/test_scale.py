"""The forms on a laptop screen at 150 % (1366x768 with QT_SCALE_FACTOR=1.5, set
in tests/e2e/CMakeLists.txt), where most are taller than the room they have:
every window whole on the screen and every form reachable, a scroll bar telling
the value the user reads, and the focus on a yellow button plain to see."""

import ctypes
import ctypes.util
import os
import subprocess
import unittest

import pyatspi

from program import SCREENS, ProgramTest, Screenshot, contrast, wait_for

SCALE = os.environ.get("QT_SCALE_FACTOR", "1.5")
# Qt 6.4 reports AT-SPI extents in device-independent pixels; screenshots and X are in device pixels.
PIXELS = float(SCALE)
YELLOW = (255, 255, 0)


def frame_outline(window_id):
    """(x, y, width, height) of the window the window manager put around the
    program's window: the ancestor right under the root, title bar included."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                               ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                               ctypes.POINTER(ctypes.c_uint)]
    x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong)] + \
        [ctypes.POINTER(ctypes.c_int)] * 2 + [ctypes.POINTER(ctypes.c_uint)] * 4
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        raise AssertionError("cannot open the X display")
    try:
        window = ctypes.c_ulong(window_id)
        while True:
            root, parent, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_uint()
            children = ctypes.POINTER(ctypes.c_ulong)()
            if not x11.XQueryTree(display, window, ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children),
                                  ctypes.byref(count)):
                raise AssertionError("window %d is gone" % window_id)
            if children:
                x11.XFree(children)
            if parent.value == root.value:
                break
            window = parent
        x, y = ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        x11.XGetGeometry(display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y), ctypes.byref(width),
                         ctypes.byref(height), ctypes.byref(border), ctypes.byref(depth))
        return x.value, y.value, width.value + 2 * border.value, height.value + 2 * border.value
    finally:
        x11.XCloseDisplay(display)


def screen_size():
    found = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True, check=True, timeout=10)
    width, height = found.stdout.split()
    return int(width), int(height)


def within(inner, outer):
    (x, y, w, h), (ox, oy, ow, oh) = inner, outer
    return ox <= x and oy <= y and x + w <= ox + ow and y + h <= oy + oh


def extents(accessible):
    e = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def visible_part(accessible):
    """What of the screen the control's window, scroll area and frames leave in view."""
    x0, y0, x1, y1 = -10 ** 6, -10 ** 6, 10 ** 6, 10 ** 6
    parent = accessible.parent
    while parent is not None and parent.getRole() != pyatspi.ROLE_APPLICATION:
        x, y, w, h = extents(parent)
        x0, y0, x1, y1 = max(x0, x), max(y0, y), min(x1, x + w), min(y1, y + h)
        parent = parent.parent
    return x0, y0, x1 - x0, y1 - y0


class SmallScreen(ProgramTest):
    extra_env = {"QT_SCALE_FACTOR": SCALE}

    def assertWholeAndReachable(self, screen, lowest):
        """Its title bar on the screen, and its lowest button whole in view once it has the focus."""
        title = SCREENS[screen]
        window = self.p.window(screen)
        self.p.activate(title)
        width, height = screen_size()
        # The window is fitted again once the window manager has framed it.
        wait_for("%r whole on the %dx%d screen" % (title, width, height),
                 lambda: within(frame_outline(self.p.window_ids(title)[-1]), (0, 0, width, height)))
        button = self.p.control(window, lowest, pyatspi.ROLE_PUSH_BUTTON)
        self.assertTrue(button.queryComponent().grabFocus())
        room = (0, 0, width / PIXELS, height / PIXELS)
        wait_for("%r of %r in view" % (lowest, title),
                 lambda: within(extents(button), visible_part(button)) and within(visible_part(button), room))

    def test_every_window_whole_and_every_form_reachable(self):
        self.assertWholeAndReachable("Intro", "Next >>")
        self.p.press_button(self.p.window("Intro"), "Mathematical Formulation")
        self.assertWholeAndReachable("Example", "More >>")
        self.p.press_button(self.p.window("Example"), "More >>")
        self.assertWholeAndReachable("Example2", "<< Back")
        self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        self.assertWholeAndReachable("Setup", "Next >>")
        self.p.press_button(self.p.window("Setup"), "Next >>")
        self.p.answer("Note!", "OK")
        self.assertWholeAndReachable("CompAngle", "Exit")
        self.p.control(self.p.window("CompAngle"), "Input Muzzle Velocity",
                       pyatspi.ROLE_SCROLL_BAR).queryValue().currentValue = 1500
        self.p.press_button(self.p.window("CompAngle"), "Advanced")
        self.assertWholeAndReachable("RootFindParameters", "Back with changes")
        self.p.press_button(self.p.window("RootFindParameters"), "Back without changes")
        self.p.press_button(self.p.window("CompAngle"), "<< Back")
        self.choose(self.p.window("Setup"), "Input super elevation angle - compute  muzzle velocity")
        self.p.press_button(self.p.window("Setup"), "Next >>")
        self.assertWholeAndReachable("CompMzVel", "Exit")

    def test_scroll_bar_tells_the_value_shown(self):
        bar = self.p.control(self.muzzle_velocity_screen(), "Input Super Elevation Angle", pyatspi.ROLE_SCROLL_BAR)
        bar.queryValue().currentValue = 7854
        wait_for("the bar to say its angle", lambda: bar.description == "45.000 Degrees")

    def test_focus_on_yellow_button_stands_out(self):
        setup = self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        self.p.activate(SCREENS["Setup"])
        button = self.p.control(setup, "Next >>", pyatspi.ROLE_PUSH_BUTTON)
        self.assertTrue(button.queryComponent().grabFocus())
        wait_for("the focus on Next >>", lambda: button.getState().contains(pyatspi.STATE_FOCUSED))
        wait_for("Next >> in view", lambda: within(extents(button), visible_part(button)))
        shot = Screenshot()
        x, y, w, h = (round(v * PIXELS) for v in extents(button))
        middle = x + w // 2
        face = shot.pixel(x + round(4 * PIXELS), y + h // 2)
        self.assertEqual(YELLOW, face)
        # The two-pixel ring along the top edge, at its most visible pixel.
        ring = max((shot.pixel(middle, y + d) for d in range(round(2 * PIXELS))), key=lambda p: contrast(p, face))
        self.assertGreaterEqual(contrast(ring, face), 3.0, "ring %r on %r" % (ring, face))


if __name__ == "__main__":
    unittest.main()
