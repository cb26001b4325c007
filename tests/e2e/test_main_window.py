"""End-to-end tests of hueline.exe's main window under Wine: what the user
sees in the window, what lands in system.ini and system.old, and which sounds
and restart the program asks the system for."""

import re
import unittest

import harness
from harness import (ARTEFACTS, ID, IDNO, IDOK, IDYES, MESSAGE_CAPTION, PROGRAM, QUESTION_CAPTION, SYSTEM_INI,
                     SYSTEM_OLD, Session, grab, marker_block, read_or_none, rect, system_facts, settings_names,
                     windows_path)

BACK, TEXT = ID.IDC_BACK_LIST, ID.IDC_TEXT_LIST
QUESTION_TEXT = ("The settings you have chosen will only take effect\n"
                 "after your computer is restarted.\n"
                 "Please close all other applications before restarting.\n"
                 "Do you want to restart your computer now?")
MB_YESNO_ICONINFORMATION = 0x44
SND_ASYNC = 1
SND_SYNC = 0
EWX_REBOOT = 2
# 213 x 166 dialog units at the 6 x 13 base units of 8-point MS Sans Serif.
STANDARD_CLIENT_SIZE = "320x270"

# The colours in list and menu order.
COLOURS = ["Black", "Dark Blue", "Dark Green", "Dark Cyan", "Dark Red", "Dark Mauve", "Brown", "Gray",
           "Dark Gray", "Blue", "Green", "Cyan", "Red", "Mauve", "Yellow", "White"]
# Numbers among the menu commands that nothing is bound to.
UNBOUND = (40023, 40032, 40050)
assert not set(UNBOUND) & set(vars(ID).values()), "a number thought unbound is in resource.h"

# The file most cases start from: colours installed by hand, Dark Red on
# Yellow, between other settings that every rewrite must keep.
HAND_INSTALLED = (
    b"[boot]\r\n"
    b"shell=Explorer.exe\r\n"
    b"[386Enh]\r\n"
    b"device=*vpicd\r\n"
    b"MessageBackColor=4\r\n"
    b"MessageTextColor=E\r\n"
    b"[drivers]\r\n"
    b"wave=mmsystem.dll\r\n"
)


def hand_installed_as(back, text):
    """HAND_INSTALLED as an Apply of colour digits back and text leaves it: its
    own colour lines gone, the program's five lines after [386Enh]."""
    return (
        b"[boot]\r\n"
        b"shell=Explorer.exe\r\n"
        b"[386Enh]\r\n" + marker_block(back, text) +
        b"device=*vpicd\r\n"
        b"[drivers]\r\n"
        b"wave=mmsystem.dll\r\n"
    )


class Case(unittest.TestCase):
    """Starts one program run per test (more with start()), and ends them."""

    def setUp(self):
        self.sessions = []

    def tearDown(self):
        for session in self.sessions:
            session.close()

    def start(self, system_ini, label="", program=PROGRAM, debug="+relay"):
        """Starts the program (a copy of it, when given) on this system.ini
        (None: no file), after ending any earlier run of the test."""
        for earlier in self.sessions:
            earlier.close()
        name = self.id().rsplit(".", 1)[-1] + (("-" + label) if label else "")
        session = Session(name, system_ini, program, debug)
        self.sessions.append(session)
        session.open()
        return session

    def start_showing(self, system_ini, back, text, *picks):
        """Starts the program on this system.ini, sees back on text as
        installed and selected, then selects the picks (IDC_BACK_LIST,
        "Green"...) in the lists."""
        session = self.start(system_ini)
        self.assertWindow(session, back, text, back, text)
        if picks:
            session.select(*picks)
        return session

    def assertWindow(self, session, back_current, text_current, back_list, text_list):
        state = session.state()
        self.assertEqual(
            (state["back-current"], state["text-current"], state["back-list"], state["text-list"]),
            (back_current, text_current, back_list, text_list),
            "the two Current fields and the selections of the two lists")
        return state

    def assertFiles(self, system_ini, system_old):
        self.assertEqual(read_or_none(SYSTEM_INI), system_ini, "system.ini")
        self.assertEqual(read_or_none(SYSTEM_OLD), system_old, "system.old")

    def assertEnds(self, session):
        self.assertTrue(session.wait_exit(), "the program did not end")


