#!/usr/bin/env python3
"""Draws the pictures that ship beside the program: the calibrated map of Europe for the
map folder, the world map's calibration and the two APRS symbol sheets. Everything is
drawn here from coarse outlines typed by hand, so nothing is taken from another program
or data set.

    tools/make_map_pictures.py <program folder>

writes APRS-Karten/Welt.DAT, APRS-Karten/Europa.jpg (+ .INF) and Symbols/Primary.bmp,
Symbols/Alternate.bmp there; the build runs it. JPEG needs cjpeg (libjpeg-turbo-progs).
"""
import os
import subprocess
import sys

# Coarse coastlines, (longitude, latitude) in degrees.
LAND = [
    # North and Central America
    [(-168, 66), (-162, 70), (-156, 71), (-141, 70), (-128, 70), (-115, 68), (-95, 72), (-82, 73),
     (-80, 63), (-94, 60), (-90, 57), (-82, 53), (-79, 57), (-77, 62), (-69, 59), (-61, 56),
     (-56, 52), (-66, 45), (-70, 42), (-76, 38), (-76, 35), (-81, 31), (-80, 25), (-83, 29),
     (-90, 30), (-97, 27), (-97, 22), (-92, 18), (-88, 21), (-87, 15), (-83, 10), (-79, 9),
     (-77, 8), (-80, 7), (-85, 11), (-92, 14), (-105, 20), (-110, 24), (-112, 30), (-117, 32),
     (-120, 35), (-124, 40), (-124, 47), (-130, 55), (-137, 59), (-148, 60), (-155, 58),
     (-165, 54), (-158, 58), (-165, 61), (-166, 64)],
    # Greenland
    [(-73, 78), (-60, 82), (-30, 83), (-20, 80), (-20, 70), (-40, 65), (-44, 60), (-50, 64),
     (-55, 70), (-70, 76)],
    # South America
    [(-77, 8), (-72, 12), (-62, 10), (-52, 5), (-50, 0), (-44, -2), (-35, -6), (-38, -13),
     (-40, -22), (-48, -26), (-53, -34), (-58, -38), (-62, -40), (-65, -45), (-68, -50),
     (-69, -55), (-72, -53), (-75, -46), (-73, -37), (-71, -28), (-70, -18), (-76, -14),
     (-81, -6), (-80, 0), (-78, 4)],
    # Europe and Asia
    [(-9, 37), (-9, 43), (-1, 46), (-4, 48), (2, 50), (4, 52), (8, 54), (9, 57), (5, 59),
     (5, 62), (10, 64), (15, 68), (20, 70), (28, 71), (40, 68), (44, 66), (50, 68), (60, 69),
     (70, 73), (80, 73), (100, 77), (113, 74), (130, 72), (140, 72), (160, 70), (170, 70),
     (180, 68), (180, 65), (178, 64), (170, 60), (163, 58), (160, 53), (156, 57), (155, 60),
     (142, 59), (137, 54), (141, 48), (135, 43), (129, 41), (129, 35), (126, 35), (126, 38),
     (122, 40), (121, 37), (120, 32), (122, 30), (119, 25), (110, 21), (108, 16), (109, 12),
     (105, 9), (103, 10), (100, 13), (100, 8), (104, 1), (101, 3), (98, 8), (98, 16), (94, 18),
     (92, 22), (87, 22), (80, 15), (78, 8), (76, 10), (73, 18), (72, 21), (67, 25), (61, 25),
     (57, 26), (56, 24), (59, 22), (55, 17), (52, 16), (45, 13), (43, 15), (39, 22), (35, 28),
     (34, 31), (36, 35), (30, 36), (27, 37), (26, 40), (23, 40), (24, 38), (22, 37), (20, 40),
     (19, 42), (13, 46), (12, 44), (16, 41), (18, 40), (16, 38), (15, 40), (11, 42), (9, 44),
     (4, 43), (3, 42), (0, 39), (-1, 37), (-5, 36)],
    # Africa
    [(-17, 21), (-17, 15), (-12, 8), (-8, 4), (-2, 5), (5, 6), (9, 4), (10, 0), (12, -5),
     (13, -12), (12, -17), (15, -27), (18, -34), (20, -35), (26, -34), (33, -28), (35, -22),
     (40, -15), (40, -10), (39, -5), (42, 0), (51, 11), (44, 11), (43, 13), (39, 18), (35, 24),
     (33, 31), (25, 32), (20, 31), (19, 30), (10, 34), (10, 37), (3, 37), (-6, 36), (-10, 31),
     (-13, 27)],
    # Australia
    [(114, -22), (114, -34), (118, -35), (124, -34), (131, -31), (138, -35), (141, -38),
     (146, -39), (150, -37), (153, -32), (153, -25), (146, -19), (142, -11), (141, -17),
     (136, -12), (131, -11), (125, -14), (122, -18)],
    # Islands
    [(-5, 50), (1, 51), (2, 53), (-2, 56), (-2, 58), (-5, 59), (-6, 56), (-5, 54), (-3, 54),
     (-5, 52)],
    [(-10, 52), (-6, 52), (-6, 55), (-8, 55), (-10, 54)],
    [(-24, 64), (-22, 66), (-14, 66), (-14, 64), (-19, 63)],
    [(130, 31), (134, 34), (140, 35), (142, 39), (141, 42), (145, 44), (142, 45), (140, 42),
     (139, 38), (136, 37), (132, 35)],
    [(109, 1), (117, 7), (119, 5), (118, 0), (116, -4), (110, -3)],
    [(95, 5), (98, 4), (104, -2), (106, -6), (101, -3)],
    [(131, -1), (141, -3), (150, -10), (143, -9), (138, -8), (132, -4)],
    [(44, -25), (47, -25), (50, -15), (49, -12), (44, -16)],
    [(166, -46), (172, -41), (175, -37), (178, -38), (174, -42), (170, -46)],
]
ICE = [[(-180, -90), (180, -90), (180, -70), (120, -66), (60, -67), (0, -70), (-60, -64),
        (-75, -73), (-120, -74), (-180, -78)]]

