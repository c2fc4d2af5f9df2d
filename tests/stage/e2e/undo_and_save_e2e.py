#!/usr/bin/env python3
"""A pupil at the real program with the X mouse and keyboard only:

1. drops a product on an empty stage, closes its property dialog with Enter and presses
   Ctrl+S at once: the save dialog opens and the machine is saved;
2. opens a machine, deletes its button (which has a program and is named by the coin slot's
   program), presses Ctrl+Z, saves: the simulator then sells a product with that machine.

Run under an X server of its own (xvfb-run -a). Arguments: the folder of the built programs
(jihankobo, jihankobo-sim) and the folder of the helper blockeditor_e2e_machine. With
--shots DIR, a screenshot of every step is kept there.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

# Without a window manager every top-level window opens at the screen's top-left corner; the
# positions below are the main window's own layout (the menu bar is 20 pixels high).
LEVEL3_OPTION = (35, 211)
START_BUTTON = (300, 254)
STAGE = (136, 20)
PRODUCT_PALETTE = (34, 68)
DELETE_BUTTON = (62, 376)
BUTTON_PART = (120, 220, 43, 19)  # left, top, width, height on the stage, as the helper places it


class Desktop:
    def __init__(self, shots):
        self.shots = shots
        self.count = 0

    def xdo(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], check=True)

    def settle(self, seconds=0.6):
        time.sleep(seconds)
        if self.shots:
            self.count += 1
            subprocess.run(["import", "-window", "root", os.path.join(self.shots, f"undo{self.count:02d}.png")])

    def click(self, pos, settle=0.6):
        self.xdo("mousemove", int(pos[0]), int(pos[1]))
        self.xdo("click", 1)
        self.settle(settle)

    def drag(self, start, end):
        self.xdo("mousemove", int(start[0]), int(start[1]))
        self.xdo("mousedown", 1)
        steps = 8
        for i in range(1, steps + 1):
            self.xdo("mousemove", int(start[0] + (end[0] - start[0]) * i / steps),
                     int(start[1] + (end[1] - start[1]) * i / steps))
            time.sleep(0.03)
        self.xdo("mouseup", 1)
        self.settle(1.0)

    def keys(self, *names):
        for name in names:
            self.xdo("key", name)
            time.sleep(0.15)
        self.settle()

    def window(self, title, timeout=10):
        """Waits for a visible window whose title begins with `title`."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^" + title],
                                   capture_output=True, text=True).stdout.split()
            if found:
                return found[-1]
            time.sleep(0.2)
        raise RuntimeError(f"no window titled {title}")

    def save_as(self, path):
        """Ctrl+S, then the file name typed into the save dialog."""
        self.keys("ctrl+s")
        self.window("ファイルの保存", timeout=5)
        self.xdo("type", "--delay", 20, path)
        self.keys("Return")
        deadline = time.time() + 5
        while not os.path.exists(path) and time.time() < deadline:
            time.sleep(0.2)
        if not os.path.exists(path):
            raise RuntimeError(f"{path} was not saved")


def start(app_dir, work, machine=None):
    env = dict(os.environ)
    env.setdefault("XDG_RUNTIME_DIR", work)
    args = [os.path.join(app_dir, "jihankobo")] + ([machine] if machine else [])
    return subprocess.Popen(args, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def to_main_window(d, with_file=False):
    d.window("ジハン・コウボウ")
    if with_file:                  # a machine file opens straight to its main window
        time.sleep(2.0)
        return
    d.click((200, 150))            # the splash closes on a click
    d.window("ジハンコウボウ")
    d.click(LEVEL3_OPTION, 0.3)
    d.click(START_BUTTON, 2.0)


def simulate(app_dir, machine, script):
    sim = subprocess.run([os.path.join(app_dir, "jihankobo-sim"), "--app-dir", app_dir, machine],
                         input=script, capture_output=True, text=True)
    if sim.returncode != 0:
        raise RuntimeError(f"simulator failed on {machine}: {sim.stderr}")
    lines = sim.stdout.splitlines()
    return [json.loads(l.split("\t", 1)[1]) for l in lines if l.startswith("state\t")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("app_dir")
    parser.add_argument("helper_dir")
    parser.add_argument("--shots")
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="jhk-undo-e2e-")
    d = Desktop(args.shots)
    checks = []

    # 1. Ctrl+S right after the first part is placed.
    first = os.path.join(work, "first.jhk")
    program = start(args.app_dir, work)
    try:
        to_main_window(d)
        d.drag(PRODUCT_PALETTE, (STAGE[0] + 200, STAGE[1] + 200))
        d.window("プロパティの設定")
        d.keys("Return")           # "決定"
        d.save_as(first)
    finally:
        program.kill()
        program.wait()
    saved = simulate(args.app_dir, first, "state\n")[0]
    checks.append(("Ctrl+S saved the part just placed", saved["parts_count"] == 1))

    # 2. Delete a part with a program, Ctrl+Z, and it still sells.
    machine = os.path.join(work, "machine.jhk")
    deleted = os.path.join(work, "deleted.jhk")
    restored = os.path.join(work, "restored.jhk")
    subprocess.run([os.path.join(args.helper_dir, "blockeditor_e2e_machine"), "--sells", machine], check=True)
    program = start(args.app_dir, work, machine)
    try:
        to_main_window(d, with_file=True)
        left, top, width, height = BUTTON_PART
        d.click((STAGE[0] + left + width // 2, STAGE[1] + top + height // 2))
        d.click(DELETE_BUTTON)
        d.save_as(deleted)
        d.keys("ctrl+z")
        d.save_as(restored)
    finally:
        program.kill()
        program.wait()

    gone = simulate(args.app_dir, deleted, "state\n")[0]
    checks.append(("the button was deleted", gone["parts_count"] == 4
                   and all(p["slot"] != 0 for p in gone["parts"])))
    buy = "run\ncoin 100\ncoin 10\ncoin 10\nstate\ntouch 0\nstate\n"
    lit, sold = simulate(args.app_dir, restored, buy)
    button = {p["slot"]: p for p in lit["parts"]}.get(0)
    checks.append(("Ctrl+Z brought the button back in its slot with its program",
                   button is not None and button["block_count"] == 1 and button["first_block"] == 0))
    checks.append(("the coin slot's program lights the restored button", button is not None and button["a"] == 1))
    checks.append(("the restored button sells a product", sold["discharged"] == 1))

    failed = [name for name, ok in checks if not ok]
    for name, ok in checks:
        print("ok  " if ok else "FAIL", name)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
