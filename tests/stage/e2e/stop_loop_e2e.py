#!/usr/bin/env python3
"""A button whose program loops for ever through "商品排出", in the real program driven with the
X mouse: the window keeps working while the run goes on (products appear, the state label
blinks) and "停止" brings the machine back to editing within a second.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built program and
the folder of the helper stage_e2e_loop_machine. With --shots DIR the screenshots are kept
there. With --guard the run is never stopped: the script waits for the endless-loop message of
the 1000-block guard and prints how long the run took.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

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


class Desktop:
    def __init__(self, work, shots):
        self.work = work
        self.shots = shots
        self.taken = 0.0

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], check=True)

    def click(self, pos):
        self.xdo("mousemove", int(pos[0]), int(pos[1]))
        self.xdo("click", 1)

    def shot(self, name):
        path = os.path.join(self.work, name + ".png")
        self.xdo("mousemove", *AWAY)  # no hover highlight in the picture
        self.taken = time.time()
        subprocess.run(["import", "-window", "root", path], check=True)
        if self.shots:
            shutil.copy(path, self.shots)
        return path

    def crop(self, shot, box, blank=None):
        out = shot[:-4] + "-%d-%d.png" % (box[0], box[1])
        cmd = ["convert", shot]
        if blank:
            cmd += ["-fill", "black", "-draw",
                    "rectangle %d,%d %d,%d" % (blank[0], blank[1], blank[0] + blank[2], blank[1] + blank[3])]
        cmd += ["-crop", "%dx%d+%d+%d" % (box[2], box[3], box[0], box[1]), "+repage", out]
        subprocess.run(cmd, check=True)
        return out

    def differing_pixels(self, a, b):
        r = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
        return int(float(r.stderr.split()[0]))

    def wait_window(self, title, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title],
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found
            time.sleep(0.2)
        raise RuntimeError(f"no window titled {title}")


def visible_windows(pid):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                          capture_output=True, text=True).stdout.split()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app_dir")
    parser.add_argument("helper_dir")
    parser.add_argument("--shots")
    parser.add_argument("--guard", action="store_true")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="jhk-loop-")
    machine = os.path.join(work, "loop.jhk")
    subprocess.run([os.path.join(args.helper_dir, "stage_e2e_loop_machine"), machine], check=True)
    env = dict(os.environ)
    env.setdefault("XDG_RUNTIME_DIR", work)
    program = subprocess.Popen([os.path.join(args.app_dir, "jihankobo"), machine], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    d = Desktop(work, args.shots)
    failures = []
    try:
        d.wait_window("ジハン・コウボウ")     # a machine file opens straight to its main window
        time.sleep(2.0)
        editing = d.shot("editing")

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
            d.shot("guard")
            return 0

        time.sleep(2.0)
        # The run goes on and the window with it: products have dropped, and the state label
        # blinks (its colour changes every quarter second).
        labels = []
        for i in range(3):
            labels.append(d.crop(d.shot("running%d" % i), STATE_LABEL))
            time.sleep(0.3)
        if d.differing_pixels(d.crop(editing, STAGE_BOX), d.crop(d.shot("running"), STAGE_BOX)) == 0:
            failures.append("nothing changed on the stage during the run")
        if all(d.differing_pixels(labels[0], other) == 0 for other in labels[1:]):
            failures.append("the state label did not blink during the run")

        d.click(STOP)
        stopped_at = time.time()
        time.sleep(0.1)
        after = d.shot("stopped")
        took = d.taken - stopped_at
        # Back in editing: the stage (products gone, lamp off, part numbers back) and the run
        # buttons look exactly as before the run.
        stage_diff = d.differing_pixels(d.crop(editing, STAGE_BOX, FRAME_AROUND_BUTTON),
                                        d.crop(after, STAGE_BOX, FRAME_AROUND_BUTTON))
        buttons_diff = d.differing_pixels(d.crop(editing, BUTTONS), d.crop(after, BUTTONS))
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
        program.kill()
        program.wait()
        shutil.rmtree(work, ignore_errors=True)

    for f in failures:
        print("FAILED:", f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
