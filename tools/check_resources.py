#!/usr/bin/env python3
"""Reads the resources back out of the built hueline.exe and compares them
with what the program must carry:

- icons 106, 107-122 and 124-139 (no 123): each a group of a 32 x 32 image
  with 16 colours and a 48 x 48 image with 256 colours; every pixel and every
  mask bit of both, colours included;
- dialog 107, the About box: size, styles, font, caption, and each control's
  class, style, rectangle and text where the text is fixed;
- the version resource: file and product version 1.0.0.0, the string block
  "080904b0" with the usual names, and its translation.

It also prints how much of the file the icons take.

Usage: check_resources.py EXE
"""
import os
import struct
import sys

RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION = 3, 5, 14, 16

# The preview colours (R, G, B) of colour numbers 0-15, as the icon maker has them.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources"))
from make_icons import PREVIEW_COLOURS as COLOURS  # noqa: E402
from pe_file import PeFile  # noqa: E402
LARGE_COLOUR = (4, 4, 4)

# The preview's two shapes, "#" opaque, "." transparent; row 0 at the top.
ROUNDED_SQUARE = [
    "......####################......",
    "....########################....",
    "...##########################...",
    "..############################..",
    ".##############################.",
    ".##############################.",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    "################################",
    ".##############################.",
    ".##############################.",
    "..############################..",
    "...##########################...",
    "....########################....",
    "......####################......",
]
LETTER_A = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "............######..............",
    "............######..............",
    "............######..............",
    "...........########.............",
    "...........########.............",
    "...........########.............",
    "..........##########............",
    "..........##########............",
    "..........##########............",
    ".........#####..#####...........",
    ".........#####..#####...........",
    ".........#####..#####...........",
    "........##############..........",
    "........##############..........",
    "........##############..........",
    ".......################.........",
    ".......#####......#####.........",
    ".......#####......#####.........",
    "......######......######........",
    "......#####........#####........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
# The program's own icon: B blue, G grey, W white, "." transparent.
PROGRAM_PICTURE = [
    "......BBBBBBBBBBBBBBBBBBBB......",
    "....BBBBBGGGGGGGGGGGGGGBBBBB....",
    "...BBBBBBGGGGGGGGGGGGGGBBBBBB...",
    "..BBBBBBBGGGGGGGGGGGGGGBBBBBBB..",
    ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",
    ".BBBBBBBBBBBWWWWWWBBBBBBBBBBBBB.",
    "BBBBBBBBBBBBWWWWWWBBBBBBBBBBBBBB",
    "BBBBBBBBBBBBWWWWWWBBBBBBBBBBBBBB",
    "BBBBBBBBBBBWWWWWWWWBBBBBBBBBBBBB",
    "BBBBBBBBBBBWWWWWWWWBBBBBBBBBBBBB",
    "BBBBBBBBBBBWWWWWWWWBBBBBBBBBBBBB",
    "BBBBBBBBBBWWWWWWWWWWBBBBBBBBBBBB",
    "BBBBBBBBBBWWWWWWWWWWBBBBBBBBBBBB",
    "BBBBBBBBBBWWWWWWWWWWBBBBBBBBBBBB",
    "BBBBBBBBBWWWWWBBWWWWWBBBBBBBBBBB",
    "BBBBBBBBBWWWWWBBWWWWWBBBBBBBBBBB",
    "BBBBBBBBBWWWWWBBWWWWWBBBBBBBBBBB",
    "BBBBBBBBWWWWWWWWWWWWWWBBBBBBBBBB",
    "BBBBBBBBWWWWWWWWWWWWWWBBBBBBBBBB",
    "BBBBBBBBWWWWWWWWWWWWWWBBBBBBBBBB",
    "BBBBBBBWWWWWWWWWWWWWWWWBBBBBBBBB",
    "BBBBBBBWWWWWBBBBBBWWWWWBBBBBBBBB",
    "BBBBBBBWWWWWBBBBBBWWWWWBBBBBBBBB",
    "BBBBBBWWWWWWBBBBBBWWWWWWBBBBBBBB",
    "BBBBBBWWWWWBBBBBBBBWWWWWBBBBBBBB",
    "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
    ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",
    ".BBBBBBBBBBBBBBBBBBBBBBBBBBBBBB.",
    "..BBBBBBBBBBBBBBBBBBBBBBBBBBBB..",
    "...BBBBBBBBBBBBBBBBBBBBBBBBBB...",
    "....BBBBBBBBBBBBBBBBBBBBBBBB....",
    "......BBBBBBBBBBBBBBBBBBBB......",
]
PROGRAM_COLOURS = {"B": (0, 0, 255), "G": (192, 192, 192), "W": (255, 255, 255)}

