"""End-to-end tests of the full-screen test under Wine: hueline.exe starts the
real test.exe, which covers the whole screen in the picked pair until a key
or a click, and the main window answers again afterwards."""

import shutil
import time
import unittest

from harness import (ARTEFACTS, BM_CLICK, CD_LETTER, DRIVER, HANG_MS, ID, IDOK, MESSAGE_CAPTION, OTHER_PROGRAM,
                     PRODUCT, PROGRAM, ROOT, SC_CLOSE, SYSTEM_INI, SYSTEM_OLD, WM_CLOSE, WM_COMMAND, WM_SYSCOMMAND,
                     eject_cd, files_used, grab, insert_cd, install_copy, marker_block, read_c_string, read_or_none,
                     run_test_program, stand_window)
from test_main_window import Case
from test_preview_about import preview_problems

BACK, TEXT = ID.IDC_BACK_LIST, ID.IDC_TEXT_LIST
SND_ASYNC, SND_LOOP = 1, 8
VGA = {
    "Black": (0, 0, 0), "Dark Blue": (0, 0, 170), "Dark Green": (0, 170, 0), "Dark Cyan": (0, 170, 170),
    "Dark Red": (170, 0, 0), "Dark Mauve": (170, 0, 170), "Brown": (170, 85, 0), "Gray": (170, 170, 170),
    "Dark Gray": (85, 85, 85), "Blue": (85, 85, 255), "Green": (85, 255, 85), "Cyan": (85, 255, 255),
    "Red": (255, 85, 85), "Mauve": (255, 85, 255), "Yellow": (255, 255, 85), "White": (255, 255, 255),
}
INSTALLED = b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n"
USAGE = read_c_string(ROOT / "test_exe" / "test_arguments.cpp", "TestUsage")
PAINT_SECONDS = 10


