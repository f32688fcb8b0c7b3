"""trajectrix-solve and trajectrix's terminal options, run as a user runs them.

Usage: test_solve.py SOLVE TRAJECTRIX MAN_PAGE VERSION
"""

import csv
import io
import json
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

SOLVE, TRAJECTRIX, MAN_PAGE, VERSION = sys.argv[1:5]

LEVEL = ["--distance", "1000", "--velocity", "150"]

OPTIONS = [
    "--distance", "--firing", "--target", "--velocity", "--angle", "--feet", "--radians", "--format",
    "--projectile", "--mass", "--diameter", "--drag-coefficient", "--drag-law", "--ballistic-coefficient",
    "--drag-table", "--altitude", "--temperature", "--pressure", "--humidity", "--constant-density", "--wind",
    "--help", "--version",
]


def run(*args, program=SOLVE, env=None):
    # Bytes decoded as they are: CSV's CR LF must reach the test unchanged.
    r = subprocess.run([program, *args], capture_output=True, timeout=60, env=env)
    return subprocess.CompletedProcess(r.args, r.returncode, r.stdout.decode(), r.stderr.decode())


def solved(test, *args):
    r = run(*args)
    test.assertEqual(r.returncode, 0, r.stderr)
    test.assertEqual(r.stderr, "")
    test.assertNotRegex(r.stdout.lower(), r"\bnan\b|\binf", args)
    return r.stdout


