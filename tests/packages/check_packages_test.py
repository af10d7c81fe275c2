#!/usr/bin/env python3
"""The package check against the real build: it passes on the project's list
and names the file and the package when a needed package is left out.

  check_packages_test.py BUILD
"""
import os
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", ".."))
CHECK = os.path.join(SOURCE, "scripts", "check_packages.py")
PACKAGES = os.path.join(SOURCE, "scripts", "packages.txt")
BUILD = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(SOURCE, "build")


def listed():
    with open(PACKAGES) as lines:
        return [line.strip() for line in lines if line.strip() and not line.startswith("#")]


class PackageCheck(unittest.TestCase):
    def run_check(self, packages, started=()):
        with tempfile.TemporaryDirectory() as directory:
            listing = os.path.join(directory, "packages.txt")
            with open(listing, "w") as out:
                out.write("\n".join(packages) + "\n")
            log = os.path.join(directory, "exec.log")
            with open(log, "w") as out:
                out.write("".join(program + "\n" for program in started))
            return subprocess.run([sys.executable, CHECK, BUILD, "--packages", listing, "--exec-log", log],
                                  capture_output=True, text=True)

    def test_the_project_list_brings_what_the_build_read(self):
        result = self.run_check(listed(), ["/usr/bin/xdotool", "xvfb-run"])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("package check passed", result.stdout)

    def test_a_missing_package_is_named_with_a_file_it_owns(self):
        # Each left-out package, with a file the build or the tests used that shows it.
        cases = [("libgmock-dev", "/usr/include/gmock/", [], "read by the build"),
                 ("xdotool", "/usr/bin/xdotool", ["/usr/bin/xdotool"], "started"),
                 ("xvfb", "/usr/bin/Xvfb", ["Xvfb"], "started")]
        for package, file, started, kind in cases:
            with self.subTest(package=package):
                result = self.run_check([name for name in listed() if name != package], started)
                self.assertEqual(result.returncode, 1, result.stdout)
                named = [line for line in result.stdout.splitlines() if line.endswith("belongs to %s, which "
                                                                                      "packages.txt does not bring" % package)]
                self.assertEqual(len(named), 1, result.stdout)
                self.assertTrue(named[0].startswith(file), named[0])
                self.assertIn(kind, named[0])

    def test_a_program_of_no_package_is_named(self):
        with tempfile.NamedTemporaryFile(dir="/var/tmp", suffix="-tool") as program:
            os.chmod(program.name, 0o755)
            result = self.run_check(listed(), [program.name])
        self.assertEqual(result.returncode, 1)
        self.assertIn("%s, started, belongs to no package" % program.name, result.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
