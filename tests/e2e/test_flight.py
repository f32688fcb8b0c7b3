"""The flight window on real screens (tests/e2e/CMakeLists.txt runs this module at
1024x768, and at 1366x768 with QT_SCALE_FACTOR=1.5): opened, turned to air,
closed with Escape and opened again, its chart keeps its room and the window
stays on the screen; after a restart it comes back where it was left.
With TRAJECTRIX_E2E_SHOTS set, a screenshot of each reopened window goes there."""

import os
import subprocess
import time

import pyatspi

from program import ProgramTest, showing, wait_for

SCALE = float(os.environ.get("QT_SCALE_FACTOR", "1"))
SCREEN = os.environ.get("TRAJECTRIX_E2E_SCREEN", "1280x1024x24").split("x")


def extents(accessible):
    """x, y, width, height in device-independent pixels, as Qt 6.4 reports them."""
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def settled_extents(accessible):
    """Its extents once they hold still: turning air on adds legend rows, and the
    window grows, and moves to stay on the screen, a moment later."""
    last = [None]

    def still():
        time.sleep(0.3)
        now = extents(accessible)
        held, last[0] = now == last[0], now
        return now if held else None
    return wait_for("the window to settle", still)


class FlightWindow(ProgramTest):
    def computed_angle_screen(self):
        angle = self.angle_screen()
        self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_SCROLL_BAR).queryValue().currentValue = 1500
        self.p.press_button(angle, "Compute Super Elevation Angles")
        low = self.p.control(angle, "Angle, Solution # 1", pyatspi.ROLE_TEXT)
        wait_for("the angles", lambda: self.p.text(low).strip())
        return angle

    def open_flight(self, angle):
        self.p.activate(angle.name)
        self.p.keys("ctrl+t", to=angle)
        return self.p.window("Trajectory")

    def test_reopened_window_keeps_its_chart_whole(self):
        angle = self.computed_angle_screen()
        plot = self.open_flight(angle)
        self.p.press(self.p.control(plot, "With air resistance", pyatspi.ROLE_CHECK_BOX))
        self.p.control(plot, "Flight results")
        self.p.activate("Trajectory")
        self.p.keys("Escape", to=plot)
        wait_for("the flight window to close", lambda: not showing(plot))

        plot = self.open_flight(angle)
        check = self.p.control(plot, "With air resistance", pyatspi.ROLE_CHECK_BOX)
        self.assertTrue(check.getState().contains(pyatspi.STATE_CHECKED))
        _, _, width, height = extents(self.p.control(plot, "Trajectory chart"))
        self.assertGreaterEqual(min(width, height), 300, "chart %dx%d" % (width, height))
        x, y, width, height = extents(plot)
        screen_width, screen_height = int(SCREEN[0]) / SCALE, int(SCREEN[1]) / SCALE
        self.assertTrue(0 <= x and x + width <= screen_width + 1 and 0 <= y and y + height <= screen_height + 1,
                        "window at %d,%d %dx%d on a %dx%d screen" % (x, y, width, height, screen_width,
                                                                    screen_height))
        shots = os.environ.get("TRAJECTRIX_E2E_SHOTS")
        if shots:
            name = "flight_%sx%s_%g.png" % (SCREEN[0], SCREEN[1], SCALE)
            subprocess.run(["import", "-window", "root", os.path.join(shots, name)], check=True, timeout=60)

    def test_restart_brings_it_back_where_it_was(self):
        plot = self.open_flight(self.computed_angle_screen())
        self.p.press(self.p.control(plot, "With air resistance", pyatspi.ROLE_CHECK_BOX))
        before = settled_extents(plot)
        self.p.close_box("Trajectory")
        wait_for("the flight window to close", lambda: not showing(plot))
        self.p.end()

        self.setUp()
        plot = self.open_flight(self.computed_angle_screen())
        self.assertEqual(before, settled_extents(plot))
        check = self.p.control(plot, "With air resistance", pyatspi.ROLE_CHECK_BOX)
        self.assertTrue(check.getState().contains(pyatspi.STATE_CHECKED))