class InitTest(Case):
    def test_installed_colours_are_read_at_start(self):
        files = [
            ("no colour lines", b"[boot]\r\nshell=Explorer.exe\r\n[386Enh]\r\ndevice=*vpicd\r\n",
             "Blue", "White"),
            ("no system.ini", None, "Blue", "White"),
            ("hex digits", b"[386Enh]\r\nMessageBackColor=4\r\nMessageTextColor=E\r\n",
             "Dark Red", "Yellow"),
            ("lower case, 0x prefix, blank", b"[386Enh]\r\nMessageBackColor=c\r\nMessageTextColor= 0xB\r\n",
             "Red", "Cyan"),
            ("repeated keys, any section, LF ends",
             b"[386Enh]\nMessageBackColor=2\nMessageTextColor=1\n[other]\nMessageBackColor=4\n",
             "Dark Red", "Dark Blue"),
            ("keys not at the line start or in another case",
             b"[386Enh]\r\nmessagebackcolor=1\r\n MessageBackColor=2\r\nMESSAGETEXTCOLOR=3\r\n",
             "Blue", "White"),
            ("last line without an end", b"[386Enh]\r\nMessageTextColor=E\r\nMessageTextColor=0",
             "Blue", "Yellow"),
        ]
        for label, content, back, text in files:
            with self.subTest(label):
                session = self.start(content, label.replace(" ", "-").replace(",", ""))
                self.assertWindow(session, back, text, back, text)
                # Both icons set, and WM_GETICON answered: Wine passes no WM_GETICON
                # between processes, so its own asking, in the program's trace, tells.
                trace = session.trace_path.read_text("latin-1")
                # (A 64-bit trace gives the handle in 16 digits.)
                for wanted in (r"Call window proc \w+ \(hwnd=0*%s,msg=WM_SETICON,wp=00000000,lp=0*[1-9a-f]",
                               r"Call window proc \w+ \(hwnd=0*%s,msg=WM_SETICON,wp=00000001,lp=0*[1-9a-f]",
                               r"Ret  window proc \w+ \(hwnd=0*%s,msg=WM_GETICON,wp=0+,lp=0+\) retval=0*[1-9a-f]"):
                    self.assertTrue(re.search(wanted % session.window.upper().lstrip("0"), trace), wanted)
                session.click(ID.IDC_EXIT)
                self.assertEnds(session)
                self.assertFiles(content, None)


class CancelTest(Case):
    def test_list_clicks_are_thrown_away_by_cancel(self):
        session = self.start(HAND_INSTALLED)
        session.select(BACK, "Green", TEXT, "Black")
        self.assertWindow(session, "Dark Red", "Yellow", "Green", "Black")

        calls = session.act("click", ID.IDC_CANCEL_SELECTION)
        self.assertEqual(calls, [("sound", "cancel.wav", SND_ASYNC)])
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")

        session.select(BACK, "White", TEXT, "Black")
        self.assertWindow(session, "Dark Red", "Yellow", "White", "Black")
        calls = session.act("command", ID.IDM_CANCEL_SELECTION)
        self.assertEqual(calls, [("sound", "cancel.wav", SND_ASYNC)])
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        self.assertFiles(HAND_INSTALLED, None)