# Window styles, as the platform's headers give them.
WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX = 0x80000000, 0x00C00000, 0x00080000, 0x00020000
WS_CHILD, WS_VISIBLE = 0x40000000, 0x10000000
DS_MODALFRAME, DS_SETFONT, DS_CENTER = 0x80, 0x40, 0x800
WS_EX_CLIENTEDGE = 0x200
SS_CENTER, SS_ICON, SS_SUNKEN = 0x1, 0x3, 0x1000
STATIC_CLASS = 0x0082

HOMEPAGE_SHOWN = "www.hueline.org"
ABOUT_STYLE = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT
# (style, x, y, width, height, text): text None where the program's makers
# wrote their own; an int is a resource number.
ABOUT_CONTROLS = [
    (WS_CHILD | WS_VISIBLE | SS_ICON, 220, 2, 21, 20, 106),
    (WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN, 8, 7, 164, 59, None),
    (WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN, 8, 70, 164, 91, None),
    (WS_CHILD | WS_VISIBLE | SS_CENTER, 178, 23, 100, 89, None),
    (WS_CHILD | WS_VISIBLE | SS_CENTER, 179, 111, 99, 74, None),
    (WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN, 8, 166, 164, 20,
     "And why not visit the Hueline website:\n" + HOMEPAGE_SHOWN),
    (WS_CHILD | WS_VISIBLE | SS_CENTER | SS_SUNKEN, 8, 191, 269, 26,
     "Hueline is an application that allows you to change the background and text colors "
     "on the 'blue screen of death'. Next time your work is lost, at least you can show off "
     "to and impress your mates, even if you don't have much to show the boss!"),
]
VERSION_STRINGS = ["CompanyName", "FileDescription", "FileVersion", "InternalName",
                   "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"]


def expected_icons():
    """Icon number: 32 rows of 32 (R, G, B) or None for transparent."""
    def from_picture(picture, colour_of):
        return [[colour_of(c) for c in row] for row in picture]
    icons = {106: from_picture(PROGRAM_PICTURE, lambda c: PROGRAM_COLOURS.get(c))}
    for n, colour in enumerate(COLOURS):
        icons[107 + n] = from_picture(ROUNDED_SQUARE, lambda c: colour if c == "#" else None)
        icons[124 + n] = from_picture(LETTER_A, lambda c: colour if c == "#" else None)
    return icons


