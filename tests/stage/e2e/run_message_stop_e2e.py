#!/usr/bin/env python3
"""A button whose program loops through "商品排出" and "カウンター減算" until the amount display
overflows, in the real program driven with the X keyboard and mouse: every pass then shows the
overflow message. Escape answers OK (the run goes on and the message comes back); Tab reaches the
message box's "停止", and Space on it ends the run as the main window's "停止" does: the machine
is back in editing, and the next run starts from a display at 0 (no overflow at its first
passes). So does the main window's "停止" clicked between two messages.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built program and
the folder of the helper stage_e2e_loop_machine. With --shots DIR the screenshots are kept there.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, report, start_program, stop_program  # noqa: E402

MENU_HEIGHT = 19                   # the main window's client area starts below its menu bar
STAGE = (136, MENU_HEIGHT)         # the stage's top-left corner on the screen
BUTTON_PART = (STAGE[0] + 120 + 21, STAGE[1] + 220 + 9)   # the button part's centre
RUN = (552 + 8 + 60, MENU_HEIGHT + 56 + 12)                # "実行"
STOP = (552 + 128 + 40, MENU_HEIGHT + 56 + 12)             # "停止"
BUTTONS = (552 + 4, MENU_HEIGHT + 52, 214, 66)             # the run buttons
MESSAGE_TITLE = "ジハンコウボウ"                            # every message box's caption
AWAY = (900, 700)


def message_boxes(pid):
    """The visible message boxes of the program. A tooltip and the main window may carry the
    program's title too: a box is a window taller than a tooltip and smaller than the stage."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name",
                            "^" + MESSAGE_TITLE + "$"], capture_output=True, text=True).stdout
    boxes = []
    for w in found.split():
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", w],
                             capture_output=True, text=True).stdout
        values = dict(line.split("=") for line in out.split())
        if 60 <= int(values.get("HEIGHT", 0)) and int(values.get("WIDTH", 0)) < 500:
            boxes.append(w)
    return boxes


def wait_for_box(pid, timeout, other_than=None):
    """The newest message box (not `other_than`) once there is one, or None after `timeout`."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        boxes = [b for b in message_boxes(pid) if b != other_than]
        if boxes:
            return boxes[-1]
        time.sleep(0.1)
    return None


def crop(shot, box):
    out = shot[:-4] + "-%d-%d.png" % (box[0], box[1])
    subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]),
                    "+repage", out], check=True)
    return out


def differing_pixels(a, b):
    r = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return int(float(r.stderr.split()[0]))


def main():
    args = arguments().parse_args()
    work = tempfile.mkdtemp(prefix="jhk-message-stop-")
    machine = os.path.join(work, "overflow.jhk")
    subprocess.run([os.path.join(args.helper_dir, "stage_e2e_loop_machine"), "--overflow", machine],
                   check=True)
    # Settings of its own: no run view left open by an earlier session.
    program = start_program(args.app_dir, work, machine, own_settings=True)
    d = Desktop(args.shots, pause=None, window_timeout=15)
    failures = []

    def snapshot(name):
        path = os.path.join(work, name + ".png")
        d.xdo("mousemove", *AWAY)
        d.screenshot(path)
        if args.shots:
            shutil.copy(path, args.shots)
        return path

    try:
        d.window("ジハン・コウボウ")
        time.sleep(2.0)
        editing = snapshot("editing")
        d.click(RUN)
        time.sleep(0.5)
        d.click(BUTTON_PART)
        d.xdo("mousemove", *AWAY)

        box = wait_for_box(program.pid, 30)
        if box is None:
            raise RuntimeError("the overflow message never came")
        time.sleep(0.5)
        snapshot("overflow-message")
        # Escape answers OK: the run goes on and the next pass shows the message again.
        d.keys("Escape")
        if wait_for_box(program.pid, 10, other_than=box) is None:
            failures.append("Escape did not answer OK: the run did not go on")
        time.sleep(0.5)
        # Tab reaches "停止"; Space presses it.
        d.keys("Tab")
        time.sleep(0.3)
        snapshot("stop-focused")
        d.keys("space")
        time.sleep(1.0)
        if message_boxes(program.pid):
            failures.append("a message box is still up after its 停止")
        after = snapshot("stopped")
        if differing_pixels(crop(editing, BUTTONS), crop(after, BUTTONS)) != 0:
            failures.append("the run buttons are not back to editing after the box's 停止")

        # The next run starts from a display at 0: its first passes show no overflow.
        d.click(RUN)
        time.sleep(0.5)
        d.click(BUTTON_PART)
        d.xdo("mousemove", *AWAY)
        if wait_for_box(program.pid, 2.0) is not None:
            snapshot("second-run")
            failures.append("the next run went straight to the overflow message")
            d.keys("Tab", "space")
        else:
            d.click(STOP)
        time.sleep(0.5)

        # The main window's 停止 in the gap between two messages does the same.
        d.click(RUN)
        time.sleep(0.5)
        d.click(BUTTON_PART)
        d.xdo("mousemove", *AWAY)
        box = wait_for_box(program.pid, 30)
        if box is None:
            raise RuntimeError("the overflow message never came in the third run")
        d.keys("Return")
        d.click(STOP)
        time.sleep(0.5)
        if message_boxes(program.pid):
            d.keys("Tab", "space")
            failures.append("the main window's 停止 between two messages did not end the run")
        d.click(RUN)
        time.sleep(0.5)
        d.click(BUTTON_PART)
        d.xdo("mousemove", *AWAY)
        if wait_for_box(program.pid, 2.0) is not None:
            snapshot("fourth-run")
            failures.append("after a stop between two messages the next run went straight to the overflow message")
            d.keys("Tab", "space")
        else:
            d.click(STOP)
        time.sleep(0.5)
        if program.poll() is not None:
            failures.append("the program ended")
    finally:
        stop_program(program)
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
