#!/usr/bin/env python3
"""Expands a token source into one of the game's token files (object lists, loadout).

The game reads these files token by token and its validator counts tokens, so the
output always has exactly one token per line and a line break after the last one.
The source is easier to read: whitespace-separated tokens, several to a line (one
object block per line, say), "#" at the start of a word begins a comment, and

  @repeat N
  ...tokens...
  @end

writes the enclosed tokens N times (pools of identical projectiles).

  tokens.py SOURCE OUT
"""
import sys


def expand(lines, where):
    out, stack = [], [[]]
    counts = []
    for n, raw in enumerate(lines, 1):
        words = []
        for w in raw.split():
            if w.startswith("#"):
                break
            words.append(w)
        if not words:
            continue
        if words[0] == "@repeat":
            if len(words) != 2 or not words[1].isdigit():
                sys.exit("%s:%d: '@repeat N' needs a count" % (where, n))
            counts.append(int(words[1]))
            stack.append([])
            continue
        if words[0] == "@end":
            if not counts:
                sys.exit("%s:%d: '@end' without '@repeat'" % (where, n))
            body = stack.pop()
            stack[-1].extend(body * counts.pop())
            continue
        if any(w.startswith("@") for w in words):
            sys.exit("%s:%d: unknown directive" % (where, n))
        stack[-1].extend(words)
    if counts:
        sys.exit("%s: '@repeat' without '@end'" % where)
    return stack[0]


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: tokens.py SOURCE OUT")
    src, dst = sys.argv[1], sys.argv[2]
    with open(src, encoding="utf-8") as f:
        tokens = expand(f.readlines(), src)
    if not tokens:
        sys.exit("%s: no tokens" % src)
    with open(dst + ".part", "w", encoding="utf-8", newline="\n") as f:
        f.write("".join(t + "\n" for t in tokens))
    import os
    os.replace(dst + ".part", dst)


if __name__ == "__main__":
    main()
