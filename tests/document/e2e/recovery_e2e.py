#!/usr/bin/env python3
"""A pupil's machine survives the program being killed.

The pupil places two parts and moves one with the X mouse; the program is killed with SIGKILL
once its recovery copy is written. Started again (at another level), it asks whether to
restore the machine; the pupil answers with Return and saves it with the File menu. The
saved document must be byte for byte the one the same actions give when the machine is
saved directly.

Run under an X server of its own (xvfb-run -a). Argument: the folder of the built program.
With --shots DIR, a screenshot of every step is kept there.
"""
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from xdesktop import Desktop, arguments, through_start_windows  # noqa: E402

# Screen positions (pixels). Without a window manager every top-level window opens at the
# screen's top-left corner; the positions are the windows' own layouts.
STAGE = (136, 20)          # the stage's top-left corner in the main window
FILE_MENU = (31, 8)
PRODUCT_BUTTON = (34, 67)  # palette buttons of the part kinds 0 and 2
COIN_SLOT_BUTTON = (34, 131)


def stage(x, y):
    return (STAGE[0] + x, STAGE[1] + y)


class Program:
    """One run of the program, through the splash and the start window."""

    def __init__(self, app_dir, env, desktop, level):
        # What the program writes is kept in a file (a pipe nobody reads could fill and stop it).
        self.errors = tempfile.TemporaryFile()
        self.process = subprocess.Popen([os.path.join(app_dir, "jihankobo")], env=env,
                                        stdout=subprocess.DEVNULL, stderr=self.errors)
        try:
            through_start_windows(desktop, level)
        except RuntimeError as e:
            # Say whether the program ended (and what it wrote) or is still there.
            ended = self.process.poll()
            if ended is None:
                self.process.kill()
                raise RuntimeError(f"{e}; the program was still running") from e
            self.errors.seek(0)
            raise RuntimeError(f"{e}; the program ended with {ended}: "
                               f"{self.errors.read().decode(errors='replace')[-2000:]}") from e

    def kill(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGKILL)
        self.process.wait()


def change_machine(d):
    """The pupil's work: a product and a coin slot placed, the product moved. Returns the time
    the last action began."""
    d.drag(PRODUCT_BUTTON, stage(100, 100))
    d.keys("Return")                          # 決定 in the property dialog
    d.drag(COIN_SLOT_BUTTON, stage(260, 200))
    d.keys("Return")
    last = time.time()
    d.drag(stage(110, 120), stage(150, 160))  # the product, 40 pixels right and down
    return last


def save_as(d, path):
    d.click(FILE_MENU, 0.5)
    d.keys("Down", "Down", "Return")
    d.save_in_dialog(path)


def main():
    args = arguments(helper=False).parse_args()

    work = tempfile.mkdtemp(prefix="jhk-recovery-e2e-")
    env = dict(os.environ)
    env["XDG_DATA_HOME"] = os.path.join(work, "data")
    env.setdefault("XDG_RUNTIME_DIR", work)
    recovery = os.path.join(work, "data", "jihankobo", "recovery")
    restored_path = os.path.join(work, "restored.jhk")
    direct_path = os.path.join(work, "direct.jhk")
    d = Desktop(args.shots, numbered="step", window_timeout=15)
    failed = []

    def check(name, ok):
        print(("ok: " if ok else "FAILED: ") + name)
        if not ok:
            failed.append(name)

    program = None
    try:
        # 1. The machine is changed, its copy written, and the program killed.
        program = Program(args.app_dir, env, d, level=3)
        last_change = change_machine(d)
        # The copy follows the machine within the recovery interval (5 seconds); a copy
        # written during the last drag is replaced once the part has been dropped.
        time.sleep(max(0.0, last_change + 12 - time.time()))
        copies = glob.glob(os.path.join(recovery, "*.jhkr"))
        check("a recovery copy is written after the last change",
              any(os.path.getmtime(c) > last_change for c in copies))
        program.kill()

        # 2. Started again at level 1: the question comes after the start windows.
        program = Program(args.app_dir, env, d, level=1)
        d.settle(1.0)
        d.keys("Return")                      # "はい" to the recovery question
        save_as(d, restored_path)
        program.kill()
        check("the copy is gone once restored and saved",
              not glob.glob(os.path.join(recovery, "*.jhkr")))

        # 3. The same actions in a fresh program, saved directly.
        program = Program(args.app_dir, env, d, level=3)
        change_machine(d)
        save_as(d, direct_path)
        program.kill()
    finally:
        if program:
            program.kill()

    restored = open(restored_path, "rb").read()
    direct = open(direct_path, "rb").read()
    check("the restored machine has its own level (3)", restored[16] == 3)
    check("the restored machine is the machine that was killed", restored == direct)
    if not failed:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
