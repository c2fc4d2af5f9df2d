#!/usr/bin/python3
"""Writes the page's Japanese font: the Gothic font cut down to the characters the program
shows (its own texts and tables) plus ASCII, kana and the full-width forms, as WOFF2.

The result is a derived font under the IPA Font License: it carries a name of its own and the
licence is served beside it.

usage: subset_font.py FONT.ttf OUT.woff2 TEXT-FILE...
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "JHK Gothic"


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
    font_path, out_path, texts = sys.argv[1], sys.argv[2], sys.argv[3:]
    font = TTFont(font_path)
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["*"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    options.notdef_outline = True
    sub = subset.Subsetter(options)
    sub.populate(text=characters(texts))
    sub.subset(font)
    for rec in font["name"].names:
        if rec.nameID in (1, 4, 16, 21):
            rec.string = FAMILY
        elif rec.nameID == 3:
            rec.string = FAMILY + " subset"
        elif rec.nameID == 6:
            rec.string = FAMILY.replace(" ", "")
    font.flavor = "woff2"
    font.save(out_path)


if __name__ == "__main__":
    main()
