"""End-to-end tests of hueline.exe when it is killed mid-change, and when it
is started twice."""

import os
import signal
import time
import unittest

from harness import (ID, KEEP_FILES, MARK, SYSTEM_INI, SYSTEM_OLD, Session, marker_block,
                     read_or_none, start_second_copy)
from test_main_window import BACK, HAND_INSTALLED, SND_ASYNC, Case

MB_OK_ICONEXCLAMATION = 0x30
RECOVERED = ("The last change to system.ini was interrupted, so Hueline put system.ini back "
             "as it was before that change.")


def large_ini(size):
    """A system.ini of about size bytes, its colours installed by hand."""
    head = b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n"
    lines = [head]
    total = len(head)
    n = 0
    while total < size:
        line = b"key%d=some value of a setting\r\n" % n
        lines.append(line)
        total += len(line)
        n += 1
    return b"".join(lines)


class InterruptedApplyTest(Case):
    def test_killed_while_writing_system_ini_is_put_back_at_the_next_start(self):
        original = large_ini(12 << 20)
        session = self.start(original)
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        with open("/proc/%d/cmdline" % session.process.pid, "rb") as cmdline:
            self.assertIn(b"hueline.exe", cmdline.read(), "the process to kill is the program")

        # Apply from the menu, and kill the program as soon as it has begun
        # to write system.ini: the file's length is no longer the old one.
        session.drive("select", BACK, "Green")
        session.drive("post", ID.IDM_APPLY)
        deadline = time.monotonic() + 30
        while not (MARK.exists() and SYSTEM_INI.stat().st_size != len(original)):
            self.assertLess(time.monotonic(), deadline, "the rewrite of system.ini never began")
        os.kill(session.process.pid, signal.SIGKILL)
        self.assertTrue(session.wait_exit(), "the program did not die")
        left = read_or_none(SYSTEM_INI)
        (session.folder / "killed.txt").write_text(
            "system.ini left %d bytes long; it was %d, its new content %d\n"
            % (len(left), len(original), len(original) + 186 - 40))
        self.assertTrue(MARK.exists(), "killed too late: the rewrite had ended")
        self.assertNotEqual(left, original)
        self.assertEqual(read_or_none(SYSTEM_OLD), original)
        session.close()

        # The next start puts system.ini back, says so, then shows the colours.
        again = Session(self.id().rsplit(".", 1)[-1] + "-again", KEEP_FILES)
        self.sessions.append(again)
        again.launch()
        box = dict(again.drive("message", 60000))
        self.assertEqual(box["message-text"], RECOVERED)
        self.assertEqual(box["message-buttons"], "OK#1")
        self.assertEqual(read_or_none(SYSTEM_INI), original)
        self.assertFalse(MARK.exists())
        again.drive("ok")
        again.attach()
        self.assertWindow(again, "Dark Red", "Yellow", "Dark Red", "Yellow")

        # And an Apply then works.
        again.drive("select", BACK, "Green")
        since = again.mark()
        again.drive("command", ID.IDM_APPLY)
        self.assertEqual(again.calls(since), [("sound", "apply.wav", SND_ASYNC)])
        self.assertWindow(again, "Green", "Yellow", "Green", "Yellow")
        expected = (b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\n" + marker_block(b"A", b"E") +
                    original[len(b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\n"
                                 b"MessageBackColor=4\r\nMessageTextColor=E\r\n"):])
        self.assertEqual(read_or_none(SYSTEM_INI), expected)
        self.assertEqual(read_or_none(SYSTEM_OLD), original)
        self.assertFalse(MARK.exists())


class SecondCopyTest(Case):
    def test_a_second_start_shows_the_running_window_and_ends(self):
        session = self.start(HAND_INSTALLED)
        session.drive("minimize")
        self.assertEqual(dict(session.drive("windows"))["main-minimized"], "yes")

        status = start_second_copy(session.folder / "second-copy.log")
        self.assertIsNotNone(status, "the second copy did not end")
        self.assertEqual(status, 0)
        windows = dict(session.drive("windows"))
        self.assertEqual(windows["main-windows"], "1")
        self.assertEqual(windows["main-minimized"], "no", "the running window was not brought back")
        self.assertTrue(session.running())
        # The copy that runs still works, and nothing was written.
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        self.assertFiles(HAND_INSTALLED, None)


if __name__ == "__main__":
    unittest.main()
