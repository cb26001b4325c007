"""End-to-end tests of what hueline.exe does with system.ini files that are
odd or that cannot be written: the files it leaves, what its Current fields
show, and the message it gives instead of asking to restart."""

import unittest

from harness import ID, IDOK, MESSAGE_CAPTION, SYSTEM_INI, marker_block, read_or_none, set_unwritable, windows_path
from test_main_window import BACK, HAND_INSTALLED, TEXT, SND_ASYNC, Case

MB_OK_ICONSTOP = 0x10          # a failure, which asks something of the user
MB_OK_ICONINFORMATION = 0x40   # a result


def not_done(apply, name, step, why):
    """What a failed Apply or Restore tells: the file that failed, in full, and why."""
    return ("The %s.\nHueline could not %s %s: %s.\nSYSTEM.INI is as it was."
            % ("new colors were not installed" if apply else "default colors were not restored",
               step, windows_path(name), why))


def failed_actions(step, why, restore):
    """Apply from the menu and from its button, and a Restore (the action
    given), each failing at step on system.ini for why: their labels,
    actions, sounds and messages."""
    applied = not_done(True, "system.ini", step, why)
    return [("menu Apply", ("command", ID.IDM_APPLY), "apply.wav", applied),
            ("button Apply", ("click", ID.IDC_APPLY), "apply.wav", applied),
            ("Restore", restore, "restore.wav", not_done(False, "system.ini", step, why))]


NOT_REMOVED = "Windows would not remove it"
NO_SECTION = ("The color lines were removed, but the new colors were not installed: "
              + windows_path("system.ini") + " has no [386Enh] line.")


class MessageCase(Case):
    def assertTold(self, session, calls, sound, text, icon=MB_OK_ICONSTOP):
        """The action played its sound, showed text in the program's message
        box owned by the main window, with the icon, and asked no restart;
        OK closes it."""
        self.assertEqual(calls, [("sound", sound, SND_ASYNC),
                                 ("question", session.window, text, MESSAGE_CAPTION, icon)])
        box = session.box(MESSAGE_CAPTION, 10000)
        self.assertEqual((box["owner"], box["message"], box["buttons"]), ("main", text, "OK#1"))
        state = session.state()
        self.assertEqual(state["question"], "none")
        session.press(MESSAGE_CAPTION, IDOK)
        self.assertEqual(session.state()["message"], "none")

    def assertEachTold(self, session, actions, after):
        """Each action of the table (failed_actions) told its failure; after
        (given the label) checks what the window and the files then hold."""
        for label, action, sound, text in actions:
            with self.subTest(label):
                self.assertTold(session, session.act(*action), sound, text)
                after(label)


class LoneCarriageReturnTest(MessageCase):
    def test_apply_and_restore_keep_every_other_line(self):
        odd = (b"[boot]\rMessageBackColor=4\r[386Enh]\rdevice=*vpicd\0"
               b"MessageTextColor=E\r\n[drivers]\rwave=mmsystem.dll")
        applied = (b"[boot]\r[386Enh]\r" + marker_block(b"A", b"0") +
                   b"device=*vpicd\r\n[drivers]\rwave=mmsystem.dll")
        restored = b"[boot]\r[386Enh]\rdevice=*vpicd\r\n[drivers]\rwave=mmsystem.dll"
        session = self.start_showing(odd, "Dark Red", "Yellow", BACK, "Green", TEXT, "Black")
        self.assertEqual(session.act("command", ID.IDM_APPLY), [("sound", "apply.wav", SND_ASYNC)])
        self.assertWindow(session, "Green", "Black", "Green", "Black")
        self.assertFiles(applied, odd)

        self.assertEqual(session.act("click", ID.IDC_RESTORE), [("sound", "restore.wav", SND_ASYNC)])
        state = self.assertWindow(session, "Blue", "White", "Blue", "White")
        self.assertEqual(state["message"], "none")
        self.assertFiles(restored, applied)


class UnwritableTest(MessageCase):
    def tearDown(self):
        if SYSTEM_INI.exists():
            set_unwritable(SYSTEM_INI, False)
        super().tearDown()

    def test_nothing_shows_as_installed_when_system_ini_cannot_be_written(self):
        session = self.start(HAND_INSTALLED)
        set_unwritable(SYSTEM_INI, True)
        session.select(BACK, "Green", TEXT, "Black")

        def unchanged(label):
            state = session.state()
            self.assertEqual((state["back-current"], state["text-current"]), ("Dark Red", "Yellow"))
            self.assertEqual(read_or_none(SYSTEM_INI), HAND_INSTALLED)

        self.assertEachTold(session, failed_actions("replace", NOT_REMOVED, ("click", ID.IDC_RESTORE)), unchanged)
        self.assertTrue(session.running())

    def test_a_missing_system_ini_stays_missing(self):
        session = self.start(None)
        session.select(BACK, "Green")

        def still_missing(label):
            self.assertWindow(session, "Blue", "White", "Blue" if label == "Restore" else "Green", "White")
            self.assertFiles(None, None)

        self.assertEachTold(session, failed_actions("read", "it is not there", ("command", ID.IDM_RESTORE)),
                            still_missing)


class NoSectionTest(MessageCase):
    def test_apply_button_without_a_386enh_section_says_so_and_asks_nothing(self):
        no_section = b"[boot]\r\nMessageBackColor=4\r\nshell=Explorer.exe\r\n"
        session = self.start(no_section)
        session.select(BACK, "Green")
        self.assertTold(session, session.act("click", ID.IDC_APPLY), "apply.wav", NO_SECTION, MB_OK_ICONINFORMATION)
        self.assertWindow(session, "Blue", "White", "Green", "White")
        self.assertFiles(b"[boot]\r\nshell=Explorer.exe\r\n", no_section)


if __name__ == "__main__":
    unittest.main()