OCEAN = (70, 110, 170)
GROUND = (120, 160, 90)
SNOW = (232, 236, 240)
GRID = (150, 170, 200)
AXIS = (200, 80, 60)


def row_spans(polygon, lat):
    """Longitude intervals of the polygon on one parallel (even-odd rule)."""
    crossings = []
    count = len(polygon)
    for i in range(count):
        (x1, y1), (x2, y2) = polygon[i], polygon[(i + 1) % count]
        if (y1 <= lat < y2) or (y2 <= lat < y1):
            crossings.append(x1 + (lat - y1) * (x2 - x1) / (y2 - y1))
    crossings.sort()
    return list(zip(crossings[0::2], crossings[1::2]))


def draw_map(width, height, lat_max, lat_min, lon_min, lon_max, grid_step):
    """Pixel (x, y) shows the point the calibration maps it to: the corners fall on the
    first and last pixel, as the program's mapping expects."""
    lon_per_px = (lon_max - lon_min) / (width - 1)
    lat_per_px = (lat_max - lat_min) / (height - 1)
    rows = []
    for y in range(height):
        lat = lat_max - y * lat_per_px
        row = bytearray(OCEAN * width)
        for shapes, colour in ((LAND, GROUND), (ICE, SNOW)):
            for polygon in shapes:
                for west, east in row_spans(polygon, lat):
                    x0 = max(0, int(round((west - lon_min) / lon_per_px)))
                    x1 = min(width - 1, int(round((east - lon_min) / lon_per_px)))
                    for x in range(x0, x1 + 1):
                        row[3 * x:3 * x + 3] = bytes(colour)
        rows.append(row)

    def line_colour(value):
        return AXIS if abs(value) < 1e-9 else GRID

    for x in range(width):
        lon = lon_min + x * lon_per_px
        nearest = round(lon / grid_step) * grid_step
        if abs(lon - nearest) < lon_per_px / 2:
            for y in range(0, height, 2):
                rows[y][3 * x:3 * x + 3] = bytes(line_colour(nearest))
    for y in range(height):
        lat = lat_max - y * lat_per_px
        nearest = round(lat / grid_step) * grid_step
        if abs(lat - nearest) < lat_per_px / 2:
            for x in range(0, width, 2):
                rows[y][3 * x:3 * x + 3] = bytes(line_colour(nearest))
    return rows


def write_jpeg(path, width, rows):
    ppm = b"P6\n%d %d\n255\n" % (width, len(rows)) + b"".join(bytes(r) for r in rows)
    with open(path, "wb") as out:
        subprocess.run(["cjpeg", "-quality", "85", "-optimize"], input=ppm, stdout=out,
                       check=True)


def write_bmp(path, width, rows):
    """24-bit bottom-up BMP; rows hold RGB triples."""
    stride = (3 * width + 3) & ~3
    size = 54 + stride * len(rows)
    header = b"BM" + size.to_bytes(4, "little") + bytes(4) + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + \
        len(rows).to_bytes(4, "little") + (1).to_bytes(2, "little") + \
        (24).to_bytes(2, "little") + bytes(4) + (stride * len(rows)).to_bytes(4, "little") + \
        (2835).to_bytes(4, "little") * 2 + bytes(8)
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for x in range(width):
            r, g, b = row[3 * x:3 * x + 3]
            line += bytes((b, g, r))
        body += line + bytes(stride - 3 * width)
    with open(path, "wb") as out:
        out.write(header + info + body)


