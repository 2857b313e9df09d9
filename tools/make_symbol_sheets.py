#!/usr/bin/env python3
"""Makes the program's two APRS symbol sheets from the symbol pictures of Debian's
xastir-data package (its symbols.dat: 20 x 20 character pictures, one per table and
code, each character a colour of a fixed palette).

    tools/make_symbol_sheets.py <symbols.dat> <folder>

writes <folder>/Primary.bmp (table '/') and <folder>/Alternate.bmp (table '\\'): 16 x 6
cells of 20 x 20 pixels between 1-pixel grid lines (337 x 127), the cell of code c at
index c - 33. White is the program's transparent colour, so the pictures' own white is
written a step darker. A code without a picture of its own (such as '~', which also
stands for an overlay on a symbol that takes none) gets the package's picture for a
symbol it has none for, so that every station shows on the map. The build runs this.
"""
import sys

CELL = 20
COLUMNS, ROWS = 16, 6
TRANSPARENT = (255, 255, 255)
GRID = (160, 160, 160)

# The colour of each picture character; '.' and ' ' are not drawn.
PALETTE = {
    "#": (255, 215, 0),    # gold
    "a": (255, 255, 0),    # yellow
    "b": (255, 165, 0),    # orange
    "c": (190, 190, 190),  # light grey
    "d": (139, 0, 0),      # dark red
    "e": (160, 100, 40),   # brown
    "f": (255, 80, 0),     # orange red
    "g": (0, 200, 255),    # cyan
    "h": (0, 0, 255),      # blue
    "i": (0, 0, 140),      # navy
    "j": (230, 0, 0),      # red
    "k": (0, 180, 0),      # green
    "l": (0, 140, 255),    # light blue
    "m": (254, 254, 254),  # white, kept opaque
    "n": (128, 128, 128),  # grey
    "o": (64, 64, 64),     # dark grey
    "p": (0, 0, 0),        # black
    "q": (0, 0, 0),        # black
    "r": (100, 100, 100),  # smoke grey
    "~": (210, 210, 210),  # pale grey
}


def read_pictures(path):
    """{table: {code: [20 rows of 20 characters]}} for the tables '/' and '\\'."""
    tables = {}
    table = None
    code = None
    rows = []
    with open(path, encoding="latin-1") as source:
        for line in source:
            line = line.rstrip("\r\n")
            if line.startswith("TABLE "):
                table = line[6]
                tables.setdefault(table, {})
                code = None
            elif line.startswith("APRS ") and len(line) > 5 and table is not None:
                code = line[5]
                rows = []
            elif code is not None and len(line) == CELL and not line.startswith("#"):
                rows.append(line)
                if len(rows) == CELL:
                    tables[table][code] = rows
                    code = None
            elif line.startswith("#"):
                code = None
    return tables


def sheet_rows(pictures):
    width, height = COLUMNS * (CELL + 1) + 1, ROWS * (CELL + 1) + 1
    pixels = [[TRANSPARENT] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if x % (CELL + 1) == 0 or y % (CELL + 1) == 0:
                pixels[y][x] = GRID
    for code, picture in pictures.items():
        index = ord(code) - 33
        if not 0 <= index < COLUMNS * ROWS:
            continue
        left, top = (index % COLUMNS) * (CELL + 1) + 1, (index // COLUMNS) * (CELL + 1) + 1
        for y, row in enumerate(picture):
            for x, char in enumerate(row):
                colour = PALETTE.get(char)
                if colour is not None:
                    pixels[top + y][left + x] = colour
    return width, pixels


def write_bmp(path, width, pixels):
    """24-bit bottom-up BMP."""
    stride = (3 * width + 3) & ~3
    size = 54 + stride * len(pixels)
    header = b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + \
        len(pixels).to_bytes(4, "little") + (1).to_bytes(2, "little") + \
        (24).to_bytes(2, "little") + bytes(4) + (stride * len(pixels)).to_bytes(4, "little") + \
        (2835).to_bytes(4, "little") * 2 + bytes(8)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += bytes(stride - 3 * width)
    with open(path, "wb") as out:
        out.write(header + info + body)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tables = read_pictures(sys.argv[1])
    unknown = tables.get("!", {}).get("#")
    for table, name in (("/", "Primary.bmp"), ("\\", "Alternate.bmp")):
        if not tables.get(table):
            sys.exit("no pictures of table %s in %s" % (table, sys.argv[1]))
        pictures = dict(tables[table])
        if unknown:
            for code in map(chr, range(ord("!"), ord("~") + 1)):
                pictures.setdefault(code, unknown)
        width, pixels = sheet_rows(pictures)
        write_bmp(sys.argv[2] + "/" + name, width, pixels)


if __name__ == "__main__":
    main()
