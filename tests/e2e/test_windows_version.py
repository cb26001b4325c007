"""The prefix the end-to-end tests run in reports Windows 98, the system
hueline.exe is made for, to every program in it."""

import unittest

from harness import run_driver


class WindowsVersionTest(unittest.TestCase):
    def test_the_prefix_reports_windows_98(self):
        facts = dict(run_driver("version"))
        # GetVersion: 4 in the low byte, 10 in the next, the top bit set on 9x.
        self.assertEqual(int(facts["get-version"], 16) & 0x8000FFFF, 0x80000A04, facts)
        self.assertEqual((facts["windows-version"], facts["windows-family"]), ("4.10", "9x"))


if __name__ == "__main__":
    unittest.main()
