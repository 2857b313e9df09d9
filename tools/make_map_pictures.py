#!/usr/bin/env python3
"""Makes the maps that ship beside the program from the world picture the build puts there
(NASA's Visible Earth picture, equirectangular, its corners on the first and last pixel):
the world map's calibration and, cut from the same picture, the calibrated map of Europe
that the map menu zooms into.

    tools/make_map_pictures.py <world picture> <program folder>

writes APRS-Karten/Welt.DAT, APRS-Karten/Europa.jpg and APRS-Karten/Europa.DAT there;
the build runs it. Needs ImageMagick's convert.
"""
import os
import subprocess
import sys

# Europe: whole degrees on the first and last pixel, 12 pixels to the degree.
EUROPE = {"north": 72, "south": 34, "west": -25, "east": 45}
PIXELS_PER_DEGREE = 12


def world_pixel(width, height, lat, lon):
    """The world picture's pixel (as a point, pixel centres on whole numbers)."""
    return (lon + 180) * (width - 1) / 360, (90 - lat) * (height - 1) / 180


def picture_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                         capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def dat_corner(lat, lon):
    """A ".DAT" corner: DD:MM.MMN/DDD:MM.MME."""
    def part(value, digits, positive, negative):
        hemisphere = positive if value >= 0 else negative
        value = abs(value)
        degrees = int(value)
        minutes = (value - degrees) * 60
        return "%0*d:%05.2f%s" % (digits, degrees, minutes, hemisphere)
    return part(lat, 2, "N", "S") + "/" + part(lon, 3, "E", "W")


def make_europe(world, folder):
    width, height = picture_size(world)
    out_width = (EUROPE["east"] - EUROPE["west"]) * PIXELS_PER_DEGREE + 1
    out_height = (EUROPE["north"] - EUROPE["south"]) * PIXELS_PER_DEGREE + 1
    # Three corners of the cut on the world picture onto the new picture's corner pixels;
    # the distortion counts from pixel edges, hence the half pixels.
    pairs = []
    for lat, lon, x, y in ((EUROPE["north"], EUROPE["west"], 0, 0),
                           (EUROPE["north"], EUROPE["east"], out_width - 1, 0),
                           (EUROPE["south"], EUROPE["west"], 0, out_height - 1)):
        sx, sy = world_pixel(width, height, lat, lon)
        pairs += ["%.4f,%.4f" % (sx + 0.5, sy + 0.5), "%.4f,%.4f" % (x + 0.5, y + 0.5)]
    subprocess.run(["convert", world, "-filter", "Triangle", "-virtual-pixel", "edge",
                    "-define", "distort:viewport=%dx%d+0+0" % (out_width, out_height),
                    "-distort", "Affine", " ".join(pairs), "+repage", "-quality", "88",
                    os.path.join(folder, "Europa.jpg")], check=True)
    with open(os.path.join(folder, "Europa.DAT"), "w", newline="\r\n") as out:
        out.write(dat_corner(EUROPE["north"], EUROPE["west"]) + "\n")
        out.write(dat_corner(EUROPE["south"], EUROPE["east"]) + "\n")
        out.write("Europa\n")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    world, folder = sys.argv[1], os.path.join(sys.argv[2], "APRS-Karten")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Welt.DAT"), "w", newline="\r\n") as out:
        out.write("; Equirectangular world map, corners on the first and last pixel\n")
        out.write("90:00.00N/180:00.00W\n90:00.00S/180:00.00E\nWelt\n")
    make_europe(world, folder)


if __name__ == "__main__":
    main()