class Results(unittest.TestCase):
    def test_json_angles_are_the_screens(self):
        out = json.loads(solved(self, "angles", *LEVEL, "--format", "json"))
        self.assertEqual(out["units"]["angle"], "degrees")
        self.assertEqual(out["units"]["time_of_flight"], "s")
        self.assertEqual(out["problem"]["velocity"], 150)
        low, high = out["rows"]
        self.assertEqual((low["angle"], low["time_of_flight"]), (12.92, 6.84))
        self.assertEqual((high["angle"], high["time_of_flight"]), (77.08, 29.82))
        self.assertIsNone(low["note"])

    def test_json_velocity_and_leading_zeros(self):
        out = json.loads(solved(self, "velocity", "--distance", "1000", "--angle", "45", "--format", "json"))
        self.assertEqual(out["rows"][0]["velocity"], 99.03)
        # The screens write 0.5 as ".50": still a JSON number.
        out = json.loads(solved(self, "angles", "--distance", "10", "--velocity", "150", "--format", "json"))
        self.assertEqual(out["rows"][0]["time_of_flight"], 0.07)

    def test_json_with_air(self):
        out = json.loads(solved(self, "angles", *LEVEL, "--projectile", "12-POUND", "--format", "json"))
        self.assertIn("12-pound", out["problem"]["air"])
        for row in out["rows"]:
            self.assertGreater(row["air_angle"], 0)
            self.assertLess(row["air_arrival_speed"], 150)
            self.assertEqual(out["units"]["air_arrival_speed"], "m/s")

    def test_csv_table(self):
        r = run("table", "--distance", "100:2000:100", "--velocity", "150", "--format", "csv")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertTrue(r.stdout.endswith("\r\n"))
        self.assertNotRegex(r.stdout.replace("\r\n", ""), "[\r\n]")
        rows = list(csv.reader(io.StringIO(r.stdout, newline="")))
        self.assertEqual(rows[0][:3], ["distance (m)", "angle 1 (degrees)", "time of flight 1 (s)"])
        self.assertEqual(len(rows), 21)
        row = rows[0].index
        level = next(r for r in rows[1:] if r[0] == "1000")
        self.assertEqual(level[row("angle 2 (degrees)")], "77.08")
        self.assertEqual(level[row("time of flight 2 (s)")], "29.82")

    def test_csv_quotes_a_note_with_a_comma(self):
        r = run("table", "--angle", "0:30:15", "--distance", "1000", "--target", "100", "--format", "csv")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertIn('"at or below the line of sight, 5.71 degrees"', r.stdout)
        rows = list(csv.reader(io.StringIO(r.stdout, newline="")))
        self.assertEqual({len(row) for row in rows}, {len(rows[0])})
        self.assertEqual(rows[1][-1], "at or below the line of sight, 5.71 degrees")

    def test_velocity_table_and_feet(self):
        out = json.loads(solved(self, "table", "--velocity", "2000:100:-100", "--distance", "3000", "--feet",
                                "--format", "json"))
        self.assertEqual(out["units"]["velocity"], "ft/s")
        self.assertEqual([r["velocity"] for r in out["rows"]][:2], [2000, 1900])
        beyond = [r for r in out["rows"] if r["angle_1"] is None]
        self.assertTrue(beyond and all(r["note"].startswith("beyond reach") for r in beyond))

    def test_text_columns(self):
        out = solved(self, "angles", *LEVEL)
        self.assertRegex(out, r"\nangle +12\.92 +77\.08 +degrees\n")
        self.assertRegex(out, r"\ntime of flight +6\.84 +29\.82 +s\n")

    def test_extremes_stay_finite(self):
        for args in (["table", "--distance", "0.01:32000:3200", "--velocity", "2000", "--format", "json"],
                     ["table", "--velocity", "0.1:2000:199.99", "--distance", "1", "--firing", "20000",
                      "--target", "-10000", "--radians", "--format", "json"],
                     ["table", "--angle", "-89:89:22", "--distance", "32000", "--target", "20000",
                      "--format", "json"]):
            with self.subTest(args=args):
                json.loads(solved(self, *args))

    def test_drag_table_file(self):
        with tempfile.TemporaryDirectory() as folder:
            good = os.path.join(folder, "good.csv")
            with open(good, "w") as f:
                f.write("mach,cd\n0,0.47\n0.8,0.5\n1.2,0.9\n3,0.8\n")
            out = json.loads(solved(self, "angles", *LEVEL, "--drag-table", good, "--mass", "5.6",
                                    "--diameter", "117", "--format", "json"))
            self.assertGreater(out["rows"][0]["air_angle"], 12.92)
            bad = os.path.join(folder, "bad.csv")
            with open(bad, "w") as f:
                f.write("0,0.47\n0.8,abc\n")
            r = run("angles", *LEVEL, "--drag-table", bad, "--mass", "5.6", "--diameter", "117")
            self.assertEqual((r.returncode, r.stdout), (2, ""))
            self.assertRegex(r.stderr, r"^trajectrix-solve: --drag-table \S*bad.csv: Line 2: .+\n$")