# A 3 x 5 pixel font for the symbol sheets: each glyph five rows of three bits.
FONT = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001010010010", "8": "111101111101111",
    "9": "111101111001111", "A": "010101111101101", "B": "110101110101110",
    "C": "011100100100011", "D": "110101101101110", "E": "111100110100111",
    "F": "111100110100100", "G": "011100101101011", "H": "101101111101101",
    "I": "111010010010111", "J": "001001001101010", "K": "101110100110101",
    "L": "100100100100111", "M": "101111111101101", "N": "110101101101101",
    "O": "010101101101010", "P": "110101110100100", "Q": "010101101110011",
    "R": "110101110110101", "S": "011100010001110", "T": "111010010010010",
    "U": "101101101101111", "V": "101101101101010", "W": "101101111111101",
    "X": "101101010101101", "Y": "101101010010010", "Z": "111001010100111",
    "!": "010010010000010", '"': "101101000000000", "#": "101111101111101",
    "$": "011110010011110", "%": "101001010100101", "&": "010101010101011",
    "'": "010010000000000", "(": "001010010010001", ")": "100010010010100",
    "*": "000101010101000", "+": "000010111010000", ",": "000000000010100",
    "-": "000000111000000", ".": "000000000000010", "/": "001001010100100",
    ":": "000010000010000", ";": "000010000010100", "<": "001010100010001",
    "=": "000111000111000", ">": "100010001010100", "?": "111001010000010",
    "@": "010101111100011", "[": "110100100100110", "\\": "100100010001001",
    "]": "011001001001011", "^": "010101000000000", "_": "000000000000111",
    "`": "100010000000000", "{": "011010110010011", "|": "010010010010010",
    "}": "110010011010110", "~": "000011110000000",
}

WHITE = (255, 255, 255)  # transparent on the map
GLYPH = (255, 255, 215)
BLACK = (0, 0, 0)
CELL_GRID = (160, 160, 160)
PALETTE = [(200, 30, 30), (30, 120, 200), (20, 150, 60), (220, 140, 0), (140, 60, 170),
           (0, 150, 150), (120, 80, 40), (210, 60, 140)]


def glyph(char):
    return FONT.get(char.upper(), FONT["?"])


def draw_sheet(alternate):
    """16 x 6 cells of 20 x 20 pixels between 1-pixel grid lines (337 x 127). Each
    symbol is a coloured badge with its symbol character; white is transparent. The
    primary table's badges are round, the alternate table's diamond-shaped, and the
    lower-case codes square (their characters are drawn in upper case)."""
    width, height = 16 * 21 + 1, 6 * 21 + 1
    pixels = [[WHITE] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if x % 21 == 0 or y % 21 == 0:
                pixels[y][x] = CELL_GRID
    for index in range(96):
        code = 33 + index
        left, top = (index % 16) * 21 + 1, (index // 16) * 21 + 1
        colour = PALETTE[(index + (3 if alternate else 0)) % len(PALETTE)]
        square = ord("a") <= code <= ord("z")
        for y in range(20):
            for x in range(20):
                dx, dy = x - 9.5, y - 9.5
                if square:
                    inside = max(abs(dx), abs(dy)) <= 9
                    edge = max(abs(dx), abs(dy)) > 8
                elif alternate:
                    inside, edge = abs(dx) + abs(dy) <= 10, abs(dx) + abs(dy) > 8.6
                else:
                    inside, edge = dx * dx + dy * dy <= 81, dx * dx + dy * dy > 64
                if inside:
                    pixels[top + y][left + x] = BLACK if edge else colour
        if code > 126:
            continue
        bits = glyph(chr(code))
        # The character twice as large: 6 x 10 pixels in the middle of the badge.
        for row in range(5):
            for column in range(3):
                if bits[row * 3 + column] == "1":
                    for py in range(2):
                        for px in range(2):
                            pixels[top + 5 + 2 * row + py][left + 7 + 2 * column + px] = GLYPH
    return width, [bytearray(b"".join(bytes(p) for p in row)) for row in pixels]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    maps = os.path.join(folder, "APRS-Karten")
    symbols = os.path.join(folder, "Symbols")
    os.makedirs(maps, exist_ok=True)
    os.makedirs(symbols, exist_ok=True)

    # The world map itself is NASA's picture, put beside the program by the build.
    with open(os.path.join(maps, "Welt.DAT"), "w", newline="\r\n") as out:
        out.write("; Equirectangular world map, corners on the first and last pixel\n")
        out.write("90:00.00N/180:00.00W\n90:00.00S/180:00.00E\nWelt\n")
    write_jpeg(os.path.join(maps, "Europa.jpg"), 1400, draw_map(1400, 760, 72, 34, -25, 45, 10))
    with open(os.path.join(maps, "Europa.INF"), "w", newline="\r\n") as out:
        out.write("; Europe, corners typed as degrees.minutes.hundredths\n")
        out.write("72.0.0N, 25.0.0W\n34.0.0N, 45.0.0E\nEuropa\n")

    for name, alternate in (("Primary.bmp", False), ("Alternate.bmp", True)):
        width, rows = draw_sheet(alternate)
        write_bmp(os.path.join(symbols, name), width, rows)


if __name__ == "__main__":
    main()
