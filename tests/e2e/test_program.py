"""The real program, out of process: lifetime, keyboard, printing without a
printer, and what a screen reader finds. Run by tests/e2e/run."""

import math
import os
import subprocess
import tempfile
import unittest

import pyatspi

from program import ProgramTest, Timeout, descendants, settle, showing, wait_for


class Lifetime(ProgramTest):
    def test_about_box_leaves_intro_alone(self):
        for close in ("OK button", "Escape"):
            with self.subTest(close=close):
                intro = self.p.window("Intro")
                self.p.press_button(intro, "About")
                box = self.p.alert("About")
                if close == "Escape":
                    self.p.activate("About")
                    self.p.keys("Escape")
                else:
                    self.p.press_button(box, "OK")
                self.assertNoBox()
                self.assertEqual(["Introduction"], self.p.windows())
        self.p.press_button(self.p.window("Intro"), "Mathematical Formulation")
        self.p.window("Example")
        self.assertIsNone(self.p.process.poll())

    def exit_no_everywhere(self, how):
        """Exit (button or close box) then No on every screen with the exit policy."""
        screens = [("Intro", "Exit"), ("Example", "Extit"), ("Setup", "Exit"),
                   ("CompAngle", "Exit"), ("CompMzVel", "Exit")]
        for screen, caption in screens:
            if how == "close box" and screen == "Example":
                continue  # its close box goes back instead
            with self.subTest(screen=screen):
                if screen == "Example":
                    self.p.press_button(self.p.window("Intro"), "Mathematical Formulation")
                elif screen == "Setup":
                    self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
                elif screen == "CompAngle":
                    self.p.press_button(self.p.window("Setup"), "Next >>")
                    self.p.answer("Note!", "OK")
                elif screen == "CompMzVel":
                    self.p.press_button(self.p.window("CompAngle"), "<< Back")
                    self.choose(self.p.window("Setup"), "Input super elevation angle - compute  muzzle velocity")
                    self.p.press_button(self.p.window("Setup"), "Next >>")
                window = self.p.window(screen)
                if how == "close box":
                    self.p.close_box(screen)
                else:
                    self.p.press_button(window, caption)
                self.p.answer("Confirm", "No")
                self.assertNoBox()
                self.assertTrue(showing(self.p.window(screen)))
                self.assertIsNone(self.p.process.poll())

    def test_exit_no_keeps_every_screen(self):
        self.exit_no_everywhere("button")

    def test_close_box_no_keeps_every_screen(self):
        self.exit_no_everywhere("close box")

    def test_exit_yes_ends_the_process_cleanly(self):
        self.p.press_button(self.p.window("Intro"), "Mathematical Formulation")
        self.p.press_button(self.p.window("Example"), "Extit")
        self.p.answer("Confirm", "Yes")
        self.assertEqual(0, self.p.ended())


class Keyboard(ProgramTest):
    def focus_is(self, window, name):
        wait_for("focus on %r" % name, lambda: self.p.focused_name(window) == name)

    def tab_to(self, window, name, key="Tab", limit=20):
        for _ in range(limit):
            before = self.p.focused_name(window)
            if before == name:
                return
            self.p.keys(key, to=window)
            try:
                wait_for("focus to move on", lambda: self.p.focused_name(window) != before, timeout=2)
            except Timeout:
                pass
        self.fail("Tab never reached %r" % name)

    def bar_to(self, window, bar, target, large, small=1):
        """Moves a focused scroll bar to `target` with PageDown/PageUp and Right/Left."""
        distance = target - round(self.p.value(bar))
        pages, rest = divmod(abs(distance), large)
        sign = 1 if distance > 0 else -1
        keys = ["Next" if sign > 0 else "Prior"] * pages + ["Right" if sign > 0 else "Left"] * (rest // small)
        if keys:
            self.p.keys(*keys, to=window)
        wait_for("the bar at %d" % target, lambda: round(self.p.value(bar)) == target)

    def test_arrow_keys_follow_the_arrows(self):
        setup = self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        bar = self.p.control(setup, "Horizontal distance to target (Sx)", pyatspi.ROLE_SCROLL_BAR)
        box = self.p.control(setup, "Horizontal distance to target (Sx)", pyatspi.ROLE_TEXT)
        self.p.activate("Problem Set-up")
        self.tab_to(setup, "Horizontal distance to target (Sx)")
        for keys, expected in ((["Right", "Right"], 1002), (["Left"], 1001), (["Next"], 1101),
                               (["Prior"], 1001), (["End"], 32000), (["Home"], 0)):
            with self.subTest(keys=keys):
                self.p.keys(*keys, to=setup)
                wait_for("Sx %d" % expected, lambda: self.p.text(box).strip() == str(expected))

    def test_keyboard_only_session(self):
        intro = self.p.window("Intro")
        self.p.activate("Introduction")
        self.focus_is(intro, "Exit")
        self.p.keys("Tab", "Tab", to=intro)
        self.focus_is(intro, "Next >>")
        self.p.keys("Return", to=intro)

        setup = self.p.window("Setup")
        self.tab_to(setup, "Meters")
        self.p.keys("space", to=setup)
        self.tab_to(setup, "Degrees")
        self.p.keys("space", to=setup)
        self.tab_to(setup, "Horizontal distance to target (Sx)")
        bar = self.p.focused(setup)
        self.bar_to(setup, bar, 1000, large=100)
        self.tab_to(setup, "Input muzzle velocity - compute super elevation angle")
        self.p.keys("space", to=setup)
        self.tab_to(setup, "Next >>", key="shift+Tab")
        self.p.keys("KP_Enter", to=setup)

        self.p.keys("Return", to=self.p.alert("Note!"))
        angle = self.p.window("CompAngle")
        self.focus_is(angle, "Input Muzzle Velocity")
        bar = self.p.focused(angle)
        self.bar_to(angle, bar, 1500, large=100)
        velocity = self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_TEXT)
        self.assertAlmostEqual(150.0, float(self.p.text(velocity)))
        self.p.keys("Tab", "Return", to=angle)
        low = self.p.control(angle, "Angle, Solution # 1", pyatspi.ROLE_TEXT)
        high = self.p.control(angle, "Angle, Solution # 2", pyatspi.ROLE_TEXT)
        wait_for("the angles", lambda: self.p.text(low).strip() and self.p.text(high).strip())
        self.assertEqual(("12.92", "77.08"), (self.p.text(low).strip(), self.p.text(high).strip()))

        self.tab_to(angle, "<< Back")
        self.p.keys("Return", to=angle)
        setup = self.p.window("Setup")
        # Tab enters an option group at its chosen button; arrows choose within it.
        self.tab_to(setup, "Input muzzle velocity - compute super elevation angle")
        self.p.keys("Down", to=setup)
        self.focus_is(setup, "Input super elevation angle - compute muzzle velocity")
        self.tab_to(setup, "Next >>", key="shift+Tab")
        self.p.keys("Return", to=setup)

        mz = self.p.window("CompMzVel")
        bar = wait_for("focus on the angle bar", lambda: self.p.focused(mz))
        self.assertEqual(pyatspi.ROLE_SCROLL_BAR, bar.getRole())
        self.bar_to(mz, bar, 7854, large=100)  # 0.7854 rad: 45 degrees
        self.tab_to(mz, "Compute Muzzle Velocity")
        self.p.keys("Return", to=mz)
        result = self.p.control(mz, "Muzzle Velocity, Solution # 1", pyatspi.ROLE_TEXT)
        wait_for("the velocity", lambda: self.p.text(result).strip())
        g, sx, theta = 9.80665, 1000.0, 0.7854
        self.assertAlmostEqual(math.sqrt(g * sx / math.sin(2 * theta)), float(self.p.text(result)), places=2)


