"""Runs every end-to-end test (test_*.py beside this file) on Windows 98 at
96 dots per inch, the machine the program is made for, then a quick pass of
the tests that the other machines users have could break (PASSES). Its last
line is its summary, "e2e: N passed, M failed", each pass's runs counted, and
its exit status is 0 only when tests ran and none failed. Given words, it
runs only the tests whose name (module.Class.test_method) holds one of them,
in every pass that has them, or every test of a pass that a word names.

The prefix's own system.ini and system.old, and its machine, are put back
afterwards."""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import harness  # noqa: E402
from harness import Machine  # noqa: E402

# The start, the preview's pixels and the About box, where the dialog's size
# changes; and what the NT family is told.
LAYOUT_TESTS = ["PreviewTest.test_preview_shows_the_pair_and_a_list_click_only_after_refresh",
                "AboutTest.test_about_box_from_its_button_and_both_menu_commands"]
NT_TESTS = ["WindowsVersionTest", "ApplyTest.test_apply_button_answered_no_keeps_the_window",
            "ApplyTest.test_apply_from_the_menu_writes_and_asks_nothing",  # no VWIN32 on NT
            "RestoreTest.test_restore_removes_every_colour_line"]
PASSES = [
    (harness.WINDOWS_98, None),  # every test
    (Machine("120-dpi", 120, True, "win98"), LAYOUT_TESTS),
    (Machine("144-dpi", 144, True, "win98"), LAYOUT_TESTS),
    (Machine("no-bitmap-font", 96, False, "win98"), LAYOUT_TESTS),
    (Machine("windows-xp", 96, True, "winxp"), NT_TESTS),
]


class CountingResult(unittest.TextTestResult):
    """Counts test methods, a method failing when any of its subtests fails."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.failed_ids = set()

    def _failed(self, test):
        owner = getattr(test, "test_case", test)
        self.failed_ids.add(owner.id())

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._failed(test)

    def addError(self, test, err):
        super().addError(test, err)
        self._failed(test)

    def addSubTest(self, test, subtest, outcome):
        super().addSubTest(test, subtest, outcome)
        if outcome is not None:
            self._failed(test)


def iterate(suite):
    for item in suite:
        if isinstance(item, unittest.TestSuite):
            yield from iterate(item)
        else:
            yield item


def main():
    harness.ARTEFACTS.mkdir(parents=True, exist_ok=True)
    saved = harness.save_settings_files()
    words = sys.argv[1:]
    ran = passed = failed = 0
    try:
        for machine, names in PASSES:
            every = list(iterate(unittest.defaultTestLoader.discover(str(HERE), pattern="test_*.py",
                                                                     top_level_dir=str(HERE))))
            tests = every if names is None else [t for t in every if any(n in t.id() for n in names)]
            if words and machine.name not in words:
                tests = [t for t in tests if any(word in t.id() for word in words)]
            if not tests:
                continue
            print("== e2e on %s (%d tests)" % (machine.name, len(tests)), flush=True)
            harness.use_machine(machine)
            runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=2, resultclass=CountingResult)
            result = runner.run(unittest.TestSuite(tests))
            ran += result.testsRun
            failed += len(result.failed_ids)
            passed += result.testsRun - len(result.failed_ids) - len(result.skipped)
    finally:
        harness.use_machine(harness.WINDOWS_98)
        harness.restore_settings_files(saved)
    if ran == 0:
        failed = 1
    print("e2e: %d passed, %d failed" % (passed, failed), flush=True)
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