class ApplyTest(Case):
    GREEN_ON_BLACK = hand_installed_as(b"A", b"0")

    def test_apply_from_the_menu_writes_and_asks_nothing(self):
        session = self.start(HAND_INSTALLED)
        # List clicks alone, no Refresh: Apply takes the lists as they stand.
        session.select(BACK, "Green", TEXT, "Black")
        since = session.mark()
        session.command(ID.IDM_APPLY)
        # The system's cache of system.ini is flushed before the file is read
        # for the rewrite, after it is written, and before it is read back.
        self.assertEqual(session.calls(since, flushes=True),
                         [("sound", "apply.wav", SND_ASYNC)] + [("flush-profiles", "system.ini")] * 3)
        # The program's files are made under upper-case names; system.ini is
        # never written into, but replaced by the new file, after the copy has
        # replaced system.old; and on Windows 9x the volume is committed
        # through VWIN32 once the journal is written and after every removal
        # and rename, the journal's last.
        commit = [] if harness.MACHINE.nt else [("CreateFileA", "vwin32")]
        steps = [call for call in session.calls(since, files=True) if call[0] in ("create", "rename", "delete",
                                                                                  "CreateFileA")]
        self.assertEqual(steps, [("create", "HUELINE.BAK"), ("create", "HUELINE.NEW"), ("create", "HUELINE.MRK")]
                         + commit + [("rename", "HUELINE.BAK", "SYSTEM.OLD")] + commit
                         + [("delete", "SYSTEM.INI")] + commit + [("rename", "HUELINE.NEW", "SYSTEM.INI")] + commit
                         + [("delete", "HUELINE.MRK")] + commit)
        self.assertEqual(sorted(entry.name for entry in settings_names()), ["SYSTEM.INI", "SYSTEM.OLD"])
        state = self.assertWindow(session, "Green", "Black", "Green", "Black")
        self.assertEqual(state["question"], "none")
        self.assertFiles(self.GREEN_ON_BLACK, HAND_INSTALLED)

        # The same pair again: both files are rewritten, one block remains.
        calls = session.act("command", ID.IDM_APPLY)
        self.assertEqual(calls, [("sound", "apply.wav", SND_ASYNC)])
        self.assertFiles(self.GREEN_ON_BLACK, self.GREEN_ON_BLACK)
        self.assertTrue(session.running())

    def test_apply_without_a_386enh_section_shows_what_the_file_holds(self):
        no_section = (
            b"[boot]\r\n"
            b"MessageBackColor=4\r\n"
            b"shell=Explorer.exe\r\n"
        )
        session = self.start_showing(no_section, "Dark Red", "White", BACK, "Green")
        calls = session.act("command", ID.IDM_APPLY)
        self.assertEqual(calls, [
            ("sound", "apply.wav", SND_ASYNC),
            ("question", session.window,
             "The color lines were removed, but the new colors were not installed: "
             + windows_path("system.ini") + " has no [386Enh] line.", MESSAGE_CAPTION, 0x40)])
        session.press(MESSAGE_CAPTION, IDOK, 10000)
        # The colour lines are gone and none could be added: the defaults show.
        self.assertWindow(session, "Blue", "White", "Green", "White")
        self.assertFiles(b"[boot]\r\nshell=Explorer.exe\r\n", no_section)

    def test_apply_button_answered_no_keeps_the_window(self):
        # A section a line: the block of an earlier Apply, a look-alike, and a
        # colour line in another section, whose last line ends in LF alone.
        earlier_block = (b"[boot]\r\n"
                         b"[386Enh]\r\n" + marker_block(b"4", b"E") + b"device=*vpicd\r\nmessagebackcolor=5\r\n"
                         b"[Extra]\r\nMessageTextColor=1\r\nkey=value\n")
        expected = (b"[boot]\r\n"
                    b"[386Enh]\r\n" + marker_block(b"3", b"F") + b"device=*vpicd\r\nmessagebackcolor=5\r\n"
                    b"[Extra]\r\nkey=value\n")
        session = self.start_showing(earlier_block, "Dark Red", "Dark Blue", BACK, "Dark Cyan", TEXT, "White")

        # The NT family never reads the colours: no restart is offered there.
        asks = not harness.MACHINE.nt
        since = session.mark()
        session.click(ID.IDC_APPLY)
        box = session.box(QUESTION_CAPTION, 10000) if asks else None
        question = ("question", session.window, QUESTION_TEXT, QUESTION_CAPTION, MB_YESNO_ICONINFORMATION)
        self.assertEqual(session.calls(since), [("sound", "apply.wav", SND_ASYNC)] + ([question] if asks else []))
        # The files and the fields are done before the question is asked.
        self.assertFiles(expected, earlier_block)
        if asks:
            self.assertEqual((box["owner"], box["message"]), ("main", QUESTION_TEXT))
            self.assertEqual((box["buttons"], box["default"]), ("&Yes#6,&No#7", "&Yes"))
            self.assertEqual(session.act("press", QUESTION_CAPTION, IDNO), [])
        state = self.assertWindow(session, "Dark Cyan", "White", "Dark Cyan", "White")
        self.assertEqual(state["question"], "none")
        self.assertFiles(expected, earlier_block)

        since = session.mark()
        session.click(ID.IDC_EXIT)
        self.assertEnds(session)
        self.assertEqual(session.calls(since), [("sound", "click.wav", SND_SYNC), ("end", session.window, 0)])
        self.assertNotIn("restart", [call[0] for call in session.calls()])

    def assertAppliedAndRestarted(self, session, since, expected):
        # The restart ends every process of the prefix: the outcome is read
        # from the trace and the files alone.
        self.assertEnds(session)
        self.assertEqual(session.calls(since), [
            ("sound", "apply.wav", SND_ASYNC),
            ("question", session.window, QUESTION_TEXT, QUESTION_CAPTION, MB_YESNO_ICONINFORMATION),
            ("end", session.window, 0),
            ("restart", EWX_REBOOT, 0xFFFFFFFF)])  # and not EWX_FORCE: programs are asked
        self.assertFiles(expected, HAND_INSTALLED)

    def test_apply_button_answered_yes_ends_and_restarts(self):
        expected = hand_installed_as(b"8", b"B")
        session = self.start(HAND_INSTALLED)
        session.select(BACK, "Dark Gray", TEXT, "Cyan")
        since = session.mark()
        session.click(ID.IDC_APPLY)
        session.press(QUESTION_CAPTION, IDYES, 10000, wait=False)
        self.assertAppliedAndRestarted(session, since, expected)

    def test_enter_applies_and_enter_answers_yes(self):
        expected = hand_installed_as(b"4", b"E")
        session = self.start(HAND_INSTALLED)
        since = session.mark()
        session.key("enter")
        session.key_into(QUESTION_CAPTION, "enter", 10000, settle=False)
        self.assertAppliedAndRestarted(session, since, expected)


