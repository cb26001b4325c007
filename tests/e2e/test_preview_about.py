"""End-to-end tests of the preview, the About box and the homepage command:
the preview's pixels read back from the screen, the About box's behaviour,
and the sounds and the shell call read from the trace. The pictures for
README.md (make screenshots) are taken here too."""

import unittest

import harness
from harness import ABOUT_CAPTION, ARTEFACTS, ID, grab, rect
from test_main_window import BACK, STANDARD_CLIENT_SIZE, TEXT, SND_ASYNC, Case
from test_main_window import COLOURS as NAMES
from check_resources import COLOURS, LETTER_A, PROGRAM_COLOURS, PROGRAM_PICTURE, ROUNDED_SQUARE

PREVIEW_AT = (258, 195)  # client-area pixels of the picture's top left corner, at 96 dpi
MARGIN = 3               # pixels around the picture that must keep the background
# The colours the dialog itself draws with (text, lists, faces, shadows):
# pixels of them outside the preview tell nothing.
DIALOG_COLOURS = {"Black", "White", "Gray", "Dark Gray"}
LARGE_IMAGE = (4, 4, 4)  # the 48 x 48 image of every icon, never to be drawn
SW_SHOW = 5
CLICK = ("sound", "click.wav", SND_ASYNC)
REFRESH = ("sound", "refresh.wav", SND_ASYNC)


def preview_picture(back, text):
    """The 32 x 32 preview of back on text: rows of colours, None where the
    dialog shows through."""
    return [[COLOURS[NAMES.index(text)] if LETTER_A[r][c] == "#" else
             COLOURS[NAMES.index(back)] if ROUNDED_SQUARE[r][c] == "#" else None
             for c in range(32)] for r in range(32)]


def places_of(picture, icon):
    """Every place (x, y) of picture where all the opaque pixels of icon (rows
    of colours, None for transparent) stand."""
    opaque = [(c, r, colour) for r, row in enumerate(icon) for c, colour in enumerate(row) if colour]
    first_x, first_y, first_colour = opaque[0]
    found = []
    for y in range(picture.height - len(icon) + 1):
        for x in range(picture.width - len(icon[0]) + 1):
            if picture.pixel(x + first_x, y + first_y) != first_colour:
                continue
            if all(picture.pixel(x + c, y + r) == colour for c, r, colour in opaque):
                found.append((x, y))
    return found


def label_lines(picture, box, colour=(0, 0, 0)):
    """The lines of text of colour inside box (x, y, width, height) of
    picture, top to bottom, each as (first row, last row, width); an
    underline one blank row below its line belongs to it."""
    x0, y0, width, height = box
    rows = [[x for x in range(x0, x0 + width) if picture.pixel(x, y) == colour] for y in range(y0, y0 + height)]
    lines = []
    for y, row in enumerate(rows):
        if not row:
            continue
        if lines and y - lines[-1][1] <= 2:
            first, _, left, right = lines[-1]
            lines[-1] = (first, y, min(left, row[0]), max(right, row[-1]))
        else:
            lines.append((y, y, row[0], row[-1]))
    return [(first, last, right - left + 1) for first, last, left, right in lines]


def ini(back, text):
    return b"[386Enh]\r\nMessageBackColor=%X\r\nMessageTextColor=%X\r\n" % (NAMES.index(back), NAMES.index(text))


def preview_problems(place, back, text):
    """What differs between the screen and back on text at the preview's
    place in the main window (as Session.place gives it): the square, the
    letter, and the untouched background around and between them."""
    x, y = place["client"][:2]
    size = 32 + 2 * MARGIN
    picture = grab((x + PREVIEW_AT[0] - MARGIN, y + PREVIEW_AT[1] - MARGIN, size, size))
    background = picture.pixel(0, 0)
    wrong = []
    for row in range(size):
        for column in range(size):
            r, c = row - MARGIN, column - MARGIN
            want = background
            if 0 <= r < 32 and 0 <= c < 32:
                if LETTER_A[r][c] == "#":
                    want = COLOURS[NAMES.index(text)]
                elif ROUNDED_SQUARE[r][c] == "#":
                    want = COLOURS[NAMES.index(back)]
            if picture.pixel(column, row) != want:
                wrong.append("(%d,%d) %s not %s" % (c, r, picture.pixel(column, row), want))
    return wrong


