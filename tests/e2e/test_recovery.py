"""End-to-end tests of hueline.exe when it is killed at each stage of a change,
when its journal or system.ini is not what it can trust, and when it is
started twice."""

import unittest

from harness import (COPY, DIALOG, ID, IDNO, IDOK, IDYES, KEEP_FILES, KEPT_INI, KEPT_OLD, MAIN_CAPTION, MARK,
                     MESSAGE_CAPTION, NEW, SYSTEM_INI, SYSTEM_OLD, Session, read_or_none, start_second_copy,
                     windows_path)
from test_main_window import BACK, HAND_INSTALLED, Case, hand_installed_as

MB_OK_ICONINFORMATION = 0x40
MB_OK_ICONSTOP = 0x10
MB_YESNO_ICONWARNING_NO_DEFAULT = 0x134
GREEN = hand_installed_as(b"A", b"E")


def files():
    """system.ini and Hueline's files in the Windows directory, as they stand."""
    return {path.name: read_or_none(path) for path in (SYSTEM_INI, SYSTEM_OLD, COPY, NEW, MARK, KEPT_OLD, KEPT_INI)}


class JournalCase(Case):
    def again(self, label):
        """The program started again on the files as they stand."""
        session = Session(self.id().rsplit(".", 1)[-1] + "-" + label, KEEP_FILES)
        self.sessions.append(session)
        session.launch()
        return session

    def told(self, session, icon, *words):
        """The "Hueline" box with an OK button alone and this icon, holding
        words; closed, then the main window waited for."""
        box = self.asked(session, "OK#1", icon, *words)
        session.press(MESSAGE_CAPTION, IDOK)
        session.attach()
        return box

    def asked(self, session, buttons, icon, *words):
        """The "Hueline" box that is up: its buttons, the icon of the last box
        the program showed, and words it holds."""
        box = session.box(MESSAGE_CAPTION, 60000)
        for word in words:
            self.assertIn(word, box["message"])
        self.assertEqual(box["buttons"], buttons)
        shown = [call for call in session.calls(thread=box["thread"]) if call[0] == "question"]
        self.assertEqual(shown[-1][-1:], (icon,))
        return box


class InterruptedApplyTest(JournalCase):
    # The stages of an Apply of Green at which the program is killed: the
    # import it is about to call, a word of that call's path (* for any
    # call), which such call, what then stands, and what the next start
    # says (None: nothing) and leaves in system.ini.
    STAGES = (
        ("new file begun", "_lwrite", "*", 2, {NEW: b"", MARK: None}, None, HAND_INSTALLED),
        ("new file written", "OpenFile", "HUELINE.MRK", 1, {NEW: GREEN, MARK: None}, None, HAND_INSTALLED),
        ("journal written", "OpenFile", "SYSTEM.OLD", 1, {SYSTEM_OLD: b"an earlier backup\r\n"},
         "did not finish", HAND_INSTALLED),
        ("system.old removed", "MoveFileA", "HUELINE.BAK", 1, {SYSTEM_OLD: None, COPY: HAND_INSTALLED},
         "did not finish", HAND_INSTALLED),
        ("between the renames", "MoveFileA", "HUELINE.NEW", 1, {SYSTEM_INI: None, SYSTEM_OLD: HAND_INSTALLED},
         "has finished its last change", GREEN),
        ("journal left", "OpenFile", "HUELINE.MRK", 3, {SYSTEM_INI: GREEN}, None, GREEN),
    )

    def kill_at(self, label, function, match, count):
        """An Apply of Green from the menu, killed as the stage says; the
        files as it left them."""
        session = self.start(HAND_INSTALLED, label.replace(" ", "-"))
        SYSTEM_OLD.write_bytes(b"an earlier backup\r\n")
        session.select(BACK, "Green")
        session.stop_at(function, match, count)
        session.command(ID.IDM_APPLY, False)
        self.assertTrue(session.stopped(), "not stopped at %s %s #%d" % (function, match, count))
        session.close()
        return files()

    def test_killed_at_every_stage_then_started_again(self):
        for label, function, match, count, left, said, ini in self.STAGES:
            with self.subTest(label):
                crashed = self.kill_at(label, function, match, count)
                for path, content in left.items():
                    self.assertEqual(crashed[path.name], content, path.name)
                again = self.again(label.replace(" ", "-"))
                if said:
                    self.told(again, MB_OK_ICONINFORMATION, said)
                else:
                    again.attach()
                    self.assertEqual(again.state()["message"], "none")
                self.assertEqual(read_or_none(SYSTEM_INI), ini)
                self.assertFalse(MARK.exists())
                back = "Green" if ini == GREEN else "Dark Red"
                self.assertWindow(again, back, "Yellow", back, "Yellow")
                # And an Apply then works.
                again.select(BACK, "Cyan")
                again.command(ID.IDM_APPLY)
                self.assertEqual(read_or_none(SYSTEM_INI), hand_installed_as(b"B", b"E"))
                self.assertEqual(read_or_none(SYSTEM_OLD), ini)
                self.assertFalse(MARK.exists() or NEW.exists() or COPY.exists())
                again.close()

    def test_another_programs_change_beside_a_stale_journal_is_asked_about(self):
        # The change ended, but its journal stayed; then an uninstaller took
        # the last line out of system.ini.
        crashed = self.kill_at("stale", "OpenFile", "HUELINE.MRK", 3)
        shortened = GREEN[:GREEN.rindex(b"\r\n", 0, len(GREEN) - 2) + 2]
        for answer in (IDNO, IDYES):
            with self.subTest(answer=answer):
                for name, content in crashed.items():
                    path = SYSTEM_INI.parent / name
                    if content is None:
                        path.unlink(missing_ok=True)
                    else:
                        path.write_bytes(content)
                SYSTEM_INI.write_bytes(shortened)
                again = self.again("yes" if answer == IDYES else "no")
                box = self.asked(again, "&Yes#6,&No#7", MB_YESNO_ICONWARNING_NO_DEFAULT,
                                 "Another program has changed " + windows_path("system.ini"), windows_path("system.old"))
                self.assertEqual(box["default"], "&No")
                again.press(MESSAGE_CAPTION, answer)
                self.told(again, MB_OK_ICONINFORMATION, "stays as it is" if answer == IDNO else "put back")
                if answer == IDNO:
                    self.assertEqual(read_or_none(SYSTEM_INI), shortened)
                    self.assertEqual(read_or_none(KEPT_OLD), HAND_INSTALLED)
                else:
                    self.assertEqual(read_or_none(SYSTEM_INI), HAND_INSTALLED)
                    self.assertEqual(read_or_none(KEPT_INI), shortened)
                self.assertFalse(MARK.exists())
                before = read_or_none(SYSTEM_INI)
                again.command(ID.IDM_APPLY)
                self.assertFalse(MARK.exists())
                self.assertEqual(read_or_none(SYSTEM_OLD), before)
                again.close()
                for path in (KEPT_OLD, KEPT_INI):
                    path.unlink(missing_ok=True)


