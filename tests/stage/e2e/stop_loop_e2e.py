#!/usr/bin/env python3
"""A button whose program loops for ever through "商品排出", in the real program driven with the
X mouse: the window keeps working while the run goes on (products appear, the state label
blinks) and "停止" brings the machine back to editing within a second.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built program and
the folder of the helper stage_e2e_loop_machine. With --shots DIR the screenshots are kept
there. With --guard the run is never stopped: the script waits for the endless-loop message of
the 1000-block guard and prints how long the run took.
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
STATE_LABEL = (552 + 95, MENU_HEIGHT + 24, 110, 26)        # x, y, width, height
BUTTONS = (552 + 4, MENU_HEIGHT + 52, 214, 66)             # the run buttons
STAGE_BOX = (STAGE[0], STAGE[1], 408, 500)
# The selection frame the stop puts back round the last part touched.
FRAME_AROUND_BUTTON = (STAGE[0] + 120 - 6, STAGE[1] + 220 - 6, 43 + 12, 19 + 12)
AWAY = (900, 700)


class LoopDesktop(Desktop):
    """The desktop with screenshots kept in the work folder (and copied to the shots folder),
    for comparing parts of the screen before, during and after the run."""

    def __init__(self, work, shots):
        super().__init__(shots, pause=None, window_timeout=15)
        self.work = work
        self.taken = 0.0

    def snapshot(self, name):
        path = os.path.join(self.work, name + ".png")
        self.xdo("mousemove", *AWAY)  # no hover highlight in the picture
        self.taken = time.time()
        self.screenshot(path)
        if self.shots:
            shutil.copy(path, self.shots)
        return path


def crop(shot, box, blank=None):
    """The part `box` (x, y, width, height) of a screenshot, with `blank` painted black."""
    out = shot[:-4] + "-%d-%d.png" % (box[0], box[1])
    cmd = ["convert", shot]
    if blank:
        cmd += ["-fill", "black", "-draw",
                "rectangle %d,%d %d,%d" % (blank[0], blank[1], blank[0] + blank[2], blank[1] + blank[3])]
    cmd += ["-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]), "+repage", out]
    subprocess.run(cmd, check=True)
    return out


def differing_pixels(a, b):
    """How many pixels of two pictures of one size differ."""
    r = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    return int(float(r.stderr.split()[0]))


def visible_windows(pid):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                          capture_output=True, text=True).stdout.split()


def main():
    parser = arguments()
    parser.add_argument("--guard", action="store_true")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="jhk-loop-")
    machine = os.path.join(work, "loop.jhk")
    subprocess.run([os.path.join(args.helper_dir, "stage_e2e_loop_machine"), machine], check=True)
    program = start_program(args.app_dir, work, machine)
    d = LoopDesktop(work, args.shots)
    failures = []
    try:
        d.window("ジハン・コウボウ")      # a machine file opens straight to its main window
        time.sleep(2.0)
        editing = d.snapshot("editing")

        d.click(RUN)
        time.sleep(0.5)
        d.click(BUTTON_PART)
        started = time.time()
        if args.guard:
            windows = len(visible_windows(program.pid))
            while len(visible_windows(program.pid)) <= windows:
                if time.time() - started > 900:
                    raise RuntimeError("the guard never ended the run")
                time.sleep(0.05)
            print("the 1000-block guard ended the run after %.1f s" % (time.time() - started))
            d.snapshot("guard")
            return 0

        time.sleep(2.0)
        # The run goes on and the window with it: products have dropped, and the state label
        # blinks (its colour changes every quarter second).
        # On a loaded machine a snapshot can take longer than a blink: look a few more times
        # before calling the label still.
        first = crop(d.snapshot("running0"), STATE_LABEL)
        blinked = False
        for i in range(1, 10):
            time.sleep(0.3)
            if differing_pixels(first, crop(d.snapshot("running%d" % i), STATE_LABEL)) != 0:
                blinked = True
                break
        if differing_pixels(crop(editing, STAGE_BOX), crop(d.snapshot("running"), STAGE_BOX)) == 0:
            failures.append("nothing changed on the stage during the run")
        if not blinked:
            failures.append("the state label did not blink during the run")

        d.click(STOP)
        stopped_at = time.time()
        time.sleep(0.1)
        after = d.snapshot("stopped")
        took = d.taken - stopped_at
        # Back in editing: the stage (products gone, lamp off, part numbers back) and the run
        # buttons look exactly as before the run.
        stage_diff = differing_pixels(crop(editing, STAGE_BOX, FRAME_AROUND_BUTTON),
                                      crop(after, STAGE_BOX, FRAME_AROUND_BUTTON))
        buttons_diff = differing_pixels(crop(editing, BUTTONS), crop(after, BUTTONS))
        print("stage differs by %d pixels, run buttons by %d, %.2f s after the stop" % (stage_diff, buttons_diff, took))
        if took > 1.0:
            failures.append("the check after the stop came too late (%.2f s)" % took)
        if stage_diff != 0:
            failures.append("the stage is not back to editing")
        if buttons_diff != 0:
            failures.append("the run buttons are not back to editing")
        if program.poll() is not None:
            failures.append("the program ended")
    finally:
        stop_program(program)
        shutil.rmtree(work, ignore_errors=True)
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