class PreviewCase(Case):
    def assertPreview(self, session, back, text, why=""):
        """The preview shows back on text: pixel for pixel at its place on
        the machine the layout is made for; on every machine whole, at 32 x
        32, inside the "Preview" group box, and nowhere else. Returns where
        it stands in the client area and the box's client rectangle there."""
        what = "%s on %s %s" % (back, text, why)
        place = session.place()
        if harness.MACHINE.standard:
            wrong = preview_problems(place, back, text)
            self.assertEqual(wrong[:4], [], "%s: %d pixels differ" % (what, len(wrong)))
        client, box = place["client"], place["preview-box"]
        box = (box[0] - client[0], box[1] - client[1], box[2], box[3])
        picture = grab(client, session.folder / "client.png")

        def inside(x, y):
            return box[0] <= x < box[0] + box[2] and box[1] <= y < box[1] + box[3]

        self.assertEqual(picture.count(LARGE_IMAGE), 0, what)
        for name in {back, text} - DIALOG_COLOURS:
            outside = [(x, y) for y in range(picture.height) for x in range(picture.width)
                       if not inside(x, y) and picture.pixel(x, y) == COLOURS[NAMES.index(name)]]
            self.assertEqual(outside[:4], [], "%s: %s pixels outside the Preview box" % (what, name))
        if back == text and back in DIALOG_COLOURS:
            return None, box
        places = places_of(picture, preview_picture(back, text))
        self.assertEqual(len(places), 1, "%s: the picture stands at %s" % (what, places))
        x, y = places[0]
        self.assertTrue(inside(x, y) and inside(x + 31, y + 31), "%s: at %d,%d, not inside %s" % (what, x, y, box))
        return places[0], box


class PreviewTest(PreviewCase):
    def test_preview_shows_the_pair_and_a_list_click_only_after_refresh(self):
        session = self.start(ini("Yellow", "Dark Blue"))
        # Start-up refreshes once, before the window is shown.
        self.assertEqual(session.calls(), [REFRESH])
        at, box = self.assertPreview(session, "Yellow", "Dark Blue", "at start")
        size = session.state()["client-size"]
        print("\n  %s: a %s client area, the preview at %d,%d in the Preview box %d,%d %dx%d"
              % (harness.MACHINE.name, size, at[0], at[1], *box), end=" ", flush=True)
        if not harness.MACHINE.standard:
            self.assertNotEqual(size, STANDARD_CLIENT_SIZE, "the dialog keeps the standard size")

        self.assertEqual(session.act("select", BACK, "Green", TEXT, "Red"), [])
        self.assertPreview(session, "Yellow", "Dark Blue", "after list clicks alone")
        self.assertEqual(session.act("click", ID.IDC_REFRESH), [REFRESH])
        self.assertPreview(session, "Green", "Red", "after Refresh")

        session.select(BACK, "White", TEXT, "White")
        self.assertEqual(session.act("command", ID.IDM_REFRESH), [REFRESH])
        self.assertPreview(session, "White", "White", "from the menu's Refresh: a plain square")

        session.select(BACK, "Black", TEXT, "Cyan")
        self.assertEqual(session.act("click", ID.IDC_REFRESH), [REFRESH])
        self.assertPreview(session, "Black", "Cyan", "after Refresh")
        self.assertEqual(session.act("cover", 300), [])
        self.assertPreview(session, "Black", "Cyan", "after being covered and uncovered")

    def test_a_colour_menu_pick_shows_at_the_next_paint(self):
        session = self.start(ini("Dark Red", "Yellow"))
        self.assertPreview(session, "Dark Red", "Yellow", "at start")
        self.assertEqual(session.act("command", ID.IDM_BACK_RED), [CLICK])  # background "Red"
        self.assertEqual(session.act("command", ID.IDM_TEXT_DARK_BLUE), [CLICK])  # text "Dark Blue"
        self.assertPreview(session, "Dark Red", "Yellow", "before a paint")
        for time in ("first", "second"):
            with self.subTest(time):
                self.assertEqual(session.act("cover", 300), [], "a repaint makes no sound")
                self.assertPreview(session, "Red", "Dark Blue", "after being covered the %s time" % time)

    def test_readme_picture_of_the_main_dialog(self):
        session = self.start(ini("Blue", "White"))
        session.select(BACK, "Dark Blue", TEXT, "Yellow")
        session.click(ID.IDC_REFRESH)
        self.assertPreview(session, "Dark Blue", "Yellow")
        place = session.place()
        window, client = place["rect"], place["client"]
        picture = grab(window, ARTEFACTS / "main-dialog-preview.png")
        # The picture the README shows holds the preview, once, where the
        # window draws it.
        at = (client[0] - window[0] + PREVIEW_AT[0], client[1] - window[1] + PREVIEW_AT[1])
        self.assertEqual(places_of(picture, preview_picture("Dark Blue", "Yellow")), [at])
        # The Apply button's label whole, as Windows 98 draws it: "Apply New"
        # over "Settings", a blank row or more between the text and the
        # button's 3-pixel edge (the default button's frame and its shadow).
        button = rect(session.props(session.control(ID.IDC_APPLY))["client"])
        inside = (button[0] - window[0] + 3, button[1] - window[1] + 3, button[2] - 6, button[3] - 6)
        lines = label_lines(picture, inside)
        self.assertEqual(len(lines), 2, lines)
        self.assertGreater(lines[0][2], lines[1][2], "the first line is the longer, " + str(lines))
        self.assertGreater(lines[0][0], 0, lines)
        self.assertLess(lines[-1][1], inside[3] - 1, lines)


