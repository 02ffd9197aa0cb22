#!/usr/bin/env python3
"""Renders the game's SVG art into the PNG files the game loads.

Every picture is drawn in screen pixels (1 SVG unit = 1 pixel on the 1264x720
logical screen), so one outline weight reads the same everywhere. A source may
use three small extensions that this script resolves before librsvg sees it:

  @name            a colour from content/art/palette.txt (raw hex colours are
                   refused, which keeps every picture on the one palette);
  {{expr}}         a Python expression, evaluated with the frame's variables;
  data-repeat="k in EXPR"   clone the element once per value of EXPR;
  data-if="EXPR"            keep the element only where EXPR is true;
  data-include="x.part.svg" fill the group with a shared part of drawing.

A sprite sheet is a source whose top-level groups carry data-frame="label"
(one frame) or data-frames="N" (N frames, variable i = 0..N-1). Top-level
elements that are not frames are drawn under every frame and are expanded with
that frame's variables, so a button sheet can be a single drawing plus one
empty group per look. data-vars="hover=1; look=2" sets variables for a frame.
Frames are laid out in a grid with transparent gutters and the descriptor
lines "label= x y w h" are written with y counted from the bottom edge, the
way the game's loader stores images.
"""
import argparse
import copy
import math
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG_NS = "http://www.w3.org/2000/svg"
ET.register_namespace("", SVG_NS)
Q = lambda tag: "{%s}%s" % (SVG_NS, tag)

GUTTER = 2          # transparent pixels around every frame of a sheet
MAX_SHEET_WIDTH = 2048


def fail(msg):
    sys.stderr.write("artbuild: %s\n" % msg)
    sys.exit(1)


# ---------------------------------------------------------------- palette

def load_palette(path):
    colours = {}
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.split("#", 1)[0] if not line.lstrip().startswith("#") else ""
            parts = line.split()
            if not parts:
                continue
            if len(parts) != 2 or not re.fullmatch(r"[0-9a-fA-F]{6}", parts[1]):
                fail("%s:%d: expected 'name rrggbb'" % (path, n))
            colours[parts[0]] = "#" + parts[1].lower()
    return colours


RAW_COLOUR = re.compile(r"(fill|stroke|stop-color|flood-color|lighting-color|color)\s*[:=]\s*[\"']?\s*#[0-9a-fA-F]{3,8}")


def apply_palette(text, palette, where):
    m = RAW_COLOUR.search(text)
    if m:
        fail("%s: raw colour '%s': name it in the palette" % (where, m.group(0)))

    def sub(m):
        name = m.group(1)
        if name not in palette:
            fail("%s: colour @%s is not in the palette" % (where, name))
        return palette[name]
    return re.sub(r"@([A-Za-z][A-Za-z0-9_]*)", sub, text)


# ---------------------------------------------------------------- expressions

def rnd(*key):
    """Deterministic uniform value in [0, 1) for a key: scatter that never moves."""
    h = 2166136261
    for part in repr(key).encode():
        h = ((h ^ part) * 16777619) & 0xFFFFFFFF
    h ^= h >> 13
    h = (h * 0x5bd1e995) & 0xFFFFFFFF
    h ^= h >> 15
    return h / 4294967296.0


def star_path(cx, cy, ro, ri, n=5, rot=-90):
    pts = []
    for k in range(2 * n):
        r = ro if k % 2 == 0 else ri
        a = math.radians(rot + k * 180.0 / n)
        pts.append("%.2f,%.2f" % (cx + r * math.cos(a), cy + r * math.sin(a)))
    return "M" + " L".join(pts) + " Z"


def gear_path(cx, cy, ro, ri, teeth, rot=0):
    pts = []
    step = 360.0 / teeth
    for k in range(teeth):
        a0 = rot + k * step
        for a, r in ((a0 - step * 0.22, ri), (a0 - step * 0.13, ro), (a0 + step * 0.13, ro), (a0 + step * 0.22, ri)):
            t = math.radians(a)
            pts.append("%.2f,%.2f" % (cx + r * math.cos(t), cy + r * math.sin(t)))
    return "M" + " L".join(pts) + " Z"


def poly(*xy):
    return " ".join("%.2f" % v for v in xy)


def polar(cx, cy, r, deg):
    t = math.radians(deg)
    return "%.2f,%.2f" % (cx + r * math.cos(t), cy + r * math.sin(t))


BASE_ENV = {k: getattr(math, k) for k in ("sin", "cos", "tan", "pi", "sqrt", "floor", "ceil", "radians", "degrees", "atan2", "hypot")}
BASE_ENV.update(rnd=rnd, star_path=star_path, gear_path=gear_path, poly=poly, polar=polar,
                range=range, enumerate=enumerate, zip=zip, int=int, round=round, abs=abs, min=min, max=max, len=len, str=str)

