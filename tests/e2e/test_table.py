"""The firing table from outside: opened with Ctrl+R on the angle screen for the level
1000 m problem at 150 m/s, its rows read through the accessibility bus, saved as CSV
through the real file dialog; closed with Escape and opened again, it stays whole on the
screen (tests/e2e/CMakeLists.txt runs this at 1024x768 and at 1366x768 with
QT_SCALE_FACTOR=1.5). With TRAJECTRIX_E2E_SHOTS set, a screenshot goes there."""

import csv
import os
import subprocess
import tempfile

import pyatspi

SCALE = float(os.environ.get("QT_SCALE_FACTOR", "1"))
SCREEN = os.environ.get("TRAJECTRIX_E2E_SCREEN", "1280x1024x24").split("x")

from program import ProgramTest, descendants, showing, wait_for


class FiringTable(ProgramTest):
    def rows(self, table):
        """The cells row by row, as a screen reader reads the table."""
        t = table.queryTable()
        return [[t.getAccessibleAt(r, c).name for c in range(t.nColumns)] for r in range(t.nRows)]

    def test_twenty_rows_as_the_screen_shows_them(self):
        angle = self.angle_screen()
        self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_SCROLL_BAR).queryValue().currentValue = 1500
        self.p.press_button(angle, "Compute Super Elevation Angles")
        low = self.p.control(angle, "Angle, Solution # 1", pyatspi.ROLE_TEXT)
        wait_for("the angles", lambda: self.p.text(low).strip())
        self.p.activate(angle.name)
        self.p.keys("ctrl+r", to=angle)
        window = self.p.window("Firing Table")
        table = self.p.control(window, "Firing table rows", pyatspi.ROLE_TABLE)
        wait_for("twenty rows", lambda: table.queryTable().nRows == 20)
        rows = self.rows(table)
        row = next(r for r in rows if r[0] == "1000")
        for figure in ("12.92", "77.08", "6.84", "29.82"):
            self.assertIn(figure, row)
        self.p.activate("Firing Table")
        self.p.keys("Escape", to=window)
        wait_for("the table to close", lambda: not showing(window))
        self.p.activate(angle.name)
        self.p.keys("ctrl+r", to=angle)
        window = self.p.window("Firing Table")
        table = self.p.control(window, "Firing table rows", pyatspi.ROLE_TABLE)
        wait_for("twenty rows", lambda: table.queryTable().nRows == 20)
        box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        width, height = int(SCREEN[0]) / SCALE, int(SCREEN[1]) / SCALE
        self.assertTrue(0 <= box.x and box.x + box.width <= width + 1 and 0 <= box.y and
                        box.y + box.height <= height + 1, "%d,%d %dx%d" % (box.x, box.y, box.width, box.height))
        shots = os.environ.get("TRAJECTRIX_E2E_SHOTS")
        if shots:
            name = "firing_table_%sx%s_%g.png" % (SCREEN[0], SCREEN[1], SCALE)
            subprocess.run(["import", "-window", "root", os.path.join(shots, name)], check=True, timeout=60)

        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "table.csv")
            self.p.press_button(window, "Save as CSV\u2026")
            dialog = wait_for("the file dialog", lambda: next(
                (w for w in self.p.app if w is not None and showing(w) and w.getRole() == pyatspi.ROLE_DIALOG
                 and any(c.getRole() == pyatspi.ROLE_TEXT for c in descendants(w))), None))
            self.p.activate(dialog.name)
            self.p.keys("ctrl+a", to=dialog)
            subprocess.run(["xdotool", "type", "--delay", "10", path], check=True)
            self.p.keys("Return")
            wait_for("the file", lambda: os.path.exists(path) and os.path.getsize(path) > 0)
            with open(path, newline="", encoding="utf-8") as f:
                saved = list(csv.reader(f))
        self.assertEqual(saved[1:], rows)
        self.assertEqual(len(saved), 21)
