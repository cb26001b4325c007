"""The prefix reports to every program in it the Windows the pass stands for:
Windows 98, the system hueline.exe is made for, or Windows XP for the NT
family."""

import unittest

import harness
from harness import system_facts

# GetVersion: the major version in the low byte, the minor in the next, the
# top bit set on Windows 9x.
REPORTED = {"win98": (0x80000A04, "4.10 (9x)"), "winxp": (0x00000105, "5.1 (nt)")}


class WindowsVersionTest(unittest.TestCase):
    def test_the_prefix_reports_the_windows_of_the_pass(self):
        version, name = REPORTED[harness.MACHINE.windows]
        self.assertEqual(int(system_facts()["get-version"], 16) & 0x8000FFFF, version, name)


if __name__ == "__main__":
    unittest.main()
