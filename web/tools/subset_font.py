#!/usr/bin/python3
"""Writes the page's fonts as WOFF2, each under a name of its own with its licence served beside
it (derived fonts):
  - the Japanese font: the Gothic font cut down to the characters the program shows (its own
    texts and tables) plus ASCII, kana and the full-width forms ("JHK Gothic");
  - with --latin, the font the desktop draws Latin letters and digits in, cut down to ASCII
    ("JHK Sans" or --family NAME).

usage: subset_font.py [--latin] [--family NAME] FONT.ttf OUT.woff2 [TEXT-FILE...]
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "JHK Gothic"
LATIN_FAMILY = "JHK Sans"


def characters(paths):
    chars = set(chr(c) for c in range(0x20, 0x7F))
    chars.update(chr(c) for c in range(0x3000, 0x3100))  # punctuation, hiragana, katakana
    chars.update(chr(c) for c in range(0xFF01, 0xFFA0))  # full-width and half-width forms
    chars.update("￥×÷▼▲○●■□◆◇※→←↑↓〜～…・")
    for p in paths:
        with open(p, encoding="utf-8", errors="ignore") as f:
            chars.update(c for c in f.read() if ord(c) >= 0x80)
    return "".join(sorted(chars))


def main():
    args = sys.argv[1:]
    latin = "--latin" in args
    args = [a for a in args if a != "--latin"]
    family = LATIN_FAMILY if latin else FAMILY
    if "--family" in args:
        i = args.index("--family")
        family = args[i + 1]
        del args[i:i + 2]
    font_path, out_path, texts = args[0], args[1], args[2:]
    font = TTFont(font_path)
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["*"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    options.notdef_outline = True
    sub = subset.Subsetter(options)
    sub.populate(text="".join(chr(c) for c in range(0x20, 0x7F)) if latin else characters(texts))
    sub.subset(font)
    for rec in font["name"].names:
        if rec.nameID in (1, 4, 16, 21):
            rec.string = family
        elif rec.nameID == 3:
            rec.string = family + " subset"
        elif rec.nameID == 6:
            rec.string = family.replace(" ", "")
    font.flavor = "woff2"
    font.save(out_path)


if __name__ == "__main__":
    main()
