"""Runs every end-to-end test (test_*.py beside this file). Its last line is
its summary, "e2e: N passed, M failed", and its exit status is 0 only when
tests ran and none failed. Given words, it runs only the tests whose name
(module.Class.test_method) holds one of them.

The prefix's own system.ini and system.old are put back afterwards."""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import harness  # noqa: E402


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
    try:
        suite = unittest.defaultTestLoader.discover(str(HERE), pattern="test_*.py",
                                                    top_level_dir=str(HERE))
        if sys.argv[1:]:
            suite = unittest.TestSuite(test for test in iterate(suite)
                                       if any(word in test.id() for word in sys.argv[1:]))
        runner = unittest.TextTestRunner(stream=sys.stdout, verbosity=2, resultclass=CountingResult)
        result = runner.run(suite)
    finally:
        harness.stop_prefix()
        harness.restore_settings_files(saved)
    failed = len(result.failed_ids)
    passed = result.testsRun - failed - len(result.skipped)
    if result.testsRun == 0:
        failed = 1
    print("e2e: %d passed, %d failed" % (passed, failed), flush=True)
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