EXPR = re.compile(r"\{\{(.*?)\}\}", re.S)


def evaluate(expr, env, where):
    try:
        # The variables go in as globals so that comprehensions can see them.
        scope = dict(env)
        scope["__builtins__"] = {}
        return eval(expr, scope)
    except Exception as e:  # a broken source is a build error, with its place named
        fail("%s: cannot evaluate '%s': %s" % (where, expr.strip(), e))


def expand_text(s, env, where):
    if s is None or "{{" not in s:
        return s

    def sub(m):
        v = evaluate(m.group(1), env, where)
        if isinstance(v, float):
            return ("%.3f" % v).rstrip("0").rstrip(".")
        return str(v)
    return EXPR.sub(sub, s)


def parse_vars(clause, env, where):
    out = dict(env)
    for item in filter(None, (p.strip() for p in clause.split(";"))):
        if "=" not in item:
            fail("%s: data-vars item '%s' needs name=value" % (where, item))
        name, value = item.split("=", 1)
        out[name.strip()] = evaluate(value, out, where)
    return out


def expand(elem, env, where):
    """Returns the list of elements this one becomes under env."""
    if "data-repeat" in elem.attrib:
        clause = elem.attrib["data-repeat"]
        m = re.fullmatch(r"\s*([A-Za-z_]\w*)\s+in\s+(.+)", clause)
        if not m:
            fail("%s: data-repeat '%s' must read 'name in expression'" % (where, clause))
        values = evaluate(m.group(2), env, where)
        out = []
        for v in values:
            clone = copy.deepcopy(elem)
            del clone.attrib["data-repeat"]
            sub_env = dict(env)
            sub_env[m.group(1)] = v
            out.extend(expand(clone, sub_env, where))
        return out
    if "data-vars" in elem.attrib:
        env = parse_vars(elem.attrib["data-vars"], env, where)
    if "data-if" in elem.attrib and not evaluate(elem.attrib["data-if"], env, where):
        return []
    if "data-include" in elem.attrib:
        return include(elem, env, where)
    new = ET.Element(elem.tag)
    for k, v in elem.attrib.items():
        if k.startswith("data-"):
            continue
        new.set(k, expand_text(v, env, where))
    new.text = expand_text(elem.text, env, where)
    new.tail = expand_text(elem.tail, env, where)
    for child in elem:
        new.extend(expand(child, env, where))
    return [new]


# A part (name.part.svg) is drawing shared by several pictures; data-include="name.part.svg"
# on a group puts the part's content inside that group, expanded with the group's variables.
INCLUDE_STATE = {"dir": ".", "palette": {}}


def include(elem, env, where):
    # A part is looked for beside the source, then in each folder above it, so parts
    # shared by several folders live where those folders meet.
    name = elem.attrib["data-include"]
    folder = INCLUDE_STATE["dir"]
    while True:
        path = os.path.join(folder, name)
        if os.path.isfile(path) or os.path.dirname(folder) == folder:
            break
        folder = os.path.dirname(folder)
    if not os.path.isfile(path):
        fail("%s: no part file %s" % (where, name))
    text = apply_palette(open(path, encoding="utf-8").read(), INCLUDE_STATE["palette"], path)
    part = ET.fromstring(text)
    holder = copy.deepcopy(elem)
    del holder.attrib["data-include"]
    holder[:] = list(part)
    holder.text = None
    return expand(holder, env, os.path.basename(path))


# ---------------------------------------------------------------- composing

def number(root, name, where):
    v = root.attrib.get(name)
    if v is None or not re.fullmatch(r"\d+", v):
        fail("%s: the root needs a whole-pixel %s" % (where, name))
    return int(v)


def shared_defs(common_path, palette):
    text = apply_palette(open(common_path, encoding="utf-8").read(), palette, common_path)
    root = ET.fromstring(text)
    return [child for child in root]


