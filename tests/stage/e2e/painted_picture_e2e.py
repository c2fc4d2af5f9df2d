#!/usr/bin/env python3
"""A product with a picture of its own (painted, kept beside the document), in the real program
driven with the X mouse and keyboard: "プロパティの変更..." shows the painting, "決定" after only a
price change keeps it on the stage, "編集" opens the paint tool on it, and closing the paint tool
by its close box leaves the part as it was.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built program and
the folder of the helper stage_e2e_loop_machine. With --shots DIR the screenshots are kept there.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

MENU_HEIGHT = 19
STAGE = (136, MENU_HEIGHT)
STAGE_BOX = (STAGE[0], STAGE[1], 408, 500)
PRODUCT = (STAGE[0] + 60 + 20, STAGE[1] + 60 + 30)   # inside the 40 × 60 painting
AWAY = (900, 700)
PAINTING = (40, 60)
VALUE_BOX_A = (184 + 50, 64 + 10)                     # in the property dialog
EDIT_BUTTON = (95 + 40, 198 + 12)
OK_BUTTON = (183 + 40, 198 + 12)


def write_bitmap(path, size, rgb):
    """A 24-bit bitmap file of one colour."""
    width, height = size
    row = bytes([rgb[2], rgb[1], rgb[0]]) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 14 + 40))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0))
        f.write(pixels)


def magenta_pixels(shot, box):
    """How many pixels of the painting's colour lie in `box` (x, y, width, height)."""
    out = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]), "+repage",
                          "-fill", "black", "+opaque", "#FF00FF", "-fill", "white", "-opaque", "#FF00FF",
                          "-format", "%[fx:round(mean*w*h)]", "info:"], capture_output=True, text=True, check=True)
    return int(out.stdout.strip())


def main():
    args = arguments().parse_args()
    work = tempfile.mkdtemp(prefix="jhk-painted-")
    machine = os.path.join(work, "painted.jhk")
    subprocess.run([os.path.join(args.helper_dir, "stage_e2e_loop_machine"), "--painted", machine], check=True)
    write_bitmap(os.path.join(work, "mine.bmp"), PAINTING, (255, 0, 255))
    program = start_program(args.app_dir, work, machine, own_settings=True)
    d = Desktop(args.shots, pause=0.6, window_timeout=15)
    failures = []
    whole = PAINTING[0] * PAINTING[1]

    def snapshot(name):
        path = os.path.join(work, name + ".png")
        d.xdo("mousemove", *AWAY)
        time.sleep(0.3)
        d.screenshot(path)
        if args.shots:
            shutil.copy(path, args.shots)
        return path

    def open_properties():
        d.xdo("mousemove", *PRODUCT)
        d.xdo("click", 3)
        time.sleep(0.6)
        d.click((PRODUCT[0] + 30, PRODUCT[1] + 10))   # "プロパティの変更...", the menu's first entry
        return d.corner("プロパティの設定")

    try:
        d.window("ジハン・コウボウ")
        time.sleep(1.5)
        if magenta_pixels(snapshot("opened"), STAGE_BOX) != whole:
            failures.append("the painting is not on the stage after opening")

        corner = open_properties()
        dialog = snapshot("properties")
        if magenta_pixels(dialog, (corner[0], corner[1], 370, 254)) != whole:
            failures.append("the property dialog does not show the painting")
        d.click((corner[0] + VALUE_BOX_A[0], corner[1] + VALUE_BOX_A[1]))
        d.keys("ctrl+a")
        d.type("130")
        d.click((corner[0] + OK_BUTTON[0], corner[1] + OK_BUTTON[1]))
        if magenta_pixels(snapshot("price-changed"), STAGE_BOX) != whole:
            failures.append("決定 after a price change replaced the painting")

        corner = open_properties()
        d.click((corner[0] + EDIT_BUTTON[0], corner[1] + EDIT_BUTTON[1]))
        paint = d.window("ﾍﾟｲﾝﾄﾂｰﾙ")
        time.sleep(1.0)
        left, top, width, height = d.geometry(paint)
        if magenta_pixels(snapshot("paint-tool"), (left, top, width, height)) < whole:
            failures.append("the paint tool did not start from the painting")
        d.close_window(paint)
        time.sleep(0.5)
        if magenta_pixels(snapshot("paint-tool-closed"), STAGE_BOX) != whole:
            failures.append("closing the paint tool did not leave the painting on the part")
        if program.poll() is not None:
            failures.append("the program ended")
    finally:
        stop_program(program)
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
