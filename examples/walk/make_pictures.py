#!/usr/bin/env python3
"""Draws the two poses of the walking figure and writes them as TMF images
(walk1.tmf, walk2.tmf) with their shared 16-colour palette (walk.tlf).

The output is the same on every run, so the files kept beside this script can
be checked against it: run it in this directory and compare.
"""

import struct

# One character per pixel; each maps to a palette index below.
# walk1: contact pose, legs apart, so the whole figure sits one row lower.
WALK1 = [
    "................",
    "......KKKK......",
    ".....KKKKKK.....",
    ".....KSSSWKS....",
    ".....KSSSSSS....",
    "......SSSS......",
    ".......SS.......",
    "......BBBB......",
    ".....BBBBBB.....",
    "....SBBBBBBS....",
    "......PPPP......",
    ".....PP..PP.....",
    "....PP....PP....",
    "...PP......PP...",
    "..PP........PP..",
    ".HHH.......HHH..",
]

# walk2: passing pose, legs together; the head bobs up to the top row.
WALK2 = [
    "......KKKK......",
    ".....KKKKKK.....",
    ".....KSSSWKS....",
    ".....KSSSSSS....",
    "......SSSS......",
    ".......SS.......",
    "......BBBB......",
    ".....BBBBBB.....",
    ".....BBSBBB.....",
    "......BBBB......",
    "......PPPP......",
    "......PPPP......",
    ".......PP.......",
    ".......PP.......",
    ".......PPP......",
    ".......HHHH.....",
]

# Palette index of each character.
INDEX = {".": 0, "K": 1, "S": 2, "W": 3, "B": 4, "P": 5, "H": 6}


def rgba5551(r, g, b, a):
    """Packs 8-bit channels into one 16-bit RGBA 5551 entry."""
    return (r >> 3) << 11 | (g >> 3) << 6 | (b >> 3) << 1 | a


# Index 0 is transparent; 7 to 15 are a grey ramp the figure does not use.
PALETTE = [
    rgba5551(0, 0, 0, 0),        # background
    rgba5551(40, 24, 16, 1),     # hair
    rgba5551(248, 200, 160, 1),  # skin
    rgba5551(255, 255, 255, 1),  # eye
    rgba5551(48, 96, 216, 1),    # shirt
    rgba5551(64, 56, 88, 1),     # trousers
    rgba5551(120, 64, 24, 1),    # shoes
] + [rgba5551(i * 28, i * 28, i * 28, 1) for i in range(1, 10)]

TMF_TAG_4BIT = 0x00120200
TLF_TAG_16 = 0x00200100


def header(*fields):
    """A 64-byte header of big-endian 32-bit fields, zero-filled."""
    data = struct.pack(">%dI" % len(fields), *fields)
    return data + bytes(64 - len(data))


def tmf_bytes(art):
    height = len(art)
    width = len(art[0])
    assert all(len(row) == width for row in art) and width % 2 == 0
    # The converter lists rows last-first, so the file keeps the picture
    # bottom-up and the generated array comes out with the top row first.
    body = bytearray()
    for row in reversed(art):
        pixels = [INDEX[c] for c in row]
        for left, right in zip(pixels[0::2], pixels[1::2]):
            body.append(left << 4 | right)  # left pixel in the high nibble
    return header(0, TMF_TAG_4BIT, width, height, 4) + bytes(body)


def tlf_bytes(entries):
    assert len(entries) == 16
    return header(TLF_TAG_16, 16, 0) + struct.pack(">16H", *entries)


def main():
    for name, data in (
        ("walk1.tmf", tmf_bytes(WALK1)),
        ("walk2.tmf", tmf_bytes(WALK2)),
        ("walk.tlf", tlf_bytes(PALETTE)),
    ):
        with open(name, "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