def compose(src, palette, common, env_extra=None):
    where = os.path.basename(src)
    INCLUDE_STATE.update(dir=os.path.dirname(os.path.abspath(src)), palette=palette)
    text = apply_palette(open(src, encoding="utf-8").read(), palette, src)
    try:
        root = ET.fromstring(text)
    except ET.ParseError as e:
        fail("%s: %s" % (src, e))
    fw, fh = number(root, "width", where), number(root, "height", where)
    env = dict(BASE_ENV)
    env.update(W=fw, H=fh)
    if "data-vars" in root.attrib:
        env = parse_vars(root.attrib["data-vars"], env, where)

    keep = [c for c in root if c.tag in (Q("defs"), Q("style"))]
    frames, shared = [], []
    for child in root:
        if child.tag in (Q("defs"), Q("style")):
            continue
        if "data-frames" in child.attrib or "data-frame" in child.attrib:
            frames.append(child)
        else:
            shared.append(child)

    out = ET.Element(Q("svg"))
    defs = ET.SubElement(out, Q("defs"))
    for d in common:
        if d.tag == Q("defs"):
            defs.extend(expand(d, env, "common")[0])
        else:
            out.extend(expand(d, env, "common"))
    for d in keep:
        if d.tag == Q("defs"):
            defs.extend(expand(d, env, where)[0])
        else:
            out.extend(expand(d, env, where))

    if not frames:
        out.set("width", str(fw))
        out.set("height", str(fh))
        out.set("viewBox", "0 0 %d %d" % (fw, fh))
        for s in shared:
            out.extend(expand(s, env, where))
        return out, None

    cells = []  # (label, env)
    for g in frames:
        genv = env
        if "data-vars" in g.attrib and "data-frames" not in g.attrib:
            genv = parse_vars(g.attrib["data-vars"], env, where)
        if "data-frames" in g.attrib:
            n = int(evaluate(g.attrib["data-frames"], env, where))
            base = g.attrib.get("data-label", "frame")
            for i in range(n):
                fenv = dict(env)
                fenv.update(i=i, n=n, t=i / n)
                if "data-vars" in g.attrib:
                    fenv = parse_vars(g.attrib["data-vars"], fenv, where)
                cells.append(("%s%d" % (base, i), fenv, g))
        else:
            cells.append((g.attrib["data-frame"], genv, g))

    count = len(cells)
    cols = int(root.attrib.get("data-cols", 0)) or max(1, min(count, (MAX_SHEET_WIDTH - GUTTER) // (fw + GUTTER)))
    rows = (count + cols - 1) // cols
    sw, sh = GUTTER + cols * (fw + GUTTER), GUTTER + rows * (fh + GUTTER)
    out.set("width", str(sw))
    out.set("height", str(sh))
    out.set("viewBox", "0 0 %d %d" % (sw, sh))
    lines = []
    for k, (label, fenv, g) in enumerate(cells):
        if "=" in label or not label:
            fail("%s: frame label '%s' must be non-empty and free of '='" % (where, label))
        x = GUTTER + (k % cols) * (fw + GUTTER)
        y = GUTTER + (k // cols) * (fh + GUTTER)
        cell = ET.SubElement(out, Q("svg"), x=str(x), y=str(y), width=str(fw), height=str(fh),
                             viewBox="0 0 %d %d" % (fw, fh), overflow="hidden")
        for s in shared:
            cell.extend(expand(s, fenv, where))
        body = copy.deepcopy(g)
        for a in ("data-frames", "data-frame", "data-label", "data-vars"):
            body.attrib.pop(a, None)
        cell.extend(expand(body, fenv, where))
        # The game's images are stored bottom row first, so y counts from the bottom.
        lines.append("%s= %d %d %d %d\n" % (label, x, sh - (y + fh), fw, fh))
    return out, "".join(lines)


def render(args):
    palette = load_palette(args.palette)
    common = shared_defs(args.common, palette)
    svg, descriptor = compose(args.src, palette, common)
    if args.descriptor and descriptor is None:
        fail("%s: a sheet needs frames (data-frame or data-frames)" % args.src)
    if descriptor is not None and not args.descriptor:
        fail("%s: has frames but no descriptor output was asked for" % args.src)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    os.makedirs(args.work, exist_ok=True)
    composed = os.path.join(args.work, os.path.basename(args.out)[:-4] + ".svg")
    with open(composed, "w", encoding="utf-8", newline="\n") as f:
        f.write(ET.tostring(svg, encoding="unicode"))
    tmp = args.out + ".part"
    size = ["-w", str(args.size), "-h", str(args.size)] if args.size else []
    r = subprocess.run([args.rsvg, "-f", "png", *size, "-o", tmp, composed])
    if r.returncode != 0:
        fail("rsvg-convert failed on %s" % composed)
    os.replace(tmp, args.out)
    if descriptor is not None:
        with open(args.descriptor, "w", encoding="utf-8", newline="\n") as f:
            f.write(descriptor)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("src")
    p.add_argument("out")
    p.add_argument("--descriptor")
    p.add_argument("--palette", required=True)
    p.add_argument("--common", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--rsvg", default="rsvg-convert")
    # Desktop icons: the one drawing scaled to each size the desktop asks for.
    p.add_argument("--size", type=int, help="render square at this many pixels instead of the drawn size")
    render(p.parse_args())


if __name__ == "__main__":
    main()