class AboutTest(PreviewCase):
    def open_about(self, session, action, sounds):
        calls = session.act(*action)
        self.assertEqual(calls, sounds, action)
        main_enabled = session.props(session.window)["enabled"]
        about = session.box(ABOUT_CAPTION, 10000, painted=True)
        self.assertEqual((about["owner"], main_enabled), ("main", "no"), action)
        return about

    def close_about(self, session):
        calls = session.act("close_box", ABOUT_CAPTION)
        self.assertEqual(len(calls), 1)
        self.assertEqual(calls[0][0], "end")
        self.assertNotEqual(calls[0][1], session.window, "the main dialog ended")
        self.assertEqual(calls[0][2], 0)

    def test_about_box_from_its_button_and_both_menu_commands(self):
        session = self.start(ini("Dark Red", "Yellow"))
        for action, sounds in ((("click", ID.IDC_ABOUT), [CLICK]),
                               (("command", ID.IDM_ABOUT), [CLICK, CLICK]),
                               (("command", ID.IDM_ABOUT_HIDDEN), [CLICK, CLICK])):
            with self.subTest(action=action):
                about = self.open_about(session, action, sounds)
                # The icon's 32 x 32 picture at every dpi, never its 48 x 48 image (a near-black square).
                self.assertEqual(grab(rect(about["rect"])).count((4, 4, 4)), 0)
                # 283 x 223 dialog units at 8-point MS Sans Serif's 6 x 13 base units.
                if harness.MACHINE.standard:
                    self.assertEqual(rect(about["client"])[2:], (425, 362))
                for key in ("escape", "enter"):
                    self.assertEqual(session.act("key_into", ABOUT_CAPTION, key), [], key)
                    self.assertEqual(session.box(ABOUT_CAPTION)["window"], about["window"], key)
                self.close_about(session)
                # The main dialog answers again, unchanged.
                self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
                self.assertEqual(session.act("click", ID.IDC_CANCEL_SELECTION), [("sound", "cancel.wav", SND_ASYNC)])
                self.assertPreview(session, "Dark Red", "Yellow", "after the About box")
        self.assertTrue(session.running())

    def test_about_box_opens_silently_with_sounds_off(self):
        session = self.start(ini("Dark Red", "Yellow"))
        self.assertEqual(session.act("command", ID.IDM_SOUNDS), [("check", ID.IDM_SOUNDS, 0)])
        for action in (("click", ID.IDC_ABOUT), ("command", ID.IDM_ABOUT), ("command", ID.IDM_ABOUT_HIDDEN)):
            with self.subTest(action=action):
                self.open_about(session, action, [])
                self.close_about(session)

    def test_readme_picture_of_the_about_box(self):
        session = self.start(ini("Blue", "White"))
        about = self.open_about(session, ("click", ID.IDC_ABOUT), [CLICK])
        picture = grab(rect(about["rect"]), ARTEFACTS / "about-box.png")
        # The program's icon stands once, in the top right corner of the box.
        icon = [[PROGRAM_COLOURS.get(c) for c in row] for row in PROGRAM_PICTURE]
        places = places_of(picture, icon)
        self.assertEqual(len(places), 1, places)
        self.assertGreater(places[0][0], picture.width // 2)
        self.assertLess(places[0][1], picture.height // 8)
        self.close_about(session)


class HomepageTest(Case):
    def test_homepage_goes_to_the_shell_with_no_owner(self):
        session = self.start(ini("Dark Red", "Yellow"))
        calls = session.act("command", ID.IDM_HOMEPAGE)
        self.assertEqual(calls, [CLICK, ("shell", "00000000", "open", "http://www.hueline.org", "", "", SW_SHOW)])
        self.assertWindow(session, "Dark Red", "Yellow", "Dark Red", "Yellow")
        self.assertTrue(session.running())


if __name__ == "__main__":
    unittest.main()