# args, exit status, what stderr's one line says after the program's name
BAD = [
    (["angles", *LEVEL, "--bogus"], 2, "--bogus: unknown option"),
    (["angles", "--distance", "1000", "--velocity"], 2, "--velocity: needs a value"),
    (["angles", "--distance", "abc", "--velocity", "150"], 2, "--distance abc: Not a number"),
    (["angles", "--distance", "1000", "--velocity", "2500"], 2, "--velocity 2500: Out of range"),
    (["angles", "--distance", "40000", "--velocity", "150"], 2, "--distance 40000: Out of range"),
    (["angles", "--distance", "0", "--velocity", "150"], 2, "--distance 0: the horizontal distance"),
    (["angles", "--distance", "1000", "--velocity", "50"], 1,
     "--velocity 50: below the least velocity that reaches the target, 99.032 m/s"),
    (["velocity", "--distance", "1000", "--target", "100", "--angle", "5"], 1,
     "--angle 5: at or below the line of sight"),
    (["table", "--distance", "100:50:10", "--velocity", "150"], 2, "--distance 100:50:10: a step of 10 leads away"),
    (["table", "--distance", "100:2000:0", "--velocity", "150"], 2, "--distance 100:2000:0: the step must not be 0"),
    (["table", "--distance", "1:32000:1", "--velocity", "150"], 2, "32000 rows, more than 10000"),
    (["table", "--distance", "10:2000:1", "--velocity", "150", "--projectile", "baseball"], 2,
     "1991 rows, more than 1000"),
    (["table", "--distance", "100:2000", "--velocity", "150"], 2, "a range is from:to:step"),
    (["angles", "--distance", "100:2000:100", "--velocity", "150"], 2, "is for the table command"),
    (["table", "--distance", "1000", "--velocity", "150"], 2, "table: needs one range"),
    (["table", "--distance", "1000", "--velocity", "10:40:10"], 1, "table: no row has a solution"),
    (["angles", *LEVEL, "--mass", "0", "--diameter", "74", "--drag-coefficient", "0.3"], 2,
     "--mass 0: Out of range: type a number from 0.001 to 100000 kg."),
    (["angles", *LEVEL, "--projectile", "frisbee"], 2, "--projectile frisbee: unknown projectile"),
    (["angles", *LEVEL, "--wind", "5"], 2, "--wind: needs a projectile"),
    (["angles", *LEVEL, "--projectile", "golf", "--humidity", "120"], 2, "--humidity 120: Out of range"),
    (["angles", *LEVEL, "--drag-law", "g7"], 2, "--drag-law g7: needs --ballistic-coefficient"),
    (["angles", *LEVEL, "--drag-table", "/nonexistent.csv", "--mass", "1", "--diameter", "50"], 2,
     "--drag-table /nonexistent.csv: cannot be read"),
    (["angles", *LEVEL, "--format", "xml"], 2, "--format xml: unknown format"),
    (["angles", *LEVEL, "--distance", "5"], 2, "--distance: given twice"),
    (["fly", *LEVEL], 2, "fly: unknown command"),
    ([], 2, "no command"),
]


class Refusals(unittest.TestCase):
    def test_bad_arguments(self):
        for args, status, message in BAD:
            with self.subTest(args=" ".join(args)):
                r = run(*args)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertEqual(r.stdout, "")
                self.assertEqual(r.stderr.count("\n"), 1, r.stderr)
                self.assertTrue(r.stderr.startswith("trajectrix-solve: "), r.stderr)
                self.assertIn(message, r.stderr)


class Documentation(unittest.TestCase):
    def test_help_lists_every_option(self):
        out = solved(self, "--help")
        for option in OPTIONS:
            self.assertRegex(out, rf"\n  {option}\b", option)
        for command in ("angles", "velocity", "min-velocity", "table"):
            self.assertRegex(out, rf"\n  {command} ")

    def test_version(self):
        self.assertEqual(solved(self, "--version"), f"trajectrix-solve {VERSION}\n")

    @unittest.skipIf(shutil.which("man") is None, "man is not installed")
    def test_man_page_renders_every_option(self):
        r = subprocess.run(["man", "--warnings", "-l", MAN_PAGE], capture_output=True, text=True, timeout=60,
                           env={**os.environ, "MANWIDTH": "100", "MAN_KEEP_FORMATTING": "0", "LC_ALL": "C.UTF-8"})
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(r.stderr, "")
        text = re.sub(r".\x08", "", r.stdout)
        self.assertIn("trajectrix-solve - projectile angles", text)
        for option in OPTIONS:
            self.assertIn(option, text)

    def test_desktop_program_answers_on_the_terminal(self):
        # No display at all: the answer must not need one.
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env["QT_QPA_PLATFORM"] = "offscreen"
        help_ = run("--help", program=TRAJECTRIX, env=env)
        self.assertEqual(help_.returncode, 0, help_.stderr)
        self.assertIn("--version", help_.stdout)
        self.assertIn("trajectrix-solve", help_.stdout)
        version = run("--version", program=TRAJECTRIX, env=env)
        self.assertEqual((version.returncode, version.stdout), (0, f"Trajectrix {VERSION}\n"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