class LeftoverTest(JournalCase):
    def test_a_journal_that_is_a_folder_holding_a_file_is_told_until_taken_away(self):
        session = Session(self.id().rsplit(".", 1)[-1], HAND_INSTALLED)
        self.sessions.append(session)
        MARK.mkdir()
        (MARK / "x").write_bytes(b"x")
        session.launch()
        self.told(session, MB_OK_ICONSTOP, windows_path("hueline.mrk"), "a folder is in its place")
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        # Every Apply tells it again and changes nothing; once the folder is
        # empty, it goes, and the Apply runs.
        session.select(BACK, "Green")
        session.command(ID.IDM_APPLY, False)
        self.told(session, MB_OK_ICONSTOP, windows_path("hueline.mrk"))
        self.assertFiles(HAND_INSTALLED, None)
        (MARK / "x").unlink()
        session.command(ID.IDM_APPLY)
        self.assertWindow(session, "Green", "Yellow", "Green", "Yellow")
        self.assertFalse(MARK.exists())
        self.assertFiles(GREEN, HAND_INSTALLED)

    def test_a_utf16_system_ini_is_never_rewritten(self):
        text = "[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nMessageBackColor=4\r\n"
        cyrillic = "".join("[%s]\r\n" % ("\u0420\u0430\u0437\u0434\u0435\u043b" * 3) +
                           "\u041a\u043b\u044e\u0447=\u0417\u043d\u0430\u0447\u0435\u043d\u0438\u0435" * 9 + "\r\n"
                           for _ in range(40))
        for label, utf16 in (("with a byte-order mark", ("\ufeff" + text).encode("utf-16-le")),
                             ("without, an empty first line", ("\r\n" + text).encode("utf-16-le")),
                             ("without, mostly Cyrillic", (text + cyrillic).encode("utf-16-le"))):
            session = self.start(utf16, label.split(",")[-1].strip().replace(" ", "-"))
            SYSTEM_OLD.write_bytes(b"an earlier backup\r\n")
            self.assertWindow(session, "Blue", "White", "Blue", "White")
            session.select(BACK, "Green")
            for action, apply in ((ID.IDM_APPLY, True), (ID.IDM_RESTORE, False)):
                with self.subTest(label, apply=apply):
                    session.command(action, False)
                    box = self.told(session, MB_OK_ICONSTOP)
                    self.assertEqual(box["message"], (
                        "The %s.\nHueline does not change %s: it is Unicode (UTF-16) text.\nSYSTEM.INI is as it was."
                        % ("new colors were not installed" if apply else "default colors were not restored",
                           windows_path("system.ini"))))
                    self.assertFiles(utf16, b"an earlier backup\r\n")
                    self.assertFalse(MARK.exists() or COPY.exists() or NEW.exists())


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