class RestoreTest(Case):
    def test_restore_removes_every_colour_line(self):
        installed = (
            b"[boot]\r\n"
            b"[386Enh]\r\n" + marker_block(b"2", b"E") +
            b"device=x\r\n"
            b" MessageBackColor=3\r\n"
            b"[other]\r\n"
            b"MessageBackColor=C\r\n"
        )
        restored = (
            b"[boot]\r\n"
            b"[386Enh]\r\n"
            b"device=x\r\n"
            b" MessageBackColor=3\r\n"
            b"[other]\r\n"
        )
        session = self.start_showing(installed, "Red", "Yellow", BACK, "Black", TEXT, "Dark Mauve")

        calls = session.act("click", ID.IDC_RESTORE)
        self.assertEqual(calls, [("sound", "restore.wav", SND_ASYNC)])
        state = self.assertWindow(session, "Blue", "White", "Blue", "White")
        self.assertEqual(state["question"], "none")
        self.assertFiles(restored, installed)

        # From the menu, with nothing installed: the file is still rewritten.
        calls = session.act("command", ID.IDM_RESTORE)
        self.assertEqual(calls, [("sound", "restore.wav", SND_ASYNC)])
        self.assertWindow(session, "Blue", "White", "Blue", "White")
        self.assertFiles(restored, restored)
        self.assertTrue(session.running())


class ColourMenuTest(Case):
    # Each item by the name resource.h gives it, against the colour it names.
    BACKGROUND_ITEMS = [(getattr(ID, "IDM_BACK_" + name.upper().replace(" ", "_")), name) for name in COLOURS]
    TEXT_ITEMS = [(getattr(ID, "IDM_TEXT_" + name.upper().replace(" ", "_")), name) for name in COLOURS]

    def test_every_colour_item_moves_its_list(self):
        session = self.start(HAND_INSTALLED)
        back, text = "Dark Red", "Yellow"
        for items, which in ((self.BACKGROUND_ITEMS, "back"), (self.TEXT_ITEMS, "text")):
            for command, colour in items:
                with self.subTest(command=command, colour=colour):
                    calls = session.act("command", command)
                    self.assertEqual(calls, [("sound", "click.wav", SND_ASYNC)])
                    if which == "back":
                        back = colour
                    else:
                        text = colour
                    self.assertWindow(session, "Dark Red", "Yellow", back, text)

        # A click in a list is not part of the selection: the next menu pick
        # selects both lists from the selection again.
        session.select(BACK, "Green", TEXT, "Red")
        self.assertWindow(session, "Dark Red", "Yellow", "Green", "Red")
        self.assertEqual(session.act("command", ID.IDM_TEXT_CYAN), [("sound", "click.wav", SND_ASYNC)])
        self.assertWindow(session, "Dark Red", "Yellow", "White", "Cyan")
        self.assertFiles(HAND_INSTALLED, None)