class PrintWithoutPrinter(ProgramTest):
    extra_env = {"CUPS_SERVER": "/nonexistent/cups.sock"}

    def test_ctrl_p_saves_a_pdf_through_the_file_dialog(self):
        angle = self.angle_screen()
        bar = self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_SCROLL_BAR)
        bar.queryValue().currentValue = 1500
        self.p.press_button(angle, "Compute Super Elevation Angles")
        low = self.p.control(angle, "Angle, Solution # 1", pyatspi.ROLE_TEXT)
        wait_for("the angles", lambda: self.p.text(low).strip())

        self.p.activate("Compute Angle Given Muzzle Velocity")
        self.p.keys("ctrl+p")
        box = self.p.alert()
        self.p.press_button(box, "Save as PDF\u2026")
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "shot.pdf")
            dialog = wait_for("the file dialog", lambda: next(
                (w for w in self.p.app if w is not None and showing(w) and w.getRole() == pyatspi.ROLE_DIALOG
                 and self.p.controls(w) and any(c.getRole() == pyatspi.ROLE_TEXT for c in self.p.controls(w))),
                None))
            self.p.activate(dialog.name)
            self.p.keys("ctrl+a")
            subprocess.run(["xdotool", "type", "--delay", "10", path], check=True)
            self.p.keys("Return")
            saved = self.p.alert("Note!")
            self.assertIn(path, self.p.alert_text(saved))
            self.p.press_button(saved, "OK")
            text = subprocess.run(["pdftotext", path, "-"], capture_output=True, text=True, check=True).stdout
        for shown in ("12.92", "77.08", "150"):
            self.assertIn(shown, text)


class ScreenReader(ProgramTest):
    def test_every_control_and_figure_is_named(self):
        figures = set()

        def check(screen):
            window = self.p.window(screen)
            for c in descendants(window):
                if c.getState().contains(pyatspi.STATE_FOCUSABLE) and c.getRole() != pyatspi.ROLE_LABEL:
                    with self.subTest(screen=screen, role=c.getRoleName()):
                        self.assertTrue(c.name.strip(), "unnamed %s" % c.getRoleName())
                if c.getRole() == pyatspi.ROLE_IMAGE:
                    figures.add(c.name)
                    with self.subTest(screen=screen, figure=c.name):
                        self.assertTrue(c.name and c.description)
            return window

        intro = check("Intro")
        self.p.press_button(intro, "Mathematical Formulation")
        self.p.press_button(check("Example"), "More >>")
        check("Example2")
        setup = self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        check("Setup")
        self.p.press_button(setup, "Next >>")
        self.p.answer("Note!", "OK")
        angle = check("CompAngle")
        self.p.press_button(angle, "Advanced")
        self.p.press_button(check("RootFindParameters"), "Back without changes")
        self.p.press_button(angle, "<< Back")
        self.choose(self.p.window("Setup"), "Input super elevation angle - compute  muzzle velocity")
        self.p.press_button(self.p.window("Setup"), "Next >>")
        check("CompMzVel")
        self.assertEqual({"Firing situation", "Terrain", "Example problem", "General analysis", "Newton's method"},
                         figures)


if __name__ == "__main__":
    unittest.main()
