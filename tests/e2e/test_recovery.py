"""End-to-end tests of hueline.exe when it is killed mid-change, when its
journal or system.ini is not what it can trust, and when it is started twice."""

import os
import signal
import time
import unittest

from harness import (COPY, DIALOG, ID, IDNO, IDOK, IDYES, KEEP_FILES, KEPT_OLD, MAIN_CAPTION, MARK, MESSAGE_CAPTION,
                     SYSTEM_INI, SYSTEM_OLD, Session, marker_block, read_or_none,
                     restore_settings_files, save_settings_files, start_second_copy, windows_path)
from test_main_window import BACK, HAND_INSTALLED, SND_ASYNC, Case, hand_installed_as

MB_OK_ICONEXCLAMATION = 0x30
MB_YESNO_EXCLAMATION_NO_DEFAULT = 0x134


def recovered(copy):
    return ("The last change to system.ini was interrupted, so Hueline put system.ini back "
            "as it was before that change, from %s." % windows_path(copy))


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


def files():
    """system.ini, system.old, the new copy and the journal as they stand."""
    return save_settings_files((SYSTEM_INI, SYSTEM_OLD, COPY, MARK))


class JournalCase(Case):
    def asked(self, session, *words):
        """The "Hueline" box that asks, No the default, whether to discard the
        journal, holding words; returns it."""
        box = session.box(MESSAGE_CAPTION, 60000)
        for word in words:
            self.assertIn(word, box["message"])
        self.assertEqual((box["buttons"], box["default"]), ("&Yes#6,&No#7", "&No"))
        return box


class InterruptedApplyTest(JournalCase):
    def again(self, label):
        """The program started again on the files as they stand."""
        session = Session(self.id().rsplit(".", 1)[-1] + "-" + label, KEEP_FILES)
        self.sessions.append(session)
        session.launch()
        return session

    def test_killed_while_writing_system_ini(self):
        original = large_ini(12 << 20)
        session = self.start(original)
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        with open("/proc/%d/cmdline" % session.process.pid, "rb") as cmdline:
            self.assertIn(b"hueline.exe", cmdline.read(), "the process to kill is the program")

        # Apply from the menu, and kill the program as soon as it has begun
        # to write system.ini: the file's length is no longer the old one.
        session.select(BACK, "Green")
        session.command(ID.IDM_APPLY, False)
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
        crashed = files()

        # With system.old emptied, cut short or over the size limit, no copy
        # holds what system.ini held; with the change finished and then
        # another program's line added, system.ini is no longer Hueline's
        # to put back. The next start leaves every file as it stands, says
        # what is wrong and asks: No keeps it so; Yes keeps system.old as
        # HUELINE.OLD, takes the journal away and lets an Apply run.
        expected = (b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\n" + marker_block(b"A", b"E") +
                    original[len(b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\n"
                                 b"MessageBackColor=4\r\nMessageTextColor=E\r\n"):])
        driver = expected + b"device=newdriver.386\r\n"
        huge = b"x" * ((32 << 20) + 1)
        for label, damage, words in (
                ("emptied", {SYSTEM_OLD: b""}, ["SYSTEM.OLD is 0 bytes long"]),
                ("cut-short", {SYSTEM_OLD: original[:30]}, ["SYSTEM.OLD is 30 bytes long"]),
                ("over-the-limit", {SYSTEM_OLD: huge}, ["SYSTEM.OLD is %d bytes long" % len(huge)]),
                ("another-program", {SYSTEM_INI: driver}, ["Another program may have changed it",
                                                           windows_path("hueline.mrk")])):
            for answer in (IDNO, IDYES):
                with self.subTest(label, answer=answer):
                    restore_settings_files(crashed)
                    for path, content in damage.items():
                        path.write_bytes(content)
                    before = files()
                    again = self.again(label + ("-yes" if answer == IDYES else ""))
                    self.asked(again, "Hueline has changed nothing.", windows_path("HUELINE.OLD"), *words)
                    again.press(MESSAGE_CAPTION, answer)
                    again.attach()
                    if answer == IDNO:
                        self.assertEqual(files(), before)
                    else:
                        self.assertFalse(MARK.exists())
                        self.assertEqual(read_or_none(KEPT_OLD), before[SYSTEM_OLD])
                        again.command(ID.IDM_APPLY)
                        self.assertEqual(read_or_none(SYSTEM_OLD), before[SYSTEM_INI])
                        KEPT_OLD.unlink()
                    again.close()

        # With the copy whole, the next start puts system.ini back, says so,
        # then shows the colours.
        restore_settings_files(crashed)
        again = self.again("whole")
        box = again.box(MESSAGE_CAPTION, 60000)
        self.assertEqual(box["message"], recovered("system.old"))
        self.assertEqual(box["buttons"], "OK#1")
        self.assertEqual(read_or_none(SYSTEM_INI), original)
        self.assertFalse(MARK.exists())
        again.press(MESSAGE_CAPTION, IDOK)
        again.attach()
        self.assertWindow(again, "Dark Red", "Yellow", "Dark Red", "Yellow")

        # And an Apply then works.
        again.select(BACK, "Green")
        since = again.mark()
        again.command(ID.IDM_APPLY)
        self.assertEqual(again.calls(since), [("sound", "apply.wav", SND_ASYNC)])
        self.assertWindow(again, "Green", "Yellow", "Green", "Yellow")
        self.assertEqual(read_or_none(SYSTEM_INI), expected)
        self.assertEqual(read_or_none(SYSTEM_OLD), original)
        self.assertFalse(MARK.exists())
        self.assertFalse(COPY.exists())


