"""The flight window on real screens (tests/e2e/CMakeLists.txt runs this module at
1024x768, and at 1366x768 with QT_SCALE_FACTOR=1.5): opened, turned to air,
closed with Escape and opened again, its chart keeps its room and the window
stays on the screen; after a restart it comes back where it was left; a drag
table read from a file through the real file dialog, and a bad one refused in
place. With TRAJECTRIX_E2E_SHOTS set, screenshots of each go there."""

import os
import subprocess
import tempfile
import time

import pyatspi

from program import ProgramTest, descendants, showing, wait_for

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


def screenshot(name):
    shots = os.environ.get("TRAJECTRIX_E2E_SHOTS")
    if shots:
        name = "flight_%s_%sx%s_%g.png" % (name, SCREEN[0], SCREEN[1], SCALE)
        subprocess.run(["import", "-window", "root", os.path.join(shots, name)], check=True, timeout=60)


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
        screenshot("reopened")

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

    def combo(self, window, label):
        """A combo box by its label: on this desktop its name is the item it shows."""
        def labelled(c):
            return any(r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                       and any(r.getTarget(i).name == label for i in range(r.getNTargets()))
                       for r in c.getRelationSet())
        return wait_for("combo box %r" % label, lambda: next(
            (c for c in descendants(window) if c.getRole() == pyatspi.ROLE_COMBO_BOX and labelled(c)), None))

    def choose_item(self, plot, box, item):
        """An item of a closed combo box by keys, as a user picks one without the mouse."""
        combo = self.combo(plot, box)
        if not showing(combo):
            # Folded away where the screen has no room beside the result screen.
            self.p.press(self.p.control(plot, "Settings"))
            wait_for("the settings shown", lambda: showing(combo))
        # Through its label's mnemonic, as AT-SPI gives combo boxes no focus action.
        self.p.keys({"Projectile": "alt+p", "Drag law": "alt+l"}[box], to=plot)
        wait_for("%r focused" % box, lambda: combo.getState().contains(pyatspi.STATE_FOCUSED))
        self.p.keys("Home", to=plot)
        for _ in range(30):
            if combo.name == item:
                return
            self.p.keys("Down", to=plot)
        self.fail("no item %r in %r" % (item, box))

    def label(self, window, start):
        """The label whose text starts with `start`, as a screen reader reads it."""
        return wait_for("a label %r" % start, lambda: next(
            (c for c in descendants(window) if c.getRole() == pyatspi.ROLE_LABEL and showing(c)
             and c.name.startswith(start)), None))

    def open_through_dialog(self, path):
        dialog = wait_for("the file dialog", lambda: next(
            (w for w in self.p.app if w is not None and showing(w) and w.getRole() == pyatspi.ROLE_DIALOG
             and any(c.getRole() == pyatspi.ROLE_TEXT for c in self.p.controls(w))), None))
        self.p.activate(dialog.name)
        self.p.keys("ctrl+a", to=dialog)
        subprocess.run(["xdotool", "type", "--delay", "10", path], check=True)
        self.p.keys("Return")
        wait_for("the file dialog to close", lambda: not showing(dialog))

    def test_drag_laws_and_a_table_from_a_file(self):
        plot = self.open_flight(self.computed_angle_screen())
        self.p.press(self.p.control(plot, "With air resistance", pyatspi.ROLE_CHECK_BOX))
        self.p.activate("Trajectory")
        self.choose_item(plot, "Projectile", "12-pound iron cannonball")
        self.assertEqual(self.combo(plot, "Drag law").name, "Sphere")
        self.p.control(plot, "Flight results")
        screenshot("sphere")
        self.choose_item(plot, "Projectile", ".30 cal. 210 gr AccuBond LR (G7)")
        ballistic = self.p.control(plot, "Ballistic coefficient", pyatspi.ROLE_TEXT)
        self.assertEqual(self.p.text(ballistic), "0.366")
        screenshot("g7")

        with tempfile.TemporaryDirectory() as folder:
            good, bad = os.path.join(folder, "radar.csv"), os.path.join(folder, "bad.csv")
            with open(good, "w") as f:
                f.write("# Doppler radar\nMach,Cd\n0.0,0.45\n0.8,0.47\n1.0,0.80\n1.3,1.00\n3.0,0.95\n")
            with open(bad, "w") as f:
                f.write("Mach,Cd\n0.5,0.3\n0.5,0.4\n")
            # The last item asks for a file.
            self.choose_item(plot, "Drag law", "Table from file\u2026")
            self.open_through_dialog(good)
            name = self.label(plot, "radar.csv")
            self.assertEqual(" ".join(name.name.split()), "radar.csv (Mach 0.00 to 3.00)")
            screenshot("table")

            self.p.press_button(plot, "Choose\u2026")
            self.open_through_dialog(bad)
            note = self.label(plot, "bad.csv:")
            self.assertEqual(" ".join(note.name.split()), "bad.csv: Line 3: Mach 0.5 is not above the row "
                             "before's 0.5. The table from radar.csv stays in force.")
            self.assertEqual(" ".join(self.label(plot, "radar.csv").name.split()), "radar.csv (Mach 0.00 to 3.00)")
            self.assertEqual(self.combo(plot, "Drag law").name,
                             "Table from file\u2026")
