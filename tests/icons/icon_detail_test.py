#!/usr/bin/env python3
"""The icon at 128 and 256 pixels is drawn with its own detail, not the 16-pixel drawing
scaled up: it differs from that enlargement in a good part of its pixels, has many more
colours than the 16-pixel drawing (smooth edges, highlights) and stays square and transparent
around the machine. The scalable SVG is the detailed drawing too. Argument: the icons' folder."""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree


def magick(*args):
    return subprocess.run(["convert", *args], capture_output=True, text=True, check=True).stdout.strip()


def main():
    folder = sys.argv[1]
    failures = []
    small = os.path.join(folder, "jihankobo-16.png")
    small_colours = int(magick(small, "-format", "%k", "info:"))
    for size in (128, 256):
        icon = os.path.join(folder, "jihankobo-%d.png" % size)
        width, height = (int(v) for v in magick(icon, "-format", "%w %h", "info:").split())
        if (width, height) != (size, size):
            failures.append("jihankobo-%d.png is %dx%d" % (size, width, height))
        colours = int(magick(icon, "-format", "%k", "info:"))
        # The pixels that differ from the 16-pixel drawing enlarged without smoothing.
        with tempfile.TemporaryDirectory() as scratch:
            enlarged = os.path.join(scratch, "enlarged.png")
            magick(small, "-filter", "point", "-resize", "%dx%d" % (size, size), enlarged)
            differing = subprocess.run(["compare", "-metric", "AE", "-fuzz", "10%", icon, enlarged, "null:"],
                                       capture_output=True, text=True).stderr.split()[0]
        share = float(differing) / (size * size)
        corner = magick(icon, "-format", "%[fx:p{0,0}.a]", "info:")
        print("%d px: %d colours (16 px: %d), %.0f%% of the pixels differ from the enlargement, corner alpha %s"
              % (size, colours, small_colours, share * 100, corner))
        if colours < 4 * small_colours:
            failures.append("jihankobo-%d.png has only %d colours" % (size, colours))
        if share < 0.15:
            failures.append("jihankobo-%d.png is the 16-pixel drawing enlarged (%.0f%% differ)" % (size, share * 100))
        if float(corner) != 0:
            failures.append("jihankobo-%d.png is not transparent in its corner" % size)
    svg = ElementTree.parse(os.path.join(folder, "jihankobo.svg")).getroot()
    shapes = [e.tag.split("}")[-1] for e in svg]
    if svg.get("viewBox") != "0 0 256 256" or "ellipse" not in shapes or len(shapes) < 30:
        failures.append("jihankobo.svg is not the detailed drawing: %s" % shapes)
    for f in failures:
        print("FAILED:", f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