class IgnoredInputTest(Case):
    def test_escape_and_unbound_commands_change_nothing(self):
        session = self.start(HAND_INSTALLED)
        session.select(BACK, "Green")
        ignored = [
            ("key", "escape"),
            ("command", 2),            # IDCANCEL, what Escape sends
            ("command", 1),            # IDOK
            ("command", ID.IDC_TEXT_CURRENT), ("command", ID.IDC_BACK_CURRENT),
            ("command", UNBOUND[0]), ("command", UNBOUND[1]), ("command", UNBOUND[2]),
            ("command", (2 << 16) | BACK),    # a double click in the list
            ("command", (1 << 16) | TEXT),    # a selection change in the list
        ]
        for action in ignored:
            with self.subTest(action=action):
                calls = session.act(*action)
                self.assertEqual(calls, [])
                state = self.assertWindow(session, "Dark Red", "Yellow", "Green", "Yellow")
                self.assertEqual(state["question"], "none")
        self.assertTrue(session.running())
        self.assertFiles(HAND_INSTALLED, None)


class ExitTest(Case):
    def test_exit_button_menu_and_close_box(self):
        for label, action in (("button", ("click", ID.IDC_EXIT)), ("menu", ("command", ID.IDM_EXIT)),
                              ("close box", ("close_window",))):
            with self.subTest(label):
                session = self.start(HAND_INSTALLED, label.replace(" ", "-"))
                session.select(BACK, "Green")
                session.command(ID.IDM_TEXT_BROWN)
                since = session.mark()
                session.do(*action)
                self.assertEnds(session)
                self.assertEqual(session.calls(since), [
                    ("sound", "click.wav", SND_SYNC), ("end", session.window, 0)])
                self.assertFiles(HAND_INSTALLED, None)
                # The message filter hands every message on with its own handle
                # (Windows 9x needs it), and is removed once the dialog has ended.
                trace = session.trace_path.read_text("latin-1")
                hook = re.findall(r"Ret  user32\.SetWindowsHookExA\(\) retval=(\w+)", trace)
                handed = re.findall(r"Call user32\.CallNextHookEx\((\w+),", trace)
                removed = re.findall(r"Call user32\.(EndDialog|UnhookWindowsHookEx)\((\w+)", trace)
                self.assertEqual(len(hook), 1)
                self.assertEqual({harness.low32(h) for h in handed}, {harness.low32(hook[0])})
                self.assertEqual([(call, harness.low32(h)) for call, h in removed[-2:]],
                                 [("EndDialog", int(session.window, 16)), ("UnhookWindowsHookEx", harness.low32(hook[0]))])


class AltLetterTest(Case):
    def test_each_alt_letter_reaches_one_button_or_menu(self):
        # A row a letter, typed as the keyboard does, and the calls that tell
        # what it reached (a menu by its first item, with Enter); then every
        # letter of nothing before C, which alone acts.
        session = self.start(HAND_INSTALLED)
        click, cancel, refresh = (("sound", name + ".wav", SND_ASYNC) for name in ("click", "cancel", "refresh"))
        about = lambda: session.close_box(harness.ABOUT_CAPTION)  # noqa: E731
        for keys, reached, then in [
                (["alt+c"], [cancel], None), (["alt+r"], [refresh], None),
                (["alt+l", "enter"], [refresh], None),  # Listed Actions: Refresh Preview
                (["alt+o", "enter"] * 2, [("check", ID.IDM_SOUNDS, 0), ("check", ID.IDM_SOUNDS, 8), click], None),
                (["alt+h", "enter"], [click, click], about), (["alt+a"], [click], about),  # Help: About Hueline
                (["alt+f"], [click, ("launch",), ("sound", "testing.wav", 9)],
                 lambda: session.screen(20000) and session.end_screen("key")),
                (["alt+b"], [("sound", "restore.wav", SND_ASYNC)], None),
                (["alt+n"], [("sound", "apply.wav", SND_ASYNC), ("question",)],
                 lambda: session.press(QUESTION_CAPTION, IDNO, 10000)),
                (["alt+" + c for c in "degijkmpqstuvwyz"] + ["alt+c"], [cancel], None),
                (["alt+x"], [("sound", "click.wav", SND_SYNC), ("end", session.window, 0)], None)]:
            with self.subTest(keys=keys[0]):
                since = session.mark()
                session.type_keys(*keys)
                calls = harness.poll(lambda: session.calls(since), lambda seen: len(seen) >= len(reached), 10)
                self.assertEqual([call[:len(want)] for call, want in zip(calls, reached)], reached)
                self.assertEqual(len(calls), len(reached), calls)
                if then:
                    then()
        self.assertEnds(session)
        self.assertFiles(hand_installed_as(b"9", b"F"), hand_installed_as(b"", b"").replace(marker_block(b"", b""), b""))