class FullScreenCase(Case):
    def start(self, program=PROGRAM, label="", debug="+relay"):
        return super().start(INSTALLED, label, program, debug)

    def assertMainWindow(self, session, back_list, text_list):
        state = session.state()
        self.assertEqual((state["back-current"], state["text-current"], state["back-list"], state["text-list"],
                          state["question"], state["message"]),
                         ("Dark Red", "Yellow", back_list, text_list, "none", "none"))
        self.assertEqual(read_or_none(SYSTEM_INI), INSTALLED)
        self.assertIsNone(read_or_none(SYSTEM_OLD))

    def assertCovers(self, back, text, picture_name=None):
        """The whole screen shows the text screen in back and text: every
        pixel is one of the two, the edges and corners are the background,
        and some text stands in the text colour."""
        want_back, want_text = VGA[back], VGA[text]
        deadline = time.time() + PAINT_SECONDS
        while True:
            picture = grab()
            width, height = picture.width, picture.height
            edges = [(0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1),
                     (width // 2, 0), (width // 2, height - 1), (0, height // 2), (width - 1, height // 2)]
            if all(picture.pixel(x, y) == want_back for x, y in edges) or time.time() > deadline:
                break
            time.sleep(0.2)
        self.assertEqual((width, height), (1024, 768))
        for x, y in edges:
            self.assertEqual(picture.pixel(x, y), want_back, "pixel %d,%d" % (x, y))
        counts = picture.colour_counts()
        self.assertEqual(set(counts), {want_back, want_text}, "the colours on the screen")
        self.assertGreater(counts[want_text], 2000, "pixels of text")
        self.assertGreater(counts[want_back], counts[want_text])
        if picture_name:
            grab(path=ARTEFACTS / picture_name)

    def run_test(self, session, action, back, text, end_by, picture_name=None):
        """Runs one full-screen test by the action (a button's click, a menu
        command); returns the traced calls up to the moment the screen shows
        and those of its end."""
        since = session.mark()
        session.do(*action, False)
        screen = session.screen(20000)
        self.assertEqual(screen["rect"], "0,0,1024,768")
        self.assertEqual(screen["topmost"], "yes")
        self.assertEqual(screen["front"], "yes", "the keyboard goes to the full screen")
        self.assertCovers(back, text, picture_name)
        shown = session.calls(since)
        since = session.mark()
        ended = session.end_screen(end_by)
        self.assertEqual(ended["exit-code"], 1 if end_by == "outside" else 0)
        self.assertLess(ended["answer-delay-ms"], 1000.0)
        # Another program that took the front keeps it; else the window is back in front.
        self.assertEqual(ended["main-front"], "no" if end_by == "front" else "yes")
        self.assertEqual(session.screens(), 0)
        return shown, session.calls(since)


class FullScreenTest(FullScreenCase):
    def test_button_and_menu_cover_the_screen_until_a_key_or_a_click(self):
        session = self.start()
        # The last one is ended from outside, as the system's Close Program
        # box or a crash would end it. Enter held to leave the test (the
        # Apply button's key, whose repeats once reached the window) changes
        # nothing.
        cases = [
            (("click", ID.IDC_FULL_SCREEN), "Dark Blue", "Yellow", "key", "full-screen-test.png"),
            (("click", ID.IDC_FULL_SCREEN), "Green", "Black", "held", None),
            (("command", ID.IDM_TEST), "Brown", "White", "click", None),
            (("click", ID.IDC_FULL_SCREEN), "Dark Gray", "Dark Cyan", "outside", None),
            (("command", ID.IDM_TEST), "Red", "Yellow", "front", None),  # the keyboard gone: the test ends
        ]
        for action, back, text, end_by, picture in cases:
            with self.subTest(action=action, back=back, text=text, end_by=end_by):
                session.select(BACK, back, TEXT, text)
                shown, ended = self.run_test(session, action, back, text, end_by, picture)
                words = back.replace(" ", "_") + " " + text.replace(" ", "_")
                self.assertEqual(len(shown), 3, shown)
                self.assertEqual(shown[0], ("sound", "click.wav", SND_ASYNC))
                self.assertEqual(shown[1][0], "launch")
                self.assertTrue(shown[1][1].endswith("\\build\\%s\\test.exe" % PRODUCT.name), shown[1][1])
                self.assertEqual(shown[1][2], '"%s" %s' % (shown[1][1], words))
                # The loop starts after the launch and stops once the test has ended.
                self.assertEqual(shown[2], ("sound", "testing.wav", SND_ASYNC | SND_LOOP))
                self.assertEqual(ended, [("sound", None, 0)])
                self.assertMainWindow(session, back, text)
                if end_by == "held":  # a repeat of the Enter held in the test, as the keyboard sends it: dropped
                    self.assertEqual(session.act("post", session.control(ID.IDC_APPLY), 0x100, 13, 0x401C0001), [])
        self.addCleanup(session.other.wait, 130)
        session.drive("find", *OTHER_PROGRAM, "*", 0, "post", "found", WM_CLOSE, 0, 0)
        self.assertTrue(session.running())

    def test_from_a_folder_with_spaces_and_from_a_read_only_cd(self):
        # Started from its own folder, or from drive D: holding the CD image,
        # where nothing can be written: the window, the full-screen test with
        # test.exe from the same place, the sounds found there, and an Apply
        # that writes in the Windows directory alone.
        places = [
            ("folder", lambda: install_copy("Program Files\\Hueline"), "C:\\Program Files\\Hueline\\"),
            ("cd", insert_cd, CD_LETTER.upper() + "\\"),
        ]
        sounds = {"refresh.wav", "click.wav", "testing.wav", "apply.wav"}
        self.addCleanup(eject_cd)
        for label, place, folder in places:
            with self.subTest(label):
                session = self.start(place(), label, debug="+relay,+file")
                session.select(BACK, "Dark Green", TEXT, "White")
                shown, ended = self.run_test(session, ("click", ID.IDC_FULL_SCREEN), "Dark Green", "White", "key")
                test = folder + "test.exe"
                self.assertEqual([c for c in shown if c[0] == "launch"],
                                 [("launch", test, '"%s" Dark_Green White' % test)])
                self.assertEqual(ended, [("sound", None, 0)])
                self.assertMainWindow(session, "Dark Green", "White")
                self.assertEqual(session.act("command", ID.IDM_APPLY), [("sound", "apply.wav", SND_ASYNC)])
                session.click(ID.IDC_EXIT)
                self.assertTrue(session.wait_exit())
                self.assertEqual(read_or_none(SYSTEM_INI),
                                 INSTALLED[:INSTALLED.index(b"Message")] + marker_block(b"2", b"F"))
                self.assertEqual(read_or_none(SYSTEM_OLD), INSTALLED)
                opened, writes = files_used(session.trace_path, folder)
                self.assertEqual(writes, [])
                self.assertEqual(opened, {(folder + name).lower() for name in sounds})

    def test_a_test_exe_that_never_ends_holds_the_window_but_never_hangs_it(self):
        program = install_copy("Hueline Hangs")
        shutil.copyfile(DRIVER, program.parent / "test.exe")  # the driver, named so, sleeps for ever
        session = self.start(program)
        session.select(BACK, "Dark Blue", TEXT, "Yellow")
        session.click(ID.IDC_REFRESH)
        place = session.place()
        # A finished batch file's window, of the class and caption the wait
        # looks for, is another program's: left alone, and no end of the test.
        other = stand_window("tty", "Finished - TEST")
        self.addCleanup(other.wait, 130)
        self.assertEqual(session.drive("find", "tty", "Finished - TEST", "*", 10000)[0]["count"], "1")
        since = session.mark()
        session.click(ID.IDC_FULL_SCREEN, False)
        session.held(20000)
        # The taskbar's Close, and a close box's, during the test: dropped; and
        # another program's click on Apply, a menu command and a Close, sent:
        # answered at once, but none runs.
        session.post(session.window, WM_SYSCOMMAND, SC_CLOSE, 0, settle=False)
        session.post(session.window, WM_CLOSE, 0, 0, settle=False)
        for window, message, wparam in ((session.control(ID.IDC_APPLY), BM_CLICK, 0),
                                        (session.window, WM_COMMAND, ID.IDM_APPLY), (session.window, WM_CLOSE, 0)):
            self.assertLess(float(session.drive("send", window, message, wparam, 0, HANG_MS)[0]["took-ms"]), 1000)
        # Another program's message is answered at once (5 s counts as a hang).
        answers = sorted(session.ping(20))
        print("\n  messages sent during the test: answered in %.1f ms (median), %.1f ms at most"
              % (answers[len(answers) // 2], answers[-1]), end=" ", flush=True)
        # The window repaints what was covered, and no click reaches it.
        session.cover(300, held=True)
        self.assertEqual(preview_problems(place, "Dark Blue", "Yellow")[:4], [])
        for button in (ID.IDC_APPLY, ID.IDC_EXIT, ID.IDC_FULL_SCREEN):
            session.user_click(button)
        shown = session.calls(since)
        self.assertEqual([call[0] for call in shown], ["sound", "launch", "sound"])
        session.held(0)
        # Ended from outside: the window answers again, the loop stops, and the
        # clicks made meanwhile have done nothing.
        since = session.mark()
        ended = session.end_screen("outside")
        self.assertLess(ended["answer-delay-ms"], 1000.0)
        self.assertEqual(ended["main-front"], "yes")
        self.assertEqual(session.calls(since), [("sound", None, 0)])
        self.assertMainWindow(session, "Dark Blue", "Yellow")
        self.assertEqual(session.act("click", ID.IDC_CANCEL_SELECTION), [("sound", "cancel.wav", SND_ASYNC)])
        self.assertTrue(session.running())
        self.assertEqual(session.count("tty", "Finished - TEST"), 1)
        session.drive("find", "tty", "Finished - TEST", "*", 0, "post", "found", WM_CLOSE, 0, 0)

    def test_without_test_exe_the_click_sounds_and_a_box_tells_why(self):
        program = install_copy("Hueline Alone", with_test=False)
        session = self.start(program)
        session.select(BACK, "Green", TEXT, "Black")
        for action in (("click", ID.IDC_FULL_SCREEN), ("command", ID.IDM_TEST)):
            with self.subTest(action=action):
                calls = session.act(*action)
                self.assertEqual([c for c in calls if c[0] != "launch"], [
                    ("sound", "click.wav", SND_ASYNC), ("question", session.window, "The full-screen test C:\\Hueline "
                     "Alone\\test.exe could not be started. The file does not exist.", MESSAGE_CAPTION, 16)])
                session.press(MESSAGE_CAPTION, IDOK)
                self.assertEqual(session.screens(), 0)
                self.assertMainWindow(session, "Green", "Black")
        self.assertTrue(session.running())

    def test_with_sounds_off_no_cue_and_no_stop(self):
        session = self.start()
        self.assertEqual(session.act("command", ID.IDM_SOUNDS), [("check", ID.IDM_SOUNDS, 0)])
        session.select(BACK, "Red", TEXT, "Dark Blue")
        shown, ended = self.run_test(session, ("command", ID.IDM_TEST), "Red", "Dark Blue", "key")
        self.assertEqual([c[0] for c in shown], ["launch"])
        self.assertEqual(ended, [])
        self.assertMainWindow(session, "Red", "Dark Blue")


class TestProgramArgumentsTest(unittest.TestCase):
    def test_bad_arguments_print_one_line_of_usage_and_exit_2(self):
        cases = [(), ("Blue",), ("Blue", "White", "Red"), ("blue", "White"), ("Dark Blue", "White"),
                 ("Blue_[default]", "White"), ("Blue", "W" * 3000)]
        for words in cases:
            with self.subTest(words=[w[:20] for w in words]):
                code, output = run_test_program(*words)
                self.assertEqual(code, 2)
                self.assertEqual(output, USAGE)


if __name__ == "__main__":
    unittest.main()
