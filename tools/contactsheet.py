#!/usr/bin/env python3
"""Lays every picture under Assets/image out on one labelled page (ImageMagick montage).

Small pictures are enlarged with square pixels (the game draws with nearest filtering,
so this is how they look zoomed in); large ones are shrunk to fit a cell. Each label
gives the path, the pixel size and, for sprite sheets, the number of frames.

  contactsheet.py ASSETS_IMAGE_DIR OUT.png [--only SUBSTRING ...] [--cell 320] [--columns 6]
"""
import argparse
import os
import struct
import subprocess
import sys

FONT = "/usr/share/fonts/truetype/roboto/unhinted/RobotoCondensed-Regular.ttf"


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def frame_count(png):
    txt = png[:-4] + ".txt"
    folder, name = os.path.split(txt)
    # Some descriptors differ from their picture in case (btnSelect.png / BtnSelect.txt).
    for cand in os.listdir(folder):
        if cand.lower() == name.lower() and cand.endswith(".txt"):
            with open(os.path.join(folder, cand)) as f:
                return sum(1 for line in f if line.strip())
    return 0


def main():
    p = argparse.ArgumentParser()
    p.add_argument("images")
    p.add_argument("out")
    p.add_argument("--only", nargs="*", default=[])
    p.add_argument("--cell", type=int, default=320)
    p.add_argument("--columns", type=int, default=6)
    p.add_argument("--montage", default="montage")
    a = p.parse_args()

    files = []
    for root, dirs, names in os.walk(a.images, followlinks=True):
        dirs.sort()
        for n in sorted(names):
            if n.endswith(".png"):
                files.append(os.path.join(root, n))
    files.sort(key=lambda f: os.path.relpath(f, a.images).lower())
    if a.only:
        files = [f for f in files if any(s in os.path.relpath(f, a.images) for s in a.only)]
    if not files:
        sys.exit("contactsheet: no pictures found under %s" % a.images)

    cmd = [a.montage, "-font", FONT, "-pointsize", "13", "-background", "#6b6b6b", "-fill", "white"]
    for f in files:
        size = png_size(f)
        if size is None:
            sys.exit("contactsheet: %s is not a PNG" % f)
        w, h = size
        frames = frame_count(f)
        label = "%s  %dx%d%s" % (os.path.relpath(f, a.images), w, h, ("  %d frames" % frames) if frames else "")
        big = max(w, h)
        if big * 2 <= a.cell:
            zoom = min(4, a.cell // big)
            cmd += ["-label", label + "  (x%d)" % zoom, "(", f, "-filter", "point", "-resize", "%d%%" % (zoom * 100), ")"]
        elif big > a.cell:
            cmd += ["-label", label, "(", f, "-resize", "%dx%d" % (a.cell, a.cell), ")"]
        else:
            cmd += ["-label", label, f]
    cmd += ["-geometry", "%dx%d>+6+6" % (a.cell, a.cell), "-tile", "%dx" % a.columns, "-depth", "8", a.out]
    r = subprocess.run(cmd)
    if r.returncode != 0:
        sys.exit("contactsheet: montage failed")
    print("contact sheet: %s (%d pictures)" % (a.out, len(files)))


if __name__ == "__main__":
    main()
