"""Typing values instead of scrolling to them, in the real program. Run by
tests/e2e/run."""

import math

import pyatspi

from program import ProgramTest, wait_for


class Typing(ProgramTest):
    def type_into(self, window, bar, *keys):
        if not bar.getState().contains(pyatspi.STATE_FOCUSED):
            bar.queryComponent().grabFocus()
            wait_for("focus on %r" % bar.name, lambda: bar.getState().contains(pyatspi.STATE_FOCUSED))
        self.p.keys(*keys, to=window)

    def shown(self, box, text):
        wait_for("%r showing %r" % (box.name, text), lambda: self.p.text(box).strip() == text)

    def test_typed_distance_velocity_and_angle_give_the_results(self):
        setup = self.setup_screen()
        self.choose(setup, "Meters")
        self.choose(setup, "Degrees")
        self.p.activate("Problem Set-up")
        sx = "Horizontal distance to target (Sx)"
        bar = self.p.control(setup, sx, pyatspi.ROLE_SCROLL_BAR)
        box = self.p.control(setup, sx, pyatspi.ROLE_TEXT)

        self.type_into(setup, bar, "1", "0", "0", "0", "x", "Return")
        self.p.control(setup, 'Not a number: type digits, with "." as the decimal point.', pyatspi.ROLE_LABEL)
        self.p.control(setup, "Type the horizontal distance to the target", pyatspi.ROLE_TEXT)
        self.assertEqual("0", self.p.text(box).strip())
        self.p.keys("BackSpace", "Return", to=setup)
        self.shown(box, "1000")
        wait_for("the focus back on the bar", lambda: bar.getState().contains(pyatspi.STATE_FOCUSED))

        self.choose(setup, "Input muzzle velocity - compute super elevation angle")
        self.p.press_button(setup, "Next >>")
        self.p.answer("Note!", "OK")
        angle = self.p.window("CompAngle")
        velocity = self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_TEXT)
        self.type_into(angle, self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_SCROLL_BAR),
                       "1", "5", "0", "Return")
        self.shown(velocity, "150")
        self.p.press_button(angle, "Compute Super Elevation Angles")
        low = self.p.control(angle, "Angle, Solution # 1", pyatspi.ROLE_TEXT)
        high = self.p.control(angle, "Angle, Solution # 2", pyatspi.ROLE_TEXT)
        wait_for("the angles", lambda: self.p.text(low).strip() and self.p.text(high).strip())
        self.assertEqual(("12.92", "77.08"), (self.p.text(low).strip(), self.p.text(high).strip()))

        self.p.press_button(angle, "<< Back")
        setup = self.p.window("Setup")
        self.choose(setup, "Input super elevation angle - compute  muzzle velocity")
        self.p.press_button(setup, "Next >>")
        mz = self.p.window("CompMzVel")
        shown_angle = self.p.control(mz, "Input Super Elevation Angle", pyatspi.ROLE_TEXT)
        self.type_into(mz, self.p.control(mz, "Input Super Elevation Angle", pyatspi.ROLE_SCROLL_BAR),
                       "4", "0", "Return")
        # The box turns radians into degrees with 3.14159: 0.6981 shows 39.998, 0.6982 40.004.
        self.shown(shown_angle, "39.998")
        self.p.control(mz, "Set to 39.998\u00b0 \u2014 the nearest angle this screen can take.", pyatspi.ROLE_LABEL)
        self.p.press_button(mz, "Compute Muzzle Velocity")
        result = self.p.control(mz, "Muzzle Velocity, Solution # 1", pyatspi.ROLE_TEXT)
        wait_for("the velocity", lambda: self.p.text(result).strip())
        g, sx, theta = 9.80665, 1000.0, 0.6981  # position 6981
        self.assertAlmostEqual(math.sqrt(g * sx / math.sin(2 * theta)), float(self.p.text(result)), places=2)