class SoundSwitchTest(Case):
    def test_sounds_off_silences_every_cue(self):
        session = self.start(HAND_INSTALLED)
        calls = session.act("command", ID.IDM_SOUNDS)
        self.assertEqual(calls, [("check", ID.IDM_SOUNDS, 0)])

        for action in (("click", ID.IDC_CANCEL_SELECTION), ("command", ID.IDM_BACK_YELLOW),
                       ("command", ID.IDM_CANCEL_SELECTION), ("command", ID.IDM_APPLY), ("click", ID.IDC_RESTORE)):
            with self.subTest(action=action):
                self.assertEqual(session.act(*action), [])
        # The actions themselves still ran: the last one restored the default.
        self.assertWindow(session, "Blue", "White", "Blue", "White")

        calls = session.act("command", ID.IDM_SOUNDS)
        self.assertEqual(calls, [("check", ID.IDM_SOUNDS, 8), ("sound", "click.wav", SND_ASYNC)])
        calls = session.act("click", ID.IDC_CANCEL_SELECTION)
        self.assertEqual(calls, [("sound", "cancel.wav", SND_ASYNC)])

        calls = session.act("command", ID.IDM_SOUNDS)
        self.assertEqual(calls, [("check", ID.IDM_SOUNDS, 0)])
        since = session.mark()
        session.click(ID.IDC_EXIT)
        self.assertEnds(session)
        self.assertEqual(session.calls(since), [("end", session.window, 0)])


def colour(text):
    return tuple(int(part) for part in text.split(","))


class ScreenshotTest(Case):
    """What shows on the screen, pixel by pixel, against what the window says
    it holds: the dialog's face and each list's selected item."""

    def assertSelectionShows(self, session, list_id, rect, picture, expected):
        shown = session.list_boxes(list_id)[0]
        x, y, width, height = shown["client"]
        top, item_height = shown["top"], shown["height"]
        # The items that show whole, as screen rectangles.
        items = {index: (x, y + (index - top) * item_height, width, item_height)
                 for index in range(top, len(shown["items"])) if (index - top + 1) * item_height <= height}
        colours = system_facts()
        selected, highlight = shown["selected"], colour(colours["highlight-color"])
        self.assertEqual(selected, expected)
        self.assertIn(selected, items, "the selected item is scrolled out of view")
        self.assertGreater(len(items), 3, "hardly any item shows")
        for index, (x, y, width, height) in items.items():
            box = (x - rect[0], y - rect[1], width, height)
            marked = picture.count(highlight, box)
            with self.subTest(list=list_id, item=index):
                if index == selected:
                    # The highlight fills the item but for the letters on it.
                    self.assertGreater(marked, width * height // 2)
                else:
                    self.assertEqual(marked, 0)
        return colour(colours["face-color"])

    def test_main_window_picture(self):
        session = self.start(HAND_INSTALLED)
        state = session.state()
        self.assertEqual(state["client-size"], STANDARD_CLIENT_SIZE)
        window = rect(state["rect"])
        picture = grab(window, ARTEFACTS / "main-dialog.png")
        face = self.assertSelectionShows(session, BACK, window, picture, COLOURS.index("Dark Red"))
        self.assertSelectionShows(session, TEXT, window, picture, COLOURS.index("Yellow"))
        self.assertEqual(picture.most_common(), face, "the dialog is not drawn in the face colour")

        # A click moves the highlight on the screen, not only in the list.
        session.select(BACK, "Green")
        picture = grab(window, ARTEFACTS / "main-dialog-green.png")
        self.assertSelectionShows(session, BACK, window, picture, COLOURS.index("Green"))
        self.assertSelectionShows(session, TEXT, window, picture, COLOURS.index("Yellow"))


if __name__ == "__main__":
    unittest.main()