class Resources:
    """The resource tree of a PE file: (type, name) -> list of bytes, one per language."""

    def __init__(self, path):
        self.pe = PeFile(path)
        self.data = self.pe.data
        self.root = self.pe.resource_root
        self.entries = {}
        if self.root:
            for type_id, type_at in self.directory(0):
                for name, name_at in self.directory(type_at):
                    for _, leaf in self.directory(name_at):
                        rva, size = struct.unpack_from("<II", self.data, self.offset(self.root) + leaf)
                        at = self.offset(rva)
                        self.entries.setdefault((type_id, name), []).append(self.data[at:at + size])

    def offset(self, rva):
        at = self.pe.offset(rva)
        if at is None:
            raise ValueError("address %x lies in no section" % rva)
        return at

    def directory(self, at):
        base = self.offset(self.root)
        named, numbered = struct.unpack_from("<HH", self.data, base + at + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from("<H", self.data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = self.data[start:start + 2 * length].decode("utf-16-le")
            yield name, target & 0x7FFFFFFF

    def names(self, kind):
        return sorted(name for t, name in self.entries if t == kind)

    def one(self, kind, name):
        found = self.entries.get((kind, name), [])
        if len(found) != 1:
            raise LookupError("resource %s/%s: %d copies" % (kind, name, len(found)))
        return found[0]


def read_icon_image(data):
    """Width, height, bits per pixel, and rows top down of ((R, G, B), mask bit)."""
    size, width, height2, planes, bits, compression = struct.unpack_from("<IiiHHI", data, 0)
    used = struct.unpack_from("<I", data, 32)[0]
    if size != 40 or compression != 0 or planes != 1 or height2 != 2 * width:
        raise ValueError("header size %d, compression %d, planes %d, height %d for width %d"
                         % (size, compression, planes, height2, width))
    height = width
    count = used or (1 << bits)
    palette = [struct.unpack_from("<BBB", data, 40 + 4 * i)[::-1] for i in range(count)]
    colour_at = 40 + 4 * count
    colour_stride = (width * bits + 31) // 32 * 4
    mask_at = colour_at + colour_stride * height
    mask_stride = (width + 31) // 32 * 4
    if mask_at + mask_stride * height != len(data):
        raise ValueError("%d bytes, not %d" % (len(data), mask_at + mask_stride * height))
    rows = []
    for y in range(height - 1, -1, -1):
        line = int.from_bytes(data[colour_at + y * colour_stride:colour_at + (y + 1) * colour_stride], "big")
        mask = int.from_bytes(data[mask_at + y * mask_stride:mask_at + (y + 1) * mask_stride], "big")
        row = []
        for x in range(width):
            index = (line >> (colour_stride * 8 - (x + 1) * bits)) & ((1 << bits) - 1)
            bit = (mask >> (mask_stride * 8 - 1 - x)) & 1
            row.append((palette[index] if index < count else None, bit))
        rows.append(row)
    return width, height, bits, rows


def check_icons(res, problems):
    expected = expected_icons()
    groups = [n for n in res.names(RT_GROUP_ICON)]
    if groups != sorted(expected):
        problems.append("icon groups are %s, not 106-122 and 124-139" % groups)
    for number in sorted(expected):
        try:
            group = res.one(RT_GROUP_ICON, number)
        except LookupError as e:
            problems.append(str(e))
            continue
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        images = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
        shapes = sorted((w, h, colours, bits) for w, h, colours, _, _, bits, _, _ in images)
        if (reserved, kind) != (0, 1) or shapes != [(32, 32, 16, 4), (48, 48, 0, 8)]:
            problems.append("icon %d: images %s, not 32 x 32 with 16 colours and 48 x 48 with 256" % (number, shapes))
            continue
        for w, _, _, _, _, _, size, image_id in images:
            data = res.one(RT_ICON, image_id)
            if len(data) != size:
                problems.append("icon %d: image %d holds %d bytes, its group says %d" % (number, image_id, len(data), size))
            try:
                width, height, bits, rows = read_icon_image(data)
            except ValueError as e:
                problems.append("icon %d, %d x %d: %s" % (number, w, w, e))
                continue
            if (width, bits) != ((32, 4) if w == 32 else (48, 8)):
                problems.append("icon %d: image %d is %d x %d with %d bits" % (number, image_id, width, height, bits))
                continue
            if w == 32:
                want = expected[number]
            else:
                want = [[LARGE_COLOUR] * 48 for _ in range(48)]
            wrong = []
            for y in range(height):
                for x in range(width):
                    colour, mask = rows[y][x]
                    # Transparent: mask set and black colour bits, so that
                    # drawing leaves the screen as it was.
                    good = (mask == 1 and colour == (0, 0, 0)) if want[y][x] is None else \
                        (mask == 0 and colour == want[y][x])
                    if not good:
                        wrong.append("(%d,%d) is %s mask %d, not %s" % (x, y, colour, mask,
                                                                         want[y][x] or "transparent"))
            if wrong:
                problems.append("icon %d, %d x %d: %d wrong pixels, first %s"
                                % (number, width, height, len(wrong), "; ".join(wrong[:3])))


def read_text(data, at):
    """A 0-ended UTF-16 string, or a resource number after 0xFFFF; and the next offset."""
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def one_resource(res, kind, number, problems):
    """The one resource of that kind and number, or None, told, when there is not one."""
    try:
        return res.one(kind, number)
    except LookupError as e:
        problems.append(str(e))
        return None


def check_about_dialog(res, problems):
    data = one_resource(res, RT_DIALOG, 107, problems)
    if data is None:
        return
    style, exstyle, count, x, y, cx, cy = struct.unpack_from("<IIHhhhh", data, 0)
    if style == 0xFFFF0001:
        problems.append("dialog 107 is an extended template")
        return
    menu, at = read_text(data, 18)
    kind, at = read_text(data, at)
    caption, at = read_text(data, at)
    points = struct.unpack_from("<H", data, at)[0] if style & DS_SETFONT else None
    font, at = read_text(data, at + 2) if style & DS_SETFONT else (None, at)
    got = (style, exstyle, (x, y, cx, cy), menu, kind, caption, points, font, count)
    want = (ABOUT_STYLE, WS_EX_CLIENTEDGE, (0, 0, 283, 223), "", "", "Hueline - About", 8, "MS Sans Serif",
            len(ABOUT_CONTROLS))
    if got != want:
        problems.append("dialog 107 is %s, not %s" % (got, want))
    for i in range(min(count, len(ABOUT_CONTROLS))):
        at = (at + 3) & ~3
        cstyle, cexstyle, cx_, cy_, cw, ch, cid = struct.unpack_from("<IIhhhhH", data, at)
        cls, at = read_text(data, at + 18)
        text, at = read_text(data, at)
        extra = struct.unpack_from("<H", data, at)[0]
        at += 2 + extra
        want_style, wx, wy, ww, wh, want_text = ABOUT_CONTROLS[i]
        if isinstance(cls, str) and cls.upper() == "STATIC":
            cls = STATIC_CLASS  # the class by name or by its number: the same class
        got = (cls, cstyle, cexstyle, (cx_, cy_, cw, ch))
        want = (STATIC_CLASS, want_style, 0, (wx, wy, ww, wh))
        if got != want:
            problems.append("dialog 107, control %d: %s, not %s" % (i + 1, got, want))
        if want_text is None:
            if not isinstance(text, str) or len(text) < 20:
                problems.append("dialog 107, control %d: text %r" % (i + 1, text))
        elif text != want_text:
            problems.append("dialog 107, control %d: text %r, not %r" % (i + 1, text, want_text))


def version_node(data, at):
    """One node of a version resource: key, value bytes, children, end."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    key, after = read_text(data, at + 6)
    value_at = (after + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < at + length:
        node = version_node(data, child)
        children.append(node)
        child = (node[3] + 3) & ~3
    return key, value, children, at + length


def check_version(res, problems):
    data = one_resource(res, RT_VERSION, 1, problems)
    if data is None:
        return
    key, fixed, children, _ = version_node(data, 0)
    if key != "VS_VERSION_INFO" or len(fixed) != 52:
        problems.append("version resource: key %r, fixed part of %d bytes" % (key, len(fixed)))
        return
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed, 0)
    if (signature, file_ms, file_ls, product_ms, product_ls) != (0xFEEF04BD, 0x00010000, 0, 0x00010000, 0):
        dotted = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        problems.append("version resource: file version %s, product version %s, not 1.0.0.0"
                        % (dotted(file_ms, file_ls), dotted(product_ms, product_ls)))
    blocks = {k: c for k, _, c, _ in children}
    tables = blocks.get("StringFileInfo", [])
    if [t[0] for t in tables] != ["080904b0"]:
        problems.append("version resource: string blocks %s, not 080904b0" % [t[0] for t in tables])
    else:
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _, _ in tables[0][2]}
        if sorted(strings) != sorted(VERSION_STRINGS) or not all(strings.values()):
            problems.append("version resource: strings %s" % strings)
        elif (strings["FileVersion"], strings["ProductVersion"], strings["OriginalFilename"]) != \
                ("1.0.0.0", "1.0.0.0", "hueline.exe"):
            problems.append("version resource: strings %s" % strings)
    translation = [v for k, v, _, _ in blocks.get("VarFileInfo", []) if k == "Translation"]
    if translation != [struct.pack("<HH", 0x0809, 1200)]:
        problems.append("version resource: translation %s, not 0809 1200" % translation)


def main():
    exe = sys.argv[1]
    res = Resources(exe)
    problems = []
    check_icons(res, problems)
    check_about_dialog(res, problems)
    check_version(res, problems)
    name = os.path.basename(exe)
    if problems:
        for p in problems:
            print("%s: %s" % (name, p))
        return 1
    icon_bytes = sum(len(d) for (t, _), ds in res.entries.items() if t in (RT_ICON, RT_GROUP_ICON) for d in ds)
    size = os.path.getsize(exe)
    print("%s: 33 icons, dialog 107 and the version resource as they should be; "
          "%d bytes, %d of them icon data" % (name, size, icon_bytes))
    return 0


if __name__ == "__main__":
    sys.exit(main())
