"""The forms under a dark desktop theme: still as laid out, still readable."""

import unittest

import pyatspi

from program import ProgramTest, Screenshot, contrast, descendants, luminance, wait_for


def ink_contrast(area):
    """The darkest pixel against the area's left-middle pixel (its background)."""
    background = area[len(area) // 2][0]
    ink = min((p for row in area for p in row), key=luminance)
    return contrast(ink, background)


class DarkDesktop(ProgramTest):
    extra_env = {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"}

    def check(self, screen):
        window = self.p.window(screen)
        self.p.activate(window.name)
        shot = Screenshot()
        face = shot.area(window, inset=8)[0][0]
        self.assertGreater(luminance(face), 0.7, "%s: the form went dark" % screen)
        for c in descendants(window):
            role = c.getRole()
            if role == pyatspi.ROLE_TEXT and self.p.text(c).strip():
                with self.subTest(screen=screen, box=c.name):
                    self.assertGreaterEqual(ink_contrast(shot.area(c)), 4.5)
            elif role == pyatspi.ROLE_IMAGE:
                with self.subTest(screen=screen, figure=c.name):
                    self.assertGreater(luminance(shot.area(c)[0][0]), 0.7, "dark figure background")
                    self.assertGreaterEqual(ink_contrast(shot.area(c)), 7)
            elif role == pyatspi.ROLE_LABEL and c.name == "All time units are in seconds":
                with self.subTest(screen=screen, label=c.name):
                    self.assertGreaterEqual(ink_contrast(shot.area(c, inset=1)), 4.5)

    def test_forms_keep_their_colours(self):
        self.p.press_button(self.p.window("Intro"), "Mathematical Formulation")
        self.check("Intro")
        self.p.press_button(self.p.window("Example"), "More >>")
        self.check("Example")
        self.check("Example2")
        setup = self.describe_level_problem("Input muzzle velocity - compute super elevation angle")
        self.check("Setup")
        self.p.press_button(setup, "Next >>")
        self.p.answer("Note!", "OK")
        angle = self.p.window("CompAngle")
        self.p.control(angle, "Input Muzzle Velocity", pyatspi.ROLE_SCROLL_BAR).queryValue().currentValue = 1500
        self.p.press_button(angle, "Compute Super Elevation Angles")
        wait_for("the angles", lambda: self.p.text(self.p.control(angle, "Angle, Solution # 1")).strip())
        self.check("CompAngle")
        self.p.press_button(angle, "Advanced")
        self.check("RootFindParameters")
        self.p.press_button(self.p.window("RootFindParameters"), "Back without changes")
        self.p.press_button(angle, "<< Back")
        self.choose(self.p.window("Setup"), "Input super elevation angle - compute  muzzle velocity")
        self.p.press_button(self.p.window("Setup"), "Next >>")
        mz = self.p.window("CompMzVel")
        self.p.press_button(mz, "Compute Muzzle Velocity")
        wait_for("the velocity", lambda: self.p.text(self.p.control(mz, "Muzzle Velocity, Solution # 1")).strip())
        self.check("CompMzVel")


if __name__ == "__main__":
    unittest.main()
