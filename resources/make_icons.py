#!/usr/bin/env python3
"""Writes Hueline's 33 icons as raw icon resources, for the resource compiler.

Usage: make_icons.py OUTPUT_FOLDER

  icon_resources.rc      the resource lines, included by resources/icons.rc
  image1.bin             the 48 x 48 image, one copy shared by every icon
  image106.bin-image139.bin  the 32 x 32 image of each icon
  group106.bin-group139.bin  each icon's directory of its two images

  106          the program's own icon (Explorer, the About box)
  107-122      the preview's rounded squares, one per colour 0-15
  124-139      the preview's letter "A", one per colour 0-15

Each icon holds two images: a 32 x 32 one with 16 colours, the one drawn at
the standard icon size, and a 48 x 48 one with 256 colours that is the same in
every icon (an opaque square of 4,4,4), so the executable holds it once:
each icon's group names the shared image and its own small one, as the
resource compiler's ICON statement cannot. In a preview icon only the pixels of
its shape are opaque, all in one colour; every other pixel is transparent
through the mask (and black in the colour bits, so that drawing it leaves the
screen unchanged).
"""
import os
import struct
import sys

# The preview colours of the 16 text-mode colours, by colour number.
PREVIEW_COLOURS = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128),
    (128, 0, 0), (128, 0, 128), (128, 128, 0), (192, 192, 192),
    (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]

# The 16 colours of the 32 x 32 images: the standard VGA palette, which holds
# every preview colour.
PALETTE_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

LARGE_COLOUR = (4, 4, 4)  # the whole 48 x 48 image

# Opaque pixels of the rounded square: (rows, column ranges), both inclusive.
BACK_SHAPE = [
    ([0, 31], [(6, 25)]),
    ([1, 30], [(4, 27)]),
    ([2, 29], [(3, 28)]),
    ([3, 28], [(2, 29)]),
    ([4, 5, 26, 27], [(1, 30)]),
    (range(6, 26), [(0, 31)]),
]

# Opaque pixels of the letter "A"; rows 0-4 and 25-31 are empty.
LETTER_SHAPE = [
    (range(5, 8), [(12, 17)]),
    (range(8, 11), [(11, 18)]),
    (range(11, 14), [(10, 19)]),
    (range(14, 17), [(9, 13), (16, 20)]),
    (range(17, 20), [(8, 21)]),
    ([20], [(7, 22)]),
    ([21, 22], [(7, 11), (18, 22)]),
    ([23], [(6, 11), (18, 23)]),
    ([24], [(6, 10), (19, 23)]),
]

# The program's own icon: the default blue screen, white on blue, under a grey
# title bar such as the system message screen shows.
PROGRAM_TITLE_BAR = [(range(1, 4), [(9, 22)])]
PROGRAM_BLUE, PROGRAM_GREY, PROGRAM_WHITE = 9, 7, 15  # colour numbers

FIRST_BACK_ICON = 107
FIRST_TEXT_ICON = 124
PROGRAM_ICON = 106


def shape_pixels(shape):
    """The set of (row, column) pixels a shape table names."""
    pixels = set()
    for rows, spans in shape:
        for row in rows:
            for first, last in spans:
                for column in range(first, last + 1):
                    pixels.add((row, column))
    return pixels


def picture(layers):
    """A 32 x 32 picture from (shape, colour number) layers, later ones on
    top: a table of colour numbers, None where nothing is drawn."""
    rows = [[None] * 32 for _ in range(32)]
    for shape, colour in layers:
        for row, column in shape_pixels(shape):
            rows[row][column] = colour
    return rows


def dib(width, height, bits, palette, pixels):
    """An icon image: header, palette, colour bits and mask, rows bottom up.
    pixels[row][column] is a palette index, or None for transparent."""
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0, 0, 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    colours += b"\0\0\0\0" * ((1 << bits) - len(palette))
    colour_stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    colour_bits = bytearray()
    mask_bits = bytearray()
    for row in reversed(pixels):
        line = 0
        mask = 0
        for value in row:
            line = (line << bits) | (0 if value is None else value)
            mask = (mask << 1) | (1 if value is None else 0)
        colour_bits += (line << (colour_stride * 8 - width * bits)).to_bytes(colour_stride, "big")
        mask_bits += (mask << (mask_stride * 8 - width)).to_bytes(mask_stride, "big")
    return header + colours + bytes(colour_bits) + bytes(mask_bits)


def small_image(rows):
    indexes = [[None if c is None else PALETTE_16.index(PREVIEW_COLOURS[c]) for c in row] for row in rows]
    return dib(32, 32, 4, PALETTE_16, indexes)


def large_image():
    return dib(48, 48, 8, [LARGE_COLOUR], [[0] * 48 for _ in range(48)])


RT_ICON, RT_GROUP_ICON = 3, 14
LARGE_IMAGE_ID = 1  # the image resource number of the shared 48 x 48 image


def icon_group(images):
    """An icon group resource of (width, height, colour count, bits, image,
    image resource number) entries."""
    out = struct.pack("<HHH", 0, 1, len(images))
    for width, height, colours, bits, data, number in images:
        out += struct.pack("<BBBBHHIH", width % 256, height % 256, colours % 256, 0, 1, bits, len(data), number)
    return out


def icons():
    """Icon resource number: its 32 x 32 picture."""
    table = {PROGRAM_ICON: picture([(BACK_SHAPE, PROGRAM_BLUE), (PROGRAM_TITLE_BAR, PROGRAM_GREY),
                                    (LETTER_SHAPE, PROGRAM_WHITE)])}
    for n in range(16):
        table[FIRST_BACK_ICON + n] = picture([(BACK_SHAPE, n)])
        table[FIRST_TEXT_ICON + n] = picture([(LETTER_SHAPE, n)])
    return table


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    large = large_image()
    write(folder, "image%d.bin" % LARGE_IMAGE_ID, large)
    lines = ["%d %d \"image%d.bin\"" % (LARGE_IMAGE_ID, RT_ICON, LARGE_IMAGE_ID)]
    for number, rows in sorted(icons().items()):
        small = small_image(rows)
        write(folder, "image%d.bin" % number, small)
        write(folder, "group%d.bin" % number,
              icon_group([(32, 32, 16, 4, small, number), (48, 48, 0, 8, large, LARGE_IMAGE_ID)]))
        lines.append("%d %d \"image%d.bin\"" % (number, RT_ICON, number))
        lines.append("%d %d \"group%d.bin\"" % (number, RT_GROUP_ICON, number))
    write(folder, "icon_resources.rc", ("\n".join(lines) + "\n").encode("ascii"))


if __name__ == "__main__":
    main()