class LeftoverTest(JournalCase):
    def test_a_journal_that_is_a_folder_changes_nothing_until_taken_away(self):
        session = Session(self.id().rsplit(".", 1)[-1], HAND_INSTALLED)
        self.sessions.append(session)
        SYSTEM_OLD.write_bytes(b"an earlier backup\r\n")
        MARK.mkdir()
        session.launch()
        box = self.asked(session, windows_path("hueline.mrk"), "a folder stands there")
        session.press(MESSAGE_CAPTION, IDNO)
        session.attach()
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")

        # Every Apply asks again; No changes nothing, Yes takes the folder
        # away and applies.
        session.select(BACK, "Green")
        session.command(ID.IDM_APPLY, False)
        session.press(MESSAGE_CAPTION, IDNO, 10000)
        self.assertFiles(HAND_INSTALLED, b"an earlier backup\r\n")
        self.assertTrue(MARK.is_dir())
        since = session.mark()
        session.command(ID.IDM_APPLY, False)
        session.press(MESSAGE_CAPTION, IDYES, 10000)
        self.assertWindow(session, "Green", "Yellow", "Green", "Yellow")
        # (Wine's trace cuts a long text short.)
        calls = session.calls(since)
        self.assertEqual([(kind, owner, caption, flags) for kind, owner, _, caption, flags in calls[1:]],
                         [("question", session.window, MESSAGE_CAPTION, MB_YESNO_EXCLAMATION_NO_DEFAULT)])
        self.assertTrue(box["message"].startswith(calls[1][2]))
        self.assertFalse(MARK.exists())
        self.assertFiles(hand_installed_as(b"A", b"E"), HAND_INSTALLED)

    def test_a_utf16_system_ini_is_never_rewritten(self):
        text = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nMessageBackColor=4\r\n"
        for label, utf16 in (("with a byte-order mark", ("\ufeff" + text).encode("utf-16-le")),
                             ("without, an empty first line", ("\r\n" + text).encode("utf-16-le"))):
            session = self.start(utf16, label.split(",")[0].replace(" ", "-"))
            SYSTEM_OLD.write_bytes(b"an earlier backup\r\n")
            self.assertWindow(session, "Blue", "White", "Blue", "White")
            session.select(BACK, "Green")
            for action, apply in ((ID.IDM_APPLY, True), (ID.IDM_RESTORE, False)):
                with self.subTest(label, apply=apply):
                    session.command(action, False)
                    box = session.box(MESSAGE_CAPTION, 10000)
                    self.assertEqual(box["message"], (
                        "The %s.\nHueline did not change %s: it is stored as Unicode (UTF-16) text, which Hueline "
                        "does not rewrite.\nsystem.ini is as it was."
                        % ("new colors were not installed" if apply else "default colors were not restored",
                           windows_path("system.ini"))))
                    session.press(MESSAGE_CAPTION, IDOK)
                    self.assertFiles(utf16, b"an earlier backup\r\n")
                    self.assertFalse(MARK.exists() or COPY.exists())


class SecondCopyTest(Case):
    def test_a_second_start_shows_the_running_window_and_ends(self):
        session = self.start(HAND_INSTALLED)
        session.minimize()
        self.assertEqual(session.props(session.window)["minimized"], "yes")

        status = start_second_copy(session.folder / "second-copy.log")
        self.assertIsNotNone(status, "the second copy did not end")
        self.assertEqual(status, 0)
        self.assertEqual(session.count(DIALOG, MAIN_CAPTION), 1)
        self.assertEqual(session.props(session.window)["minimized"], "no", "the running window was not brought back")
        self.assertTrue(session.running())
        # The copy that runs still works, and nothing was written.
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        self.assertFiles(HAND_INSTALLED, None)


if __name__ == "__main__":
    unittest.main()
